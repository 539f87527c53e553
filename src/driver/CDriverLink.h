#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "driver/CAbstractFieldDesc.h"
#include "driver/CBusyDialog.h"
#include "driver/CDriverConnection.h"
#include "driver/CDriverLinkEvents.h"
#include "driver/CRecordRetrieval.h"
#include "driver/LinkState.h"
#include "driver/PacketHeader.h"

class CAppState;
class CConfiguration;
class CDBDescRec;
class CInfoTexts;
class EventLoop;
class Ui;

// The document's link to the driver of its connected database: connect and
// disconnect, one operation per request, the handling of every reply, the
// busy window and the cancel operation. `linkState` says what is outstanding.
class CDriverLink {
 public:
  using SelectFunction = std::function<void(const std::string& name)>;

  CDriverLink(CConfiguration& config, CInfoTexts& infoTexts, CAppState& app, Ui& ui,
              EventLoop& loop, SelectFunction selectDatabase);
  ~CDriverLink();

  // The search view's connect and disconnect commands.
  void ConnectToDatabase(const std::string& name);
  void Disconnect();

  // Requests.
  void SendOpen();
  void SendClose();
  void SendEcho();
  void SendSearch(int termRecords, int limitStrings, const std::string& body);
  void SendCancelSearch();
  void GetTitle(int number);
  void GetRecord(int number, int kind);
  void GetExtensionData(int number);
  void AnswerInformationRequest(int ok, const std::string& answer);
  // Waits for the reply in place; -2 no connection, -1 no list name, else the
  // sequence number sent.
  int Browse(char command, const std::string& argument, int number1, int number2);
  // Asks for the first record of the retrieval just started.
  void StartRetrieval();

  // Every reply comes through here.
  void Dispatch(const PacketHeader& header, const std::string& body);
  // The busy window's Cancel, its limit, and the error paths.
  void CancelOperation();
  // Handles replies until the driver has sent nothing for `quietMs` (or the
  // connection is gone); at most `rounds` replies are waited for. Once the
  // driver's description and field list have both come,
  // `settledMs` of quiet are enough: what a driver sends along with them
  // comes in the same burst.
  void WaitUntilQuiet(int quietMs, int rounds, int settledMs);
  // The description and the field list have both arrived since the open
  // request.
  bool DriverInfoComplete() const { return infoTextArrived && fieldListArrived; }
  // Handles events until nothing is outstanding (the busy window's limit
  // ends every wait), then takes the replies already sent along.
  void WaitForIdle();

  // The reply the driver owes: the type of the last request that has one, and
  // its result number. Cleared when that reply arrives; a cancel keeps it, so
  // a late reply is still taken once.
  std::uint32_t AwaitedRequest() const { return awaitedType; }
  int AwaitedNumber() const { return awaitedNumber; }

  // The key the answer to an information request is remembered under.
  static std::string AnswerKey(const CDBDescRec* db, const std::string& caption);

  void SetLinkState(LinkState state);
  LinkState State() const { return linkState; }
  bool IsIdle() const { return linkState == LINK_IDLE; }
  // A request is outstanding: the pointer over the windows is the wait cursor.
  bool RequestOutstanding() const { return linkState > LINK_IDLE; }
  bool CanConnect() const { return linkState != LINK_CONNECTING; }
  bool CanDisconnect() const { return !connectedName.empty() && linkState != LINK_CONNECTING; }

  // The driver echo switch of the Options menu.
  void ToggleEcho() { echoEnabled = !echoEnabled; }
  bool EchoEnabled() const { return echoEnabled; }

  // Full records with abbreviated (1) or expanded (0) labels.
  int AbbreviatedLabels() const { return abbreviatedLabels; }
  void SetAbbreviatedLabels(int value) { abbreviatedLabels = value != 0 ? 1 : 0; }
  // The search being sent came from basic mode.
  bool BasicModeSearch() const { return basicModeSearch; }
  void SetBasicModeSearch(bool basic) { basicModeSearch = basic; }
  void SetBrowseListName(const std::string& name) { browseListName = name; }

  // The driver's field list, with each field's included flag.
  const std::vector<CAbstractFieldDesc>& Fields() const { return fields; }
  int FieldCount() const { return static_cast<int>(fields.size()); }
  // The index of the field named `name`, or -1.
  int FieldIndex(const std::string& name) const;
  void SetFieldIncluded(std::size_t index, bool included);
  // Replaces the field list (tests and the field list reply).
  void SetFields(std::vector<CAbstractFieldDesc> newFields);
  // Rebuilds the included field list from the fields' included flags.
  void RebuildIncludedFieldList();
  void DiscardFieldList();
  const std::string& IncludedFieldList() const { return includedFieldList; }

  const std::string& DatabaseInfoText() const { return databaseInfoText; }
  // The search view's: the connected database and the search page heading.
  const std::string& ConnectedName() const { return connectedName; }
  const std::string& Heading() const { return heading; }

  CDriverConnection& Connection() { return connection; }
  CBusyDialog& Busy() { return busy; }
  CDriverLinkEvents& Events() { return events; }
  CRecordRetrieval& Retrieval() { return retrieval; }
  const CRecordRetrieval& Retrieval() const { return retrieval; }

 private:
  // True when `header` answers what is outstanding; anything else is consumed.
  bool Expected(const PacketHeader& header) const;
  void Await(std::uint32_t requestType, int number);
  // A request with no socket to go to: the link is reported gone at once
  // instead of waiting for a reply that cannot come.
  bool LinkGone();
  void HandleConnected();
  void HandleStatus(const PacketHeader& header, const std::string& body);
  void HandleHitCount(const PacketHeader& header, const std::string& body);
  void HandleRecord(const PacketHeader& header, const std::string& body);
  void HandleDatabaseInfo(const PacketHeader& header, const std::string& body);
  void HandleInfoRequest(const PacketHeader& header, const std::string& body);
  void SetHeading(const std::string& text);
  void FatalStatus(const std::string& text, const char* caption);

  CConfiguration& config;
  CInfoTexts& infoTexts;
  CAppState& app;
  Ui& ui;
  EventLoop& loop;
  SelectFunction selectDatabase;
  CDriverLinkEvents events;
  CDriverConnection connection;
  CBusyDialog busy;
  ::Connection busyCancel;
  CRecordRetrieval retrieval;

  LinkState linkState = LINK_NOT_OPENED;
  std::uint32_t awaitedType = 0;
  int awaitedNumber = 0;
  bool echoEnabled = false;
  int browseSequence = 0;
  bool basicModeSearch = false;
  std::string browseListName;
  int abbreviatedLabels = 0;

  std::vector<CAbstractFieldDesc> fields;
  std::map<std::string, std::size_t> fieldMap;
  std::string includedFieldList;

  std::string databaseInfoText;
  bool infoTextArrived = false;
  bool fieldListArrived = false;
  std::string connectedName;
  std::string heading = "No Databases are open";
};
