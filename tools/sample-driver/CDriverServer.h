#pragma once

#include <csignal>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CBrowseLists.h"
#include "CDriverOptions.h"
#include "CDriverSession.h"
#include "CSampleDatabase.h"

// The listening socket and every client connection, served by one poll()
// loop on one thread.
class CDriverServer {
 public:
  static constexpr std::size_t kMaxSessions = 256;

  explicit CDriverServer(const DriverOptions& options) : options(options) {}
  ~CDriverServer();
  CDriverServer(const CDriverServer&) = delete;
  CDriverServer& operator=(const CDriverServer&) = delete;

  // Reads and indexes every database; false with a readable reason.
  bool Load(std::string& error);
  bool Listen(std::string& error);
  int Port() const { return port; }
  // Serves until `stop` is set; signals are let through only while waiting.
  // Returns the exit status.
  int Run(const volatile std::sig_atomic_t& stop, const sigset_t& waitMask);

 private:
  void AcceptClients();

  DriverOptions options;
  std::vector<std::unique_ptr<CSampleDatabase>> databases;
  std::vector<std::unique_ptr<CBrowseLists>> browseLists;
  std::map<std::string, ServedDatabase> served;
  std::vector<std::unique_ptr<CDriverSession>> sessions;
  int listenFd = -1;
  int port = 0;
  int nextSessionId = 1;
};
