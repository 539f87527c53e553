#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A real HTTP/1.x server on 127.0.0.1 (an ephemeral port) for tests of the
// configuration fetch. It serves one connection at a time on a background
// thread, answers each request by its path and closes the connection. It
// records every request head as received.
class HttpTestServer {
 public:
  // How accepted connections are treated.
  enum class Mode {
    Answer,       // read the request and answer it from the routes
    NeverAnswer,  // keep the connection open and silent until destruction
    CloseAtOnce,  // close right after accepting
  };

  struct Reply {
    int status = 200;
    std::string body;
    // Further header lines, each ending in "\r\n".
    std::string extraHeaders;
    // When positive, the body is sent in pieces of this many bytes.
    size_t pieceSize = 0;
    // When not negative, a body of this many bytes of GeneratedByte() is sent
    // instead of `body`, without holding it in memory.
    long long generatedBytes = -1;
    // Without Content-Length the body ends where the connection closes.
    bool sendLength = true;
    // When not negative, the connection closes after this many body bytes,
    // whatever the announced length.
    long long closeAfterBytes = -1;
  };

  HttpTestServer();
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  // Unrouted paths get a 404.
  void Route(const std::string& path, Reply reply);
  void Route(const std::string& path, int status, std::string body);
  void SetMode(Mode mode);

  int Port() const { return port; }
  // "http://127.0.0.1:<port>" followed by `path`.
  std::string Url(const std::string& path) const;
  // The raw heads of the requests received so far, request line included.
  std::vector<std::string> RequestHeads() const;

  // The bytes of a generated body: every byte value, in a pattern that a
  // shifted or dropped piece would not reproduce.
  static char GeneratedByte(long long index);

 private:
  void Run();
  void Serve(int fd);
  bool ReadHead(int fd, std::string& head);
  bool SendAll(int fd, const char* data, size_t size);
  bool SendBody(int fd, const Reply& reply);
  bool WaitFor(int fd, short events, int timeoutMs);

  int listenFd = -1;
  int wakePipe[2] = {-1, -1};
  int port = 0;
  std::atomic<bool> stopping{false};
  mutable std::mutex mutex;
  std::map<std::string, Reply> routes;
  std::vector<std::string> heads;
  Mode mode = Mode::Answer;
  std::vector<int> silentConnections;
  std::thread thread;
};
