#include "CDriverSession.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>

#include "CBrowseLists.h"
#include "CRecordFormatter.h"
#include "CSampleDatabase.h"
#include "SampleText.h"
#include "app/FormatText.h"

namespace {

// Requests waiting beyond this stop the reading until they are answered.
constexpr std::size_t kMaxQueuedInput = 4 * 1024 * 1024;
constexpr int kPasswordAttempts = 3;

std::string WithZero(const std::string& text) {
  return text + '\0';
}

// The texts of a body, each up to its zero byte; the last may lack one.
std::vector<std::string> SplitStrings(const std::string& body) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start < body.size()) {
    std::size_t zero = body.find('\0', start);
    std::size_t end = zero == std::string::npos ? body.size() : zero;
    parts.push_back(body.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// Offset just past the fifth zero byte of an open request (version, name and
// three field lists); npos when the body is shorter.
std::size_t OpenStringsEnd(const std::string& body) {
  std::size_t offset = 0;
  for (int i = 0; i < 5; ++i) {
    std::size_t zero = body.find('\0', offset);
    if (zero == std::string::npos) {
      return std::string::npos;
    }
    offset = zero + 1;
  }
  return offset;
}

void PutWord(std::string& out, std::int32_t value) {
  auto v = static_cast<std::uint32_t>(value);
  out += static_cast<char>(v >> 24);
  out += static_cast<char>(v >> 16);
  out += static_cast<char>(v >> 8);
  out += static_cast<char>(v);
}

}  // namespace

CDriverSession::CDriverSession(int fd, int id,
                               const std::map<std::string, ServedDatabase>& databases,
                               const SessionSettings& settings)
    : fd(fd), id(id), databases(databases), settings(settings), replies(settings.replies) {}

CDriverSession::~CDriverSession() {
  if (fd >= 0) {
    close(fd);
  }
}

short CDriverSession::WantedEvents() const {
  if (Closed()) {
    return 0;
  }
  short events = 0;
  if (!closeWhenFlushed && framer.Held() < kMaxQueuedInput) {
    events |= POLLIN;
  }
  if (replies.WantsWrite()) {
    events |= POLLOUT;
  }
  return events;
}

void CDriverSession::OnEvents(short revents, std::int64_t nowMs) {
  now = nowMs;
  if (revents & (POLLIN | POLLHUP | POLLERR)) {
    ReadInput();
  }
}

void CDriverSession::ReadInput() {
  char buffer[65536];
  while (!Closed() && framer.Held() < kMaxQueuedInput) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
      framer.Append(buffer, static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      return;
    }
    Close(n == 0 ? "client closed the connection" : "read error");
    return;
  }
}

void CDriverSession::CancelSearch() {
  bool queued = framer.DropSearches();
  bool unsent = replies.DropSearchReplies();
  if (job || queued || unsent) {
    // The client never saw the count, so no result stands.
    Log("search cancelled");
    result = SearchResult();
  }
  job.reset();
}

void CDriverSession::Advance(std::int64_t nowMs) {
  now = nowMs;
  for (;;) {
    if (Closed()) {
      return;
    }
    if (!framer.Frame(fieldListSent, [this] { CancelSearch(); })) {
      Close("garbage from the client");
      return;
    }
    CReplyQueue::FlushResult flushed = replies.Flush(fd, now);
    if (flushed != CReplyQueue::FLUSH_OK) {
      Close(flushed == CReplyQueue::FLUSH_CLOSE ? "closing after the packets asked for"
                                                : "write error");
      return;
    }
    if (!replies.Empty()) {
      return;
    }
    if (closeWhenFlushed) {
      Close("closed after an error");
      return;
    }
    if (job) {
      RunSearchStep();
      continue;
    }
    if (framer.Empty()) {
      return;
    }
    HandleRequest(framer.Pop());
  }
}

void CDriverSession::HandleRequest(const Request& request) {
  const PacketHeader& h = request.header;
  if (h.type == MSG_OPEN) {
    HandleOpen(request);
    return;
  }
  if (h.type == MSG_INFO_ANSWER) {
    HandleInfoAnswer(request);
    return;
  }
  if (h.type == MSG_CLOSE) {
    Close("closed by the client");
    return;
  }
  if (h.type == MSG_ECHO) {
    Log("echo");
    return;
  }
  if (!served || awaitingPassword) {
    Fatal("No database is open on this connection");
    return;
  }
  switch (h.type) {
    case MSG_SEARCH:
      StartSearch(request);
      break;
    case MSG_GET_TITLE:
      HandleTitle(request);
      break;
    case MSG_GET_RECORD:
      HandleRecord(request);
      break;
    case MSG_GET_EXTENSION_DATA:
      HandleExtensionData(request);
      break;
    case MSG_BROWSE:
      HandleBrowse(request);
      break;
    default:
      break;
  }
}

void CDriverSession::HandleOpen(const Request& request) {
  std::size_t stringsEnd = OpenStringsEnd(request.body);
  if (stringsEnd == std::string::npos) {
    Fatal("The open request is incomplete");
    return;
  }
  std::vector<std::string> parts = SplitStrings(request.body.substr(0, stringsEnd));
  parts.resize(5);
  const std::string& version = parts[0];
  const std::string& name = parts[1];
  Log("open " + name + " with protocol " + version);
  served = nullptr;
  awaitingPassword = false;
  fieldListSent = false;
  result = SearchResult();
  if (version != settings.protocol) {
    SendStatus(STATUS_PROTOCOL_MISMATCH, settings.protocol);
    return;
  }
  auto it = databases.find(name);
  if (it == databases.end()) {
    std::string names;
    for (const auto& [known, unused] : databases) {
      names += (names.empty() ? "" : ", ") + known;
    }
    Fatal(FormatText("No database named \"%s\" is served here (databases: %s)", name.c_str(),
                     names.c_str()));
    return;
  }
  served = &it->second;
  titleFields = parts[2];
  summaryFields = parts[3];
  extensionFields = parts[4];
  // The environment block: name, value, name, value ..., each with its zero.
  environment.clear();
  std::vector<std::string> env = SplitStrings(request.body.substr(stringsEnd));
  for (std::size_t i = 0; i + 1 < env.size(); i += 2) {
    environment.emplace_back(env[i], env[i + 1]);
  }
  if (!served->password.empty()) {
    awaitingPassword = true;
    passwordAttempts = 0;
    AskPassword(false);
    return;
  }
  SendOpened();
}

void CDriverSession::AskPassword(bool again) {
  const char* name = served->db->Name().c_str();
  std::string prompt = again ? FormatText("Wrong password. Password for the %s database:", name)
                             : FormatText("Password for the %s database:", name);
  std::string body =
      WithZero(prompt) + WithZero("Password Required") + WithZero(" ") + WithZero(" ");
  Send(MSG_INFO_REQUEST, body, INFO_PASSWORD);
}

void CDriverSession::HandleInfoAnswer(const Request& request) {
  if (!awaitingPassword) {
    return;
  }
  if (request.header.param1 != 1) {
    Fatal("The password was not given");
    return;
  }
  std::string answer = request.body.substr(0, request.body.find('\0'));
  if (answer == served->password) {
    awaitingPassword = false;
    SendOpened();
    return;
  }
  if (++passwordAttempts >= kPasswordAttempts) {
    Fatal("Wrong password");
    return;
  }
  AskPassword(true);
}

void CDriverSession::SendOpened() {
  const CSampleDatabase& db = *served->db;
  Send(MSG_CONNECTED, "");
  Send(MSG_DATABASE_INFO, WithZero(db.Description()), 0);
  std::string fields;
  for (int f = 0; f < db.FieldCount(); ++f) {
    fields += static_cast<char>(db.IncludedByDefault(f) ? 1 : 0);
    fields += WithZero(db.FieldName(f)) + WithZero(db.Caption(f));
  }
  Send(MSG_DATABASE_INFO, fields, 1, db.FieldCount());
  fieldListSent = db.FieldCount() > 0;
  // Field names the configuration got wrong would only show as empty titles.
  std::vector<std::string> unknown;
  CRecordFormatter formatter(db);
  for (const std::string* list : {&titleFields, &summaryFields, &extensionFields}) {
    formatter.FieldList(*list, &unknown);
  }
  if (!unknown.empty()) {
    std::string names;
    for (const std::string& n : unknown) {
      names += (names.empty() ? "" : ", ") + n;
    }
    SendStatus(STATUS_WARNING, FormatText("The %s database has no fields named %s",
                                          db.Name().c_str(), names.c_str()));
  }
}

void CDriverSession::StartSearch(const Request& request) {
  result = SearchResult();
  SearchJob next;
  std::string error;
  if (!CQueryParser::ParseBody(request.body, request.header.param1, request.header.param2,
                               next.request, error)) {
    SendStatus(STATUS_SEARCH_ERROR, error, true);
    return;
  }
  Log(FormatText("search: %zu terms, %zu limits", next.request.terms.size(),
                 next.request.limits.size()));
  SendStatus(STATUS_PROGRESS,
             FormatText("Searching the %s database ...", served->db->Name().c_str()), true);
  job = std::move(next);
}

void CDriverSession::RunSearchStep() {
  if (job->step == 0) {
    std::string error;
    CSearchEngine engine(*served->db);
    if (!engine.Run(job->request, result, error)) {
      result = SearchResult();
      job.reset();
      SendStatus(STATUS_SEARCH_ERROR, error, true);
      return;
    }
    std::int64_t maxHits = std::atoll(Environment("MAX_HITS").c_str());
    if (maxHits > 0 && result.records.size() > static_cast<std::size_t>(maxHits)) {
      result.records.resize(static_cast<std::size_t>(maxHits));
    }
    job->step = 1;
    SendStatus(STATUS_PROGRESS, FormatText("Records found: %zu", result.records.size()), true);
    return;
  }
  job.reset();
  auto count = static_cast<std::int32_t>(result.records.size());
  std::string message = Environment("HIT_MESSAGE");
  for (std::size_t at = message.find("%d"); at != std::string::npos; at = message.find("%d", at)) {
    std::string number = std::to_string(count);
    message.replace(at, 2, number);
    at += number.size();
  }
  Send(MSG_HIT_COUNT, count > 0 && !message.empty() ? WithZero(message) : "", 0, count, 0, true);
}

bool CDriverSession::ValidResult(std::int32_t number) const {
  return number >= 1 && static_cast<std::size_t>(number) <= result.records.size();
}

void CDriverSession::HandleTitle(const Request& request) {
  std::int32_t number = request.header.param1;
  std::string title = FormatText("No record %d in the result", number);
  if (ValidResult(number)) {
    CRecordFormatter formatter(*served->db);
    std::vector<int> fields = formatter.FieldList(titleFields, nullptr);
    if (fields.empty()) {
      // No usable title fields: the first two fields of the database.
      for (int f = 0; f < std::min(2, served->db->FieldCount()); ++f) {
        fields.push_back(f);
      }
    }
    // Configuration values come trimmed, so the blanks around it are ours.
    std::string separator = TrimBlanks(Environment("TITLE_SEPARATOR"));
    title = formatter.Title(result.records[number - 1], fields,
                            " " + (separator.empty() ? std::string("-") : separator) + " ");
  }
  Send(MSG_TITLE, WithZero(title), number);
}

void CDriverSession::HandleRecord(const Request& request) {
  const PacketHeader& h = request.header;
  const CSampleDatabase& db = *served->db;
  if (!ValidResult(h.param1)) {
    Send(MSG_RECORD, WithZero(FormatText("No record %d in the result\n", h.param1)), h.param1);
    return;
  }
  CRecordFormatter formatter(db);
  std::vector<int> fields;
  if (h.param2 == 1) {
    fields = formatter.FieldList(summaryFields, nullptr);
  } else {
    for (const std::string& name : SplitStrings(request.body)) {
      std::vector<int> named = formatter.FieldList(name, nullptr);
      fields.insert(fields.end(), named.begin(), named.end());
    }
  }
  if (fields.empty()) {
    for (int f = 0; f < db.FieldCount(); ++f) {
      if (db.IncludedByDefault(f)) {
        fields.push_back(f);
      }
    }
  }
  CRecordFormatter::Text text =
      formatter.Fields(result.records[h.param1 - 1], fields, h.param3 == 1, result.highlights);
  std::string body;
  for (const auto& [start, end] : text.positions) {
    PutWord(body, start);
    PutWord(body, end);
  }
  body += WithZero(text.text);
  Send(MSG_RECORD, body, h.param1, 0, static_cast<std::int32_t>(text.positions.size()));
}

void CDriverSession::HandleExtensionData(const Request& request) {
  std::int32_t number = request.header.param1;
  const CSampleDatabase& db = *served->db;
  if (!ValidResult(number)) {
    Send(MSG_EXTENSION_DATA, WithZero(FormatText("No record %d in the result", number)));
    return;
  }
  CRecordFormatter formatter(db);
  std::vector<int> fields = formatter.FieldList(extensionFields, nullptr);
  if (fields.empty()) {
    for (int f = 0; f < db.FieldCount(); ++f) {
      fields.push_back(f);
    }
  }
  Send(MSG_EXTENSION_DATA,
       WithZero(formatter.Fields(result.records[number - 1], fields, true, {}).text));
}

void CDriverSession::HandleBrowse(const Request& request) {
  const PacketHeader& h = request.header;
  std::vector<std::string> parts = SplitStrings(request.body);
  parts.resize(2);
  const std::string& listName = parts[0];
  const std::string& argument = parts[1];
  CBrowseLists::Reply reply{-1, ""};
  const std::vector<CBrowseLists::Entry>* entries = served->browse->Find(listName);
  if (!entries) {
    reply.body = FormatText("No browse list named \"%s\"", listName.c_str());
  } else if (h.param2 == 'H') {
    reply = CBrowseLists::Header(listName, *entries);
  } else if (h.param2 == 'N') {
    reply = CBrowseLists::Window(*entries, argument, h.param3, h.param4);
  } else if (h.param2 == 'C') {
    reply = CBrowseLists::Jump(*entries, argument, h.param3, h.param4);
  } else {
    reply.body = FormatText("Unknown browse command %d", h.param2);
  }
  Send(MSG_BROWSE_REPLY, WithZero(reply.body), h.param1, reply.anchor);
}

void CDriverSession::Send(std::uint32_t type, const std::string& body, std::int32_t param1,
                          std::int32_t param2, std::int32_t param3, bool searchReply) {
  PacketHeader h;
  h.type = type;
  h.length = static_cast<std::int32_t>(body.size());
  h.param1 = param1;
  h.param2 = param2;
  h.param3 = param3;
  replies.Queue(h.Packed() + body, searchReply, now);
}

void CDriverSession::SendStatus(int kind, const std::string& text, bool searchReply) {
  Send(MSG_STATUS, WithZero(text), kind, 0, 0, searchReply);
}

void CDriverSession::Fatal(const std::string& text) {
  Log("error: " + text);
  SendStatus(STATUS_ERROR_CLOSED, text);
  closeWhenFlushed = true;
  framer.Clear();
  job.reset();
}

void CDriverSession::Close(const std::string& why) {
  if (fd >= 0) {
    Log("closed: " + why);
    close(fd);
    fd = -1;
  }
}

void CDriverSession::Log(const std::string& text) const {
  if (settings.verbose) {
    std::cerr << "tamsel-sample-driver: connection " << id << ": " << text << std::endl;
  }
}

std::string CDriverSession::Environment(const std::string& name) const {
  for (const auto& [key, value] : environment) {
    if (EqualsNoCase(key, name)) {
      return value;
    }
  }
  return "";
}
