#include "driver/CDriverLink.h"

#include "app/AppNames.h"
#include "app/CAppState.h"
#include "app/EventLoop.h"
#include "app/FormatText.h"
#include "app/Ui.h"
#include "config/CConfiguration.h"
#include "config/CInfoTexts.h"
#include "driver/CInfoRequestDlg.h"
#include "driver/CPacketCodec.h"
#include "driver/CPacketTrace.h"
#include "driver/LinkState.h"

namespace {

constexpr const char* kHomePage = "https://tamsel.org/";

}  // namespace

CDriverLink::CDriverLink(CConfiguration& config, CInfoTexts& infoTexts, CAppState& app, Ui& ui,
                         EventLoop& loop, SelectFunction selectDatabase)
    : config(config),
      infoTexts(infoTexts),
      app(app),
      ui(ui),
      loop(loop),
      selectDatabase(std::move(selectDatabase)),
      connection(ui, loop,
                 {[this](const PacketHeader& h, const std::string& b) { Dispatch(h, b); },
                  [this] {
                    CancelOperation();
                    Disconnect();
                  },
                  [this] { CancelOperation(); }}),
      busy(loop) {
  busyCancel = busy.onCancel.Connect([this] { CancelOperation(); });
  connection.SetTrace(&CPacketTrace::Of(app));
}

CDriverLink::~CDriverLink() = default;

void CDriverLink::SetLinkState(LinkState state) {
  if (linkState != state) {
    linkState = state;
    events.linkStateChanged(state);
  }
}

void CDriverLink::SetHeading(const std::string& text) {
  heading = text;
  events.headingChanged(text);
}

void CDriverLink::DiscardFieldList() {
  fields.clear();
  fieldMap.clear();
  includedFieldList.clear();
}

int CDriverLink::FieldIndex(const std::string& name) const {
  auto found = fieldMap.find(name);
  return found != fieldMap.end() && found->second < fields.size() ? static_cast<int>(found->second)
                                                                  : -1;
}

void CDriverLink::SetFieldIncluded(std::size_t index, bool included) {
  if (index < fields.size()) {
    fields[index].included = included ? 1 : 0;
  }
}

void CDriverLink::SetFields(std::vector<CAbstractFieldDesc> newFields) {
  DiscardFieldList();
  fields = std::move(newFields);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    fieldMap[fields[i].fieldName] = i;
  }
  RebuildIncludedFieldList();
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
    events.resetResultWindows();
    SendClose();
    DiscardFieldList();
  }
  // The name is the connected database's only once the line is open, so a
  // selection that failed (its file did not load) is tried again next time.
  connectedName.clear();
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
  connectedName = name;
  events.connectStarted(*db);
  events.viewEnabled(false);
  events.captionChanged(name);
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
  events.disconnected();
  events.searchButtonEnabled(false);
  events.resetResultWindows();
  events.captionChanged("Unconnected");
}

// ---- requests ----

void CDriverLink::Await(std::uint32_t requestType, int number) {
  awaitedType = requestType;
  awaitedNumber = number;
}

bool CDriverLink::LinkGone() {
  if (connection.HasSocket()) {
    return false;
  }
  awaitedType = 0;
  retrieval.ExpectSummary(false);
  if (linkState != LINK_NOT_OPENED) {
    SetLinkState(LINK_UNCONNECTED);
  }
  busy.Close();
  events.searchButtonEnabled(false);
  events.viewEnabled(true);
  app.SetStatusMessage("Driver has closed");
  return true;
}

void CDriverLink::SendOpen() {
  infoTextArrived = fieldListArrived = false;
  SetLinkState(LINK_CONNECTING);
  Await(MSG_OPEN, 0);
  if (echoEnabled) {
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
  Await(0, 0);
  retrieval.ExpectSummary(false);
  SetLinkState(LINK_UNCONNECTED);
}

void CDriverLink::SendEcho() {
  connection.Send(CPacketCodec::HeaderOnly(MSG_ECHO));
}

void CDriverLink::SendSearch(int termRecords, int limitStrings, const std::string& body) {
  if (LinkGone()) {
    return;
  }
  SetLinkState(LINK_SEARCHING);
  Await(MSG_SEARCH, 0);
  connection.Send(CPacketCodec::Search(termRecords, limitStrings, body));
}

void CDriverLink::SendCancelSearch() {
  connection.Send(CPacketCodec::HeaderOnly(MSG_CANCEL_SEARCH));
}

void CDriverLink::GetTitle(int number) {
  if (LinkGone()) {
    return;
  }
  // The request goes out before the windows hear that the link is busy, so
  // the driver works while they follow (More starts each batch this way).
  bool changed = linkState != LINK_RETRIEVING;
  linkState = LINK_RETRIEVING;
  Await(MSG_GET_TITLE, number);
  connection.Send(CPacketCodec::HeaderOnly(MSG_GET_TITLE, number));
  // A failed send may have moved the link on meanwhile; that was told.
  if (changed && linkState == LINK_RETRIEVING) {
    events.linkStateChanged(linkState);
  }
}

void CDriverLink::GetRecord(int number, int kind) {
  if (LinkGone()) {
    return;
  }
  SetLinkState(LINK_RETRIEVING);
  Await(MSG_GET_RECORD, number);
  bool sendFields = kind == 0 && !fields.empty();
  connection.Send(
      CPacketCodec::GetRecord(number, kind, abbreviatedLabels, sendFields, includedFieldList));
}

void CDriverLink::GetExtensionData(int number) {
  if (LinkGone()) {
    return;
  }
  SetLinkState(LINK_RETRIEVING);
  Await(MSG_GET_EXTENSION_DATA, number);
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
  events.browseWaitStarted(basicModeSearch);
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

bool CDriverLink::Expected(const PacketHeader& header) const {
  switch (header.type) {
    case MSG_CONNECTED:
      return linkState == LINK_CONNECTING;
    case MSG_HIT_COUNT:
      // Also the late answer to a search the user cancelled.
      return linkState == LINK_SEARCHING || (linkState == LINK_IDLE && awaitedType == MSG_SEARCH);
    case MSG_TITLE:
      // The number tells a repeated title from the one asked for next.
      return awaitedType == MSG_GET_TITLE && header.param1 == awaitedNumber;
    case MSG_RECORD:
      return awaitedType == MSG_GET_RECORD && header.param1 == awaitedNumber;
    case MSG_EXTENSION_DATA:
      return awaitedType == MSG_GET_EXTENSION_DATA;
    default:
      return true;
  }
}

void CDriverLink::Dispatch(const PacketHeader& header, const std::string& body) {
  // A reply the outstanding request cannot produce (a stray, a repeat, a
  // reply of the wrong type) is consumed: acting on it would change the state
  // or send a request nobody asked for.
  if (!Expected(header)) {
    return;
  }
  switch (header.type) {
    case MSG_CONNECTED:
    case MSG_HIT_COUNT:
    case MSG_TITLE:
    case MSG_RECORD:
    case MSG_EXTENSION_DATA:
      Await(0, 0);
      break;
    default:
      break;
  }
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
      events.titleReceived(header.param1, CPacketCodec::BodyText(body));
      break;
    case MSG_RECORD:
      HandleRecord(header, body);
      break;
    case MSG_DATABASE_INFO:
      HandleDatabaseInfo(header, body);
      break;
    case MSG_EXTENSION_DATA:
      events.extensionData(CPacketCodec::BodyText(body));
      break;
    case MSG_INFO_REQUEST:
      HandleInfoRequest(header, body);
      break;
    case MSG_BROWSE_REPLY:
      events.browseReply(basicModeSearch, header.param2, CPacketCodec::BodyText(body));
      break;
    default:
      break;  // read whole and dropped
  }
}

void CDriverLink::HandleConnected() {
  SetLinkState(LINK_IDLE);
  events.searchButtonEnabled(true);
  app.SetStatusMessage("Connected");
  events.viewEnabled(true);
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
      events.searchButtonEnabled(true);
      break;
    case STATUS_CLOSED:
      if (linkState != LINK_UNCONNECTED) {
        connection.CloseSocket();
        Await(0, 0);
        retrieval.ExpectSummary(false);
        SetLinkState(LINK_UNCONNECTED);
        // Nothing can be asked of a closed link: no wait may be left running
        // and Search must not offer one.
        busy.Close();
        events.searchButtonEnabled(false);
        events.viewEnabled(true);
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
      events.searchButtonEnabled(true);
      break;
  }
}

void CDriverLink::HandleHitCount(const PacketHeader& header, const std::string& body) {
  int count = header.param2;
  if (count <= 0) {
    if (app.StatusMessage() != "Search Cancelled") {
      app.SetStatusMessage("No matches found");
    }
    events.searchButtonEnabled(true);
    SetLinkState(LINK_IDLE);
    busy.Close();
    return;
  }
  events.hitCount(count, header.length > 0 ? CPacketCodec::BodyText(body) : std::string());
  if (count > 5000) {
    events.searchButtonEnabled(true);
  }
}

void CDriverLink::HandleRecord(const PacketHeader& header, const std::string& body) {
  std::string text = CPacketCodec::ReadRecord(header, body).text;
  if (retrieval.SummaryExpected()) {
    retrieval.ExpectSummary(false);
    events.summaryRecord(header.param1, text);
    return;
  }
  events.fullRecord(text);
  bool more = retrieval.NextRecordArrived();
  if (retrieval.Retrieved() == 2) {
    events.enableRedraw(false);
  }
  events.showRecordPage();
  if (linkState == LINK_IDLE) {
    retrieval.Cancel();
    events.enableRedraw(true);
    return;
  }
  if (more) {
    busy.Show(
        FormatText("Retrieving...\n%d of %d retrieved", retrieval.Retrieved(), retrieval.Count()));
    GetRecord(retrieval.NextRecordNumber(), retrieval.CurrentKind());
    return;
  }
  events.enableRedraw(true);
  busy.Close();
  SetLinkState(LINK_IDLE);
}

void CDriverLink::HandleDatabaseInfo(const PacketHeader& header, const std::string& body) {
  if (header.param1 != 0) {
    std::vector<CAbstractFieldDesc> received;
    for (auto& entry : CPacketCodec::ReadFieldList(header, body)) {
      CAbstractFieldDesc field;
      field.caption = entry.caption;
      field.fieldName = entry.name;
      field.includedByDefault = entry.includedByDefault ? 1 : 0;
      field.included = field.includedByDefault;
      received.push_back(std::move(field));
    }
    SetFields(std::move(received));
    fieldListArrived = true;
    events.fieldListReceived();
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
  infoTextArrived = true;
  CDBDescRec* db = config.currentDatabase;
  if (db != nullptr && db->noInfo == 0 && !infoTexts.Seen(db->tag)) {
    infoTexts.MarkSeen(db->tag);
    events.showDatabaseInfo(databaseInfoText);
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
  std::string key = AnswerKey(config.currentDatabase, request.caption);
  auto remembered = app.AnswerMemory().Find(key);
  dialog.defaultAnswer = app.kioskMode == 0 && remembered ? *remembered : std::string();
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
  app.AnswerMemory().Remember(key, dialog.answer);
  // A hidden answer the user did not confirm never leaves the program.
  bool withheld = ok == 0 && dialog.kind == INFO_PASSWORD;
  AnswerInformationRequest(ok, withheld ? std::string() : dialog.answer);
}

std::string CDriverLink::AnswerKey(const CDBDescRec* db, const std::string& caption) {
  // Databases of one group share their logins; a database without a group
  // keeps its answers to itself, so they never pre-fill another site's
  // request. The zero byte keeps tags apart from group names.
  if (db == nullptr) {
    return ":" + caption;
  }
  if (!db->group.empty()) {
    return db->group + ":" + caption;
  }
  return std::string(1, '\0') + db->tag + ":" + caption;
}

void CDriverLink::StartRetrieval() {
  GetRecord(retrieval.NextRecordNumber(), retrieval.CurrentKind());
}

void CDriverLink::WaitUntilQuiet(int quietMs, int rounds, int settledMs) {
  for (int i = 0; i < rounds && connection.HasSocket(); ++i) {
    int wait = DriverInfoComplete() ? settledMs : quietMs;
    if (!connection.DataPending() && !connection.WaitReadable(wait)) {
      return;
    }
    loop.ProcessEvents(0);
    WaitForIdle();
  }
}

void CDriverLink::WaitForIdle() {
  for (;;) {
    if (linkState == LINK_IDLE || linkState == LINK_UNCONNECTED || linkState == LINK_NOT_OPENED) {
      // Replies the driver sent along (its description, a warning) are
      // handled before the wait ends.
      for (int i = 0; i < 1000 && connection.DataPending(); ++i) {
        loop.ProcessEvents(0);
      }
      return;
    }
    if (!loop.ProcessEvents(1000)) {
      return;
    }
  }
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
      events.searchButtonEnabled(true);
      app.SetStatusMessage("Search Cancelled");
      break;
    case LINK_RETRIEVING:
      SetLinkState(LINK_IDLE);
      if (busy.timedOut != 0) {
        ui.MessageBox("Search not completed after 5 minutes.", "Search cancelled", MsgButtons::Ok,
                      MsgIcon::Warning);
      }
      events.searchButtonEnabled(true);
      break;
    default:
      SetLinkState(LINK_IDLE);
      events.searchButtonEnabled(true);
      break;
  }
  connection.ResetReceiver();
  busy.Close();
  events.viewEnabled(true);
}
