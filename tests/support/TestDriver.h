#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "driver/PacketHeader.h"

// A scriptable driver on loopback for tests. It accepts connections one after
// the other, records every byte it receives, splits the stream into requests
// (knowing the protocol's uncounted zero bytes), and answers each request type
// from a script. Replies are written in chunks, each after an optional delay,
// so tests can split packets at any byte, glue several into one write, close
// mid-packet or send garbage.
class TestDriver {
 public:
  struct Chunk {
    std::string bytes;
    int delayMs = 0;
    bool closeAfter = false;  // close the connection after writing this chunk
  };
  struct Request {
    PacketHeader header;
    std::string body;
  };

  TestDriver();
  ~TestDriver();

  int Port() const { return port; }

  // The next request of `type` is answered with these chunks (in script order).
  void OnRequest(std::uint32_t type, std::vector<Chunk> reply);
  // Every request of `type` without a scripted reply gets these.
  void Always(std::uint32_t type, std::vector<Chunk> reply);
  // Written as soon as a connection is accepted.
  void OnAccept(std::vector<Chunk> chunks);
  // Send chunks now, on the current connection.
  void SendNow(std::vector<Chunk> chunks);
  // Whether the client was told about a field list (GET_RECORD bodies).
  void SetFieldListSent(bool sent);

  // Everything received, across connections.
  std::string Received();
  std::vector<Request> Requests();
  int Connections();
  // Waits (bounded) until `count` requests have arrived.
  bool WaitForRequests(std::size_t count, int timeoutMs = 10000);
  // Waits (bounded) until the client has closed its connection.
  bool WaitForClientClose(int timeoutMs = 10000);

  // A packet with length = body size.
  static std::string Packet(std::uint32_t type, const std::string& body = "", std::int32_t p1 = 0,
                            std::int32_t p2 = 0, std::int32_t p3 = 0, std::int32_t p4 = 0);
  // Splits bytes into chunks of `size` (the last may be shorter).
  static std::vector<Chunk> Split(const std::string& bytes, std::size_t size, int delayMs = 0);

 private:
  void Run();
  void Serve(int fd);
  void Write(int fd, const std::vector<Chunk>& chunks, bool& closed);
  bool ParseRequests(std::string& pending, std::vector<Request>& parsed);

  int listenFd = -1;
  int port = 0;
  int wakeFds[2] = {-1, -1};
  std::thread thread;
  std::mutex mutex;
  std::condition_variable changed;
  bool stopping = false;
  bool fieldListSent = false;
  bool clientClosed = false;
  int connections = 0;
  std::string received;
  std::vector<Request> requests;
  std::map<std::uint32_t, std::deque<std::vector<Chunk>>> scripted;
  std::map<std::uint32_t, std::vector<Chunk>> always;
  std::vector<Chunk> onAccept;
  std::deque<std::vector<Chunk>> sendNow;
};
