#pragma once

#include <string>

class CDBDescRec;

// What the driver link tells the document's pages. The document forwards each
// to the page models that exist; every call has a do-nothing default.
class CDriverLinkEvents {
 public:
  virtual ~CDriverLinkEvents() = default;

  // Summary window, full record window and basic mode page start over.
  virtual void ResetResultWindows() {}
  // A connect is under way: pages offered as the database asks, field
  // selectors refreshed.
  virtual void ConnectStarted(const CDBDescRec& db) { (void)db; }
  // After a disconnect: first page shown, field selectors emptied.
  virtual void Disconnected() {}
  virtual void SearchButtonEnabled(bool enabled) { (void)enabled; }
  virtual void ViewEnabled(bool enabled) { (void)enabled; }
  virtual void HeadingChanged(const std::string& heading) { (void)heading; }
  virtual void CaptionChanged(const std::string& caption) { (void)caption; }
  virtual void LinkStateChanged(int linkState) { (void)linkState; }

  virtual void HitCount(int count, const std::string& message) { (void)count, (void)message; }
  virtual void TitleReceived(int number, const std::string& text) { (void)number, (void)text; }
  virtual void SummaryRecord(int number, const std::string& text) { (void)number, (void)text; }
  virtual void FullRecord(const std::string& text) { (void)text; }
  virtual void EnableRedraw(bool enabled) { (void)enabled; }
  virtual void ShowRecordPage() {}
  // The driver's field list is in: the stored record format may adjust it.
  virtual void FieldListReceived() {}
  virtual void ShowDatabaseInfo(const std::string& text) { (void)text; }
  virtual void ExtensionData(const std::string& text) { (void)text; }
  virtual void BrowseReply(bool basicMode, int anchor, const std::string& text) {
    (void)basicMode, (void)anchor, (void)text;
  }
  // The text that receives the browse reply is emptied before the wait.
  virtual void BrowseWaitStarted(bool basicMode) { (void)basicMode; }
};
