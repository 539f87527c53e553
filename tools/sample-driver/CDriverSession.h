#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CReplyQueue.h"
#include "CRequestFramer.h"
#include "CSearchEngine.h"
#include "driver/PacketHeader.h"

class CBrowseLists;
class CSampleDatabase;

// A database as the server offers it.
struct ServedDatabase {
  const CSampleDatabase* db = nullptr;
  CBrowseLists* browse = nullptr;
  std::string password;  // empty: no password asked
};

struct SessionSettings {
  std::string protocol = kProtocolVersion;
  CReplyQueue::Settings replies;
  bool verbose = false;
};

// The driver side of one client connection: assembles requests from the
// non-blocking socket, answers them one after the other, and keeps the
// connection's own state (open database, field lists, last result).
//
// A request is answered only when the replies to the previous one are out,
// so a slow reader holds up its own connection and nothing else; a search
// runs in steps, so a cancel that arrives meanwhile drops it.
class CDriverSession {
 public:
  CDriverSession(int fd, int id, const std::map<std::string, ServedDatabase>& databases,
                 const SessionSettings& settings);
  ~CDriverSession();
  CDriverSession(const CDriverSession&) = delete;
  CDriverSession& operator=(const CDriverSession&) = delete;

  int Fd() const { return fd; }
  bool Closed() const { return fd < 0; }
  short WantedEvents() const;
  std::int64_t NextDueMs() const { return replies.NextDueMs(); }
  void OnEvents(short revents, std::int64_t nowMs);
  // Writes what is due and answers what can be answered now.
  void Advance(std::int64_t nowMs);

 private:
  using Request = CRequestFramer::Request;
  struct SearchJob {
    int step = 0;
    SearchRequest request;
  };

  void ReadInput();
  void CancelSearch();

  void HandleRequest(const Request& request);
  void HandleOpen(const Request& request);
  void HandleInfoAnswer(const Request& request);
  void SendOpened();
  void AskPassword(bool again);
  void StartSearch(const Request& request);
  void RunSearchStep();
  void HandleTitle(const Request& request);
  void HandleRecord(const Request& request);
  void HandleExtensionData(const Request& request);
  void HandleBrowse(const Request& request);

  void Send(std::uint32_t type, const std::string& body, std::int32_t param1 = 0,
            std::int32_t param2 = 0, std::int32_t param3 = 0, bool searchReply = false);
  void SendStatus(int kind, const std::string& text, bool searchReply = false);
  // STATUS_ERROR_CLOSED, then the connection ends once it is written.
  void Fatal(const std::string& text);
  void Close(const std::string& why);
  void Log(const std::string& text) const;
  std::string Environment(const std::string& name) const;
  bool ValidResult(std::int32_t number) const;

  int fd;
  int id;
  const std::map<std::string, ServedDatabase>& databases;
  SessionSettings settings;
  CReplyQueue replies;
  std::int64_t now = 0;

  CRequestFramer framer;
  bool closeWhenFlushed = false;

  const ServedDatabase* served = nullptr;
  bool awaitingPassword = false;
  int passwordAttempts = 0;
  bool fieldListSent = false;
  std::string titleFields;
  std::string summaryFields;
  std::string extensionFields;
  std::vector<std::pair<std::string, std::string>> environment;
  std::optional<SearchJob> job;
  SearchResult result;
};
