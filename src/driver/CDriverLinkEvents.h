#pragma once

#include <string>

#include "app/Signal.h"
#include "driver/LinkState.h"

class CDBDescRec;

// What the driver link tells the document's pages. The document connects
// each to the page models that exist; any number of subscribers may listen.
class CDriverLinkEvents {
 public:
  // Summary window, full record window and basic mode page start over.
  Signal<> resetResultWindows;
  // A connect is under way: pages offered as the database asks, field
  // selectors refreshed.
  Signal<const CDBDescRec&> connectStarted;
  // After a disconnect: first page shown, field selectors emptied.
  Signal<> disconnected;
  Signal<bool> searchButtonEnabled;
  Signal<bool> viewEnabled;
  Signal<const std::string&> headingChanged;
  Signal<const std::string&> captionChanged;
  Signal<LinkState> linkStateChanged;

  Signal<int, const std::string&> hitCount;
  Signal<int, const std::string&> titleReceived;
  Signal<int, const std::string&> summaryRecord;
  Signal<const std::string&> fullRecord;
  Signal<bool> enableRedraw;
  Signal<> showRecordPage;
  // The driver's field list is in: the stored record format may adjust it.
  Signal<> fieldListReceived;
  Signal<const std::string&> showDatabaseInfo;
  Signal<const std::string&> extensionData;
  Signal<bool, int, const std::string&> browseReply;
  // The text that receives the browse reply is emptied before the wait.
  Signal<bool> browseWaitStarted;
};
