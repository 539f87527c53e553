#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "driver/CAbstractFieldDesc.h"
#include "driver/CBusyDialog.h"
#include "driver/CDriverConnection.h"
#include "driver/LinkState.h"
#include "driver/PacketHeader.h"

class CAppState;
class CConfiguration;
class CDriverLinkEvents;
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
              EventLoop& loop, CDriverLinkEvents& events, SelectFunction selectDatabase);
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

  // Every reply comes through here.
  void Dispatch(const PacketHeader& header, const std::string& body);
  // The busy window's Cancel, its limit, and the error paths.
  void CancelOperation();

  void SetLinkState(int state);
  bool CanConnect() const { return linkState != LINK_CONNECTING; }
  bool CanDisconnect() const { return !connectedName.empty() && linkState != LINK_CONNECTING; }
  void ToggleEcho() { echoEnabled = echoEnabled != 0 ? 0 : 1; }

  // Rebuilds the included field list from the fields' included flags.
  void RebuildIncludedFieldList();
  void DiscardFieldList();

  CDriverConnection& Connection() { return connection; }
  CBusyDialog& Busy() { return busy; }

  int linkState = LINK_NOT_OPENED;
  int echoEnabled = 0;
  int browseSequence = 0;
  int basicModeSearch = 0;
  std::string browseListName;
  int retrievalKind = 0;
  int abbreviatedLabels = 0;

  std::vector<int> selectedItems;
  int selectedCount = 0;
  int retrievedCount = 0;
  int summaryPending = 0;

  std::vector<CAbstractFieldDesc> fields;
  std::map<std::string, std::size_t> fieldMap;
  int fieldCount = 0;
  std::string includedFieldList;

  std::string databaseInfoText;
  // The search view's: the connected database and the search page heading.
  std::string connectedName;
  std::string heading = "No Databases are open";

  // Remembered answers of information requests, for the whole process.
  static std::map<std::string, std::string>& AnswerMemory();

 private:
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
  CDriverLinkEvents& events;
  SelectFunction selectDatabase;
  CDriverConnection connection;
  CBusyDialog busy;
};
