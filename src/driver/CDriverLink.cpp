#include "driver/CDriverLink.h"

#include "app/AppNames.h"
#include "app/CAppState.h"
#include "app/FormatText.h"
#include "app/Ui.h"
#include "config/CConfiguration.h"
#include "config/CInfoTexts.h"
#include "driver/CDriverLinkEvents.h"
#include "driver/CInfoRequestDlg.h"
#include "driver/CPacketCodec.h"
#include "driver/LinkState.h"

namespace {

constexpr const char* kHomePage = "https://tamsel.org/";

}  // namespace

CDriverLink::CDriverLink(CConfiguration& config, CInfoTexts& infoTexts, CAppState& app, Ui& ui,
                         EventLoop& loop, CDriverLinkEvents& events, SelectFunction selectDatabase)
    : config(config),
      infoTexts(infoTexts),
      app(app),
      ui(ui),
      events(events),
      selectDatabase(std::move(selectDatabase)),
      connection(ui, loop,
                 {[this](const PacketHeader& h, const std::string& b) { Dispatch(h, b); },
                  [this] {
                    CancelOperation();
                    Disconnect();
                  },
                  [this] { CancelOperation(); }}),
      busy(loop) {
  busy.onCancel = [this] { CancelOperation(); };
}

CDriverLink::~CDriverLink() = default;

std::map<std::string, std::string>& CDriverLink::AnswerMemory() {
  static std::map<std::string, std::string> memory;
  return memory;
}

void CDriverLink::SetLinkState(int state) {
  if (linkState != state) {
    linkState = state;
    events.LinkStateChanged(state);
  }
}

void CDriverLink::SetHeading(const std::string& text) {
  heading = text;
  events.HeadingChanged(text);
}

void CDriverLink::DiscardFieldList() {
  fields.clear();
  fieldMap.clear();
  fieldCount = 0;
  includedFieldList.clear();
}

void CDriverLink::RebuildIncludedFieldList() {
  includedFieldList.clear();
  for (const auto& field : fields) {
    if (field.included != 0) {
      includedFieldList += field.fieldName;
      includedFieldList += '\0';
    }
  }
}

// ---- connect and disconnect ----

void CDriverLink::ConnectToDatabase(const std::string& name) {
  if (!connectedName.empty()) {
    events.ResetResultWindows();
    SendClose();
    DiscardFieldList();
  }
  connectedName = name;
  selectDatabase(name);
  CDBDescRec* db = config.currentDatabase;
  if (db == nullptr) {
    return;
  }
  if (connection.OpenSocket(db->host, db->port) == 0) {
    ui.MessageBox("Couldn't Create Socket", "Windows Socket Error", MsgButtons::Ok, MsgIcon::Error);
    return;
  }
  if (!connection.NotificationsOn()) {
    ui.MessageBox(FormatText("Windows socket error %d: WSAAsyncSelect Error", 0),
                  "Windows Socket Error", MsgButtons::Ok, MsgIcon::Error);
    return;
  }
  events.ConnectStarted(*db);
  events.ViewEnabled(false);
  events.CaptionChanged(name);
  SetHeading(FormatText("Connected to %s Database", name.c_str()));
  SendOpen();
  busy.Show(FormatText("Connecting to %s\n", name.c_str()));
}

void CDriverLink::Disconnect() {
  SendClose();
  DiscardFieldList();
  std::string oldName = connectedName;
  SetHeading(FormatText("Disconnected:  %s", oldName.c_str()));
  connectedName.clear();
  selectDatabase("");
  databaseInfoText.clear();
  events.Disconnected();
  events.SearchButtonEnabled(false);
  events.ResetResultWindows();
  events.CaptionChanged("Unconnected");
}

// ---- requests ----

void CDriverLink::SendOpen() {
  SetLinkState(LINK_CONNECTING);
  if (echoEnabled != 0) {
    SendEcho();
  }
  if (config.currentDatabase != nullptr) {
    connection.Send(CPacketCodec::Open(*config.currentDatabase));
  }
}

void CDriverLink::SendClose() {
  if (config.currentDatabase != nullptr) {
    connection.Send(CPacketCodec::HeaderOnly(MSG_CLOSE));
  }
  connection.CloseSocket();
  connection.ResetReceiver();
  SetLinkState(LINK_UNCONNECTED);
}

void CDriverLink::SendEcho() {
  connection.Send(CPacketCodec::HeaderOnly(MSG_ECHO));
}

void CDriverLink::SendSearch(int termRecords, int limitStrings, const std::string& body) {
  SetLinkState(LINK_SEARCHING);
  connection.Send(CPacketCodec::Search(termRecords, limitStrings, body));
}

void CDriverLink::SendCancelSearch() {
  connection.Send(CPacketCodec::HeaderOnly(MSG_CANCEL_SEARCH));
}

void CDriverLink::GetTitle(int number) {
  SetLinkState(LINK_RETRIEVING);
  connection.Send(CPacketCodec::HeaderOnly(MSG_GET_TITLE, number));
}

void CDriverLink::GetRecord(int number, int kind) {
  SetLinkState(LINK_RETRIEVING);
  bool sendFields = kind == 0 && fieldCount > 0;
  connection.Send(
      CPacketCodec::GetRecord(number, kind, abbreviatedLabels, sendFields, includedFieldList));
}

void CDriverLink::GetExtensionData(int number) {
  SetLinkState(LINK_RETRIEVING);
  connection.Send(CPacketCodec::HeaderOnly(MSG_GET_EXTENSION_DATA, number));
}

void CDriverLink::AnswerInformationRequest(int ok, const std::string& answer) {
  connection.Send(CPacketCodec::InfoAnswer(ok, answer));
}

int CDriverLink::Browse(char command, const std::string& argument, int number1, int number2) {
  if (!connection.HasSocket()) {
    return -2;
  }
  if (browseListName.empty()) {
    return -1;
  }
  ++browseSequence;
  int sequence = browseSequence;
  connection.Send(
      CPacketCodec::Browse(sequence, command, number1, number2, browseListName, argument));
  connection.NotificationsOff();
  events.BrowseWaitStarted(basicModeSearch != 0);
  // Wait in place for one complete reply, with the busy window's limit.
  std::int64_t limitMs = static_cast<std::int64_t>(CBusyDialog::kTickLimit) * CBusyDialog::kTickMs;
  if (!connection.WaitForReply(limitMs)) {
    ui.MessageBox("Search not completed after 5 minutes.", "Search cancelled", MsgButtons::Ok,
                  MsgIcon::Warning);
    connection.ResetReceiver();
  }
  if (connection.HasSocket()) {
    connection.NotificationsOn();
  }
  return sequence;
}

// ---- replies ----

void CDriverLink::Dispatch(const PacketHeader& header, const std::string& body) {
  switch (header.type) {
    case MSG_CONNECTED:
      HandleConnected();
      break;
    case MSG_STATUS:
      HandleStatus(header, body);
      break;
    case MSG_HIT_COUNT:
      HandleHitCount(header, body);
      break;
    case MSG_TITLE:
      events.TitleReceived(header.param1, CPacketCodec::BodyText(body));
      break;
    case MSG_RECORD:
      HandleRecord(header, body);
      break;
    case MSG_DATABASE_INFO:
      HandleDatabaseInfo(header, body);
      break;
    case MSG_EXTENSION_DATA:
      events.ExtensionData(CPacketCodec::BodyText(body));
      break;
    case MSG_INFO_REQUEST:
      HandleInfoRequest(header, body);
      break;
    case MSG_BROWSE_REPLY:
      events.BrowseReply(basicModeSearch != 0, header.param2, CPacketCodec::BodyText(body));
      break;
    default:
      break;  // read whole and dropped
  }
}

void CDriverLink::HandleConnected() {
  SetLinkState(LINK_IDLE);
  events.SearchButtonEnabled(true);
  app.SetStatusMessage("Connected");
  events.ViewEnabled(true);
  busy.Close();
}

void CDriverLink::FatalStatus(const std::string& text, const char* caption) {
  ui.MessageBox(text, caption, MsgButtons::Ok, MsgIcon::Error);
  CancelOperation();
  config.currentDatabase = nullptr;
  Disconnect();
}

void CDriverLink::HandleStatus(const PacketHeader& header, const std::string& body) {
  std::string text = CPacketCodec::BodyText(body);
  switch (header.param1) {
    case STATUS_ERROR_CLOSED:
      FatalStatus(FormatText("ERROR from database  driver:\n%s\n", text.c_str()),
                  "Database Closed!");
      break;
    case STATUS_SEARCH_ERROR:
      app.SetStatusMessage("Search Cancelled");
      ui.MessageBox(header.length > 0
                        ? FormatText("ERROR from database  driver:\n%s\n", text.c_str())
                        : std::string("Unspecified Database Error"),
                    "Search Cancelled!", MsgButtons::Ok, MsgIcon::Error);
      CancelOperation();
      SetLinkState(LINK_IDLE);
      events.SearchButtonEnabled(true);
      break;
    case STATUS_CLOSED:
      if (linkState != LINK_UNCONNECTED) {
        connection.CloseSocket();
        SetLinkState(LINK_UNCONNECTED);
      }
      break;
    case STATUS_PROGRESS:
      if (linkState != LINK_UNCONNECTED) {
        busy.Show(text);
      }
      break;
    case STATUS_PROTOCOL_MISMATCH:
      FatalStatus(FormatText("Database protocol is %s, WinTamsel is using protocol %s\n%s %s",
                             text.c_str(), kProtocolVersion,
                             "The latest version of WinTamsel can be obtained at\n", kHomePage),
                  "Protocol Mismatch!");
      break;
    case STATUS_WARNING:
      ui.MessageBox(FormatText("%s\n", text.c_str()), "Database Warning!", MsgButtons::Ok,
                    MsgIcon::Warning);
      break;
    default:
      events.SearchButtonEnabled(true);
      break;
  }
}

void CDriverLink::HandleHitCount(const PacketHeader& header, const std::string& body) {
  int count = header.param2;
  if (count <= 0) {
    if (app.StatusMessage() != "Search Cancelled") {
      app.SetStatusMessage("No matches found");
    }
    events.SearchButtonEnabled(true);
    SetLinkState(LINK_IDLE);
    busy.Close();
    return;
  }
  events.HitCount(count, header.length > 0 ? CPacketCodec::BodyText(body) : std::string());
  if (count > 5000) {
    events.SearchButtonEnabled(true);
  }
}

void CDriverLink::HandleRecord(const PacketHeader& header, const std::string& body) {
  std::string text = CPacketCodec::ReadRecord(header, body).text;
  if (summaryPending != 0) {
    summaryPending = 0;
    events.SummaryRecord(header.param1, text);
    return;
  }
  events.FullRecord(text);
  ++retrievedCount;
  if (retrievedCount == 2) {
    events.EnableRedraw(false);
  }
  events.ShowRecordPage();
  if (linkState == LINK_IDLE) {
    retrievedCount = selectedCount;
    events.EnableRedraw(true);
    return;
  }
  if (retrievedCount < selectedCount &&
      static_cast<std::size_t>(retrievedCount) < selectedItems.size()) {
    busy.Show(FormatText("Retrieving...\n%d of %d retrieved", retrievedCount, selectedCount));
    GetRecord(selectedItems[static_cast<std::size_t>(retrievedCount)] + 1, retrievalKind);
    return;
  }
  events.EnableRedraw(true);
  busy.Close();
  SetLinkState(LINK_IDLE);
}

void CDriverLink::HandleDatabaseInfo(const PacketHeader& header, const std::string& body) {
  if (header.param1 != 0) {
    DiscardFieldList();
    for (auto& entry : CPacketCodec::ReadFieldList(header, body)) {
      CAbstractFieldDesc field;
      field.caption = entry.caption;
      field.fieldName = entry.name;
      field.includedByDefault = entry.includedByDefault ? 1 : 0;
      field.included = field.includedByDefault;
      fieldMap[field.fieldName] = fields.size();
      fields.push_back(std::move(field));
    }
    fieldCount = static_cast<int>(fields.size());
    RebuildIncludedFieldList();
    events.FieldListReceived();
    return;
  }
  std::string text = CPacketCodec::BodyText(body);
  std::string info = "\r\n ";
  std::size_t start = 0;
  for (std::size_t nl = text.find('\n'); nl != std::string::npos; nl = text.find('\n', start)) {
    info += text.substr(start, nl - start) + "\r\n ";
    start = nl + 1;
  }
  info += text.substr(start) + "\r\n";
  databaseInfoText = info;
  CDBDescRec* db = config.currentDatabase;
  if (db != nullptr && db->noInfo == 0 && !infoTexts.Seen(db->tag)) {
    infoTexts.MarkSeen(db->tag);
    events.ShowDatabaseInfo(databaseInfoText);
  }
}

void CDriverLink::HandleInfoRequest(const PacketHeader& header, const std::string& body) {
  CPacketCodec::InfoRequest request = CPacketCodec::ReadInfoRequest(body);
  CInfoRequestDlg dialog;
  dialog.prompt = request.prompt;
  dialog.caption = request.caption;
  dialog.okLabel = request.okLabel;
  dialog.cancelLabel = request.cancelLabel;
  dialog.kind = header.param1;
  std::string group = config.currentDatabase != nullptr ? config.currentDatabase->group : "";
  std::string key = group + ":" + request.caption;
  auto& memory = AnswerMemory();
  auto remembered = memory.find(key);
  dialog.defaultAnswer =
      app.kioskMode == 0 && remembered != memory.end() ? remembered->second : std::string();
  if (dialog.kind < INFO_MESSAGE || dialog.kind > INFO_PASSWORD) {
    ui.MessageBox("Unknown Database Request", "Connect Cancelled!", MsgButtons::Ok, MsgIcon::Error);
    connection.CloseSocket();
    SetLinkState(LINK_UNCONNECTED);
  }
  connection.ResetReceiver();
  int ok = ui.RunDialog(dialog) ? 1 : 0;
  if (config.currentDatabase == nullptr) {
    return;
  }
  memory[key] = dialog.answer;
  AnswerInformationRequest(ok, dialog.answer);
}

// ---- cancel ----

void CDriverLink::CancelOperation() {
  switch (linkState) {
    case LINK_CONNECTING:
      SetLinkState(LINK_UNCONNECTED);
      if (busy.timedOut != 0) {
        ui.MessageBox("Database couldn't connect after 5 minutes.", "Database connection closed",
                      MsgButtons::Ok, MsgIcon::Warning);
        app.SetStatusMessage("Database Connection Closed");
      }
      Disconnect();
      break;
    case LINK_SEARCHING:
      SetLinkState(LINK_IDLE);
      SendCancelSearch();
      if (busy.timedOut != 0) {
        ui.MessageBox("Search not completed after 5 minutes.", "Search cancelled", MsgButtons::Ok,
                      MsgIcon::Warning);
      }
      events.SearchButtonEnabled(true);
      app.SetStatusMessage("Search Cancelled");
      break;
    case LINK_RETRIEVING:
      SetLinkState(LINK_IDLE);
      if (busy.timedOut != 0) {
        ui.MessageBox("Search not completed after 5 minutes.", "Search cancelled", MsgButtons::Ok,
                      MsgIcon::Warning);
      }
      events.SearchButtonEnabled(true);
      break;
    default:
      SetLinkState(LINK_IDLE);
      events.SearchButtonEnabled(true);
      break;
  }
  connection.ResetReceiver();
  busy.Close();
  events.ViewEnabled(true);
}
