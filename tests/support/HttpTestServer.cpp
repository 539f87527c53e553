#include "HttpTestServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace {

// Long enough for any test on a loaded machine, short enough that a stuck
// client cannot keep the server busy forever.
constexpr int kIoTimeoutMs = 30000;
constexpr size_t kMaxHeadBytes = 64 * 1024;
constexpr size_t kDefaultPiece = 64 * 1024;

const char* ReasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Status";
  }
}

// The path of a request target; a proxy request carries the whole URL.
std::string TargetPath(const std::string& target) {
  if (target.rfind("http://", 0) != 0) {
    return target;
  }
  size_t slash = target.find('/', 7);
  return slash == std::string::npos ? "/" : target.substr(slash);
}

}  // namespace

HttpTestServer::HttpTestServer() {
  listenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd < 0 || pipe2(wakePipe, O_CLOEXEC) != 0) {
    throw std::runtime_error("HttpTestServer: no socket or pipe");
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (bind(listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listenFd, 16) != 0 ||
      getsockname(listenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("HttpTestServer: cannot listen on 127.0.0.1");
  }
  port = ntohs(address.sin_port);
  thread = std::thread([this] { Run(); });
}

HttpTestServer::~HttpTestServer() {
  stopping = true;
  char byte = 'x';
  (void)!write(wakePipe[1], &byte, 1);
  if (thread.joinable()) {
    thread.join();
  }
  for (int fd : silentConnections) {
    close(fd);
  }
  close(listenFd);
  close(wakePipe[0]);
  close(wakePipe[1]);
}

void HttpTestServer::Route(const std::string& path, Reply reply) {
  std::lock_guard<std::mutex> lock(mutex);
  routes[path] = std::move(reply);
}

void HttpTestServer::Route(const std::string& path, int status, std::string body) {
  Reply reply;
  reply.status = status;
  reply.body = std::move(body);
  Route(path, std::move(reply));
}

void HttpTestServer::SetMode(Mode newMode) {
  std::lock_guard<std::mutex> lock(mutex);
  mode = newMode;
}

std::string HttpTestServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port) + path;
}

std::vector<std::string> HttpTestServer::RequestHeads() const {
  std::lock_guard<std::mutex> lock(mutex);
  return heads;
}

char HttpTestServer::GeneratedByte(long long index) {
  return static_cast<char>((index % 251) ^ ((index / 251) % 256));
}

void HttpTestServer::Run() {
  while (!stopping) {
    pollfd fds[2] = {{listenFd, POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      return;
    }
    if (fds[1].revents != 0) {
      return;
    }
    if ((fds[0].revents & POLLIN) == 0) {
      continue;
    }
    int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) {
      continue;
    }
    Mode current;
    {
      std::lock_guard<std::mutex> lock(mutex);
      current = mode;
    }
    if (current == Mode::NeverAnswer) {
      silentConnections.push_back(fd);
      continue;
    }
    if (current == Mode::Answer) {
      int one = 1;
      setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      Serve(fd);
    }
    close(fd);
  }
}

// True when `fd` is ready for `events`; false on time-out or shutdown.
bool HttpTestServer::WaitFor(int fd, short events, int timeoutMs) {
  for (;;) {
    pollfd fds[2] = {{fd, events, 0}, {wakePipe[0], POLLIN, 0}};
    int n = poll(fds, 2, timeoutMs);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    return n > 0 && fds[1].revents == 0 && fds[0].revents != 0;
  }
}

bool HttpTestServer::ReadHead(int fd, std::string& head) {
  char buffer[4096];
  while (head.size() < kMaxHeadBytes) {
    if (!WaitFor(fd, POLLIN, kIoTimeoutMs)) {
      return false;
    }
    ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
      continue;
    }
    if (n <= 0) {
      return false;
    }
    head.append(buffer, static_cast<size_t>(n));
    // A TLS hello or other non-HTTP bytes: hang up rather than wait for a head.
    if (head[0] < 'A' || head[0] > 'Z') {
      return false;
    }
    size_t end = head.find("\r\n\r\n");
    if (end != std::string::npos) {
      head.resize(end + 4);
      return true;
    }
  }
  return false;
}

bool HttpTestServer::SendAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    if (!WaitFor(fd, POLLOUT, kIoTimeoutMs)) {
      return false;
    }
    ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
      continue;
    }
    if (n <= 0) {
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool HttpTestServer::SendBody(int fd, const Reply& reply) {
  long long total =
      reply.generatedBytes >= 0 ? reply.generatedBytes : static_cast<long long>(reply.body.size());
  if (reply.closeAfterBytes >= 0) {
    total = std::min(total, reply.closeAfterBytes);
  }
  size_t piece = reply.pieceSize > 0 ? reply.pieceSize : kDefaultPiece;
  std::string chunk;
  for (long long offset = 0; offset < total;) {
    size_t size =
        static_cast<size_t>(std::min<long long>(static_cast<long long>(piece), total - offset));
    if (reply.generatedBytes >= 0) {
      chunk.resize(size);
      for (size_t i = 0; i < size; ++i) {
        chunk[i] = GeneratedByte(offset + static_cast<long long>(i));
      }
    } else {
      chunk = reply.body.substr(static_cast<size_t>(offset), size);
    }
    if (!SendAll(fd, chunk.data(), chunk.size())) {
      return false;
    }
    offset += static_cast<long long>(size);
  }
  return true;
}

void HttpTestServer::Serve(int fd) {
  std::string head;
  if (!ReadHead(fd, head)) {
    return;
  }
  Reply reply;
  {
    std::lock_guard<std::mutex> lock(mutex);
    heads.push_back(head);
    size_t firstSpace = head.find(' ');
    size_t secondSpace = head.find(' ', firstSpace + 1);
    std::string target = firstSpace == std::string::npos || secondSpace == std::string::npos
                             ? std::string()
                             : head.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    auto route = routes.find(TargetPath(target));
    if (route != routes.end()) {
      reply = route->second;
    } else {
      reply.status = 404;
      reply.body = "<HTML><HEAD><TITLE>404 Not Found</TITLE></HEAD></HTML>\r\n";
    }
  }
  long long length =
      reply.generatedBytes >= 0 ? reply.generatedBytes : static_cast<long long>(reply.body.size());
  std::string response = "HTTP/1.1 " + std::to_string(reply.status) + " " +
                         ReasonPhrase(reply.status) + "\r\nContent-Type: text/plain\r\n";
  if (reply.sendLength) {
    response += "Content-Length: " + std::to_string(length) + "\r\n";
  }
  response += "Connection: close\r\n" + reply.extraHeaders + "\r\n";
  if (SendAll(fd, response.data(), response.size())) {
    SendBody(fd, reply);
  }
}
