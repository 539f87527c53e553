#pragma once

#include <string>
#include <vector>

class EventLoop;

// A mail host on loopback that plays a script of replies and records every
// byte it receives. It runs on the same event loop as the code under test,
// so a test on a ManualEventLoop with simulated time is fully deterministic.
// Replies follow the greeting, one per command line; after a reply starting
// with "3" the data up to the end-of-data line counts as one command.
class ScriptedSmtpServer {
 public:
  struct Reply {
    // Sent one after the other, each piece 1 ms (loop time) after the last.
    std::vector<std::string> pieces;
    enum class Kind { Send, Silent, Reset, Close } kind = Kind::Send;
  };

  explicit ScriptedSmtpServer(EventLoop& loop);
  ~ScriptedSmtpServer();

  // The script: the greeting first, then one reply per command.
  void Script(std::vector<Reply> replies);
  // Convenience: each text one whole reply.
  void ScriptTexts(const std::vector<std::string>& texts);

  int Port() const { return port; }
  std::string HostSetting() const;

  // Every byte of the latest connection.
  std::string received;
  int connections = 0;

 private:
  void Accept();
  void OnReadable();
  void PlayNext();
  void SendPiece(std::size_t reply, std::size_t piece);
  void CloseClient(bool reset);

  EventLoop& loop;
  int listenFd = -1;
  int listenWatch = 0;
  int clientFd = -1;
  int clientWatch = 0;
  int port = 0;
  std::vector<Reply> script;
  std::size_t nextReply = 0;
  std::size_t parsed = 0;
  bool dataMode = false;
  std::size_t dataStart = 0;
  std::vector<int> timers;
};
