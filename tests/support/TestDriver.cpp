#include "TestDriver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

TestDriver::TestDriver() {
  listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int one = 1;
  setsockopt(listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  listen(listenFd, 8);
  socklen_t len = sizeof addr;
  getsockname(listenFd, reinterpret_cast<sockaddr*>(&addr), &len);
  port = ntohs(addr.sin_port);
  if (pipe(wakeFds) != 0) {
    wakeFds[0] = wakeFds[1] = -1;
  }
  thread = std::thread([this] { Run(); });
}

TestDriver::~TestDriver() {
  {
    std::lock_guard<std::mutex> lock(mutex);
    stopping = true;
  }
  char c = 'x';
  (void)!write(wakeFds[1], &c, 1);
  thread.join();
  ::close(listenFd);
  ::close(wakeFds[0]);
  ::close(wakeFds[1]);
}

std::string TestDriver::Packet(std::uint32_t type, const std::string& body, std::int32_t p1,
                               std::int32_t p2, std::int32_t p3, std::int32_t p4) {
  PacketHeader h;
  h.type = type;
  h.length = static_cast<std::int32_t>(body.size());
  h.param1 = p1;
  h.param2 = p2;
  h.param3 = p3;
  h.param4 = p4;
  return h.Packed() + body;
}

std::vector<TestDriver::Chunk> TestDriver::Split(const std::string& bytes, std::size_t size,
                                                 int delayMs) {
  std::vector<Chunk> chunks;
  for (std::size_t at = 0; at < bytes.size(); at += size) {
    chunks.push_back({bytes.substr(at, size), delayMs, false});
  }
  return chunks;
}

void TestDriver::OnRequest(std::uint32_t type, std::vector<Chunk> reply) {
  std::lock_guard<std::mutex> lock(mutex);
  scripted[type].push_back(std::move(reply));
}

void TestDriver::Always(std::uint32_t type, std::vector<Chunk> reply) {
  std::lock_guard<std::mutex> lock(mutex);
  always[type] = std::move(reply);
}

void TestDriver::OnAccept(std::vector<Chunk> chunks) {
  std::lock_guard<std::mutex> lock(mutex);
  onAccept = std::move(chunks);
}

void TestDriver::SendNow(std::vector<Chunk> chunks) {
  {
    std::lock_guard<std::mutex> lock(mutex);
    sendNow.push_back(std::move(chunks));
  }
  char c = 's';
  (void)!write(wakeFds[1], &c, 1);
}

void TestDriver::SetFieldListSent(bool sent) {
  std::lock_guard<std::mutex> lock(mutex);
  fieldListSent = sent;
}

std::string TestDriver::Received() {
  std::lock_guard<std::mutex> lock(mutex);
  return received;
}

std::vector<TestDriver::Request> TestDriver::Requests() {
  std::lock_guard<std::mutex> lock(mutex);
  return requests;
}

int TestDriver::Connections() {
  std::lock_guard<std::mutex> lock(mutex);
  return connections;
}

bool TestDriver::WaitForRequests(std::size_t count, int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex);
  return changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [&] { return requests.size() >= count; });
}

bool TestDriver::WaitForClientClose(int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex);
  return changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return clientClosed; });
}

void TestDriver::Write(int fd, const std::vector<Chunk>& chunks, bool& closed) {
  for (const auto& chunk : chunks) {
    if (closed) {
      return;
    }
    if (chunk.delayMs > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(chunk.delayMs));
    }
    std::size_t at = 0;
    while (at < chunk.bytes.size()) {
      ssize_t n = ::send(fd, chunk.bytes.data() + at, chunk.bytes.size() - at, MSG_NOSIGNAL);
      if (n <= 0) {
        break;
      }
      at += static_cast<std::size_t>(n);
    }
    if (chunk.closeAfter) {
      closed = true;
    }
  }
}

// Cuts complete requests off the front of `pending`.
bool TestDriver::ParseRequests(std::string& pending, std::vector<Request>& parsed) {
  for (;;) {
    if (pending.size() < PacketHeader::kSize) {
      return true;
    }
    PacketHeader h = PacketHeader::Unpack(reinterpret_cast<const unsigned char*>(pending.data()));
    if (h.length < 0 || h.length > PacketHeader::kMaxBodyLength) {
      return false;
    }
    std::size_t total = PacketHeader::kSize + static_cast<std::size_t>(h.length);
    bool extraZero = false;
    if (h.type == MSG_OPEN && pending.size() >= total) {
      // Five strings, then the environment block; an empty block is one
      // uncounted zero byte.
      std::size_t at = PacketHeader::kSize;
      for (int i = 0; i < 5 && at < total; ++i) {
        std::size_t zero = pending.find('\0', at);
        at = zero == std::string::npos ? total : zero + 1;
      }
      extraZero = at >= total;
    }
    if (h.type == MSG_GET_RECORD && h.param2 == 0 && h.length == 0 && fieldListSent) {
      extraZero = true;
    }
    if (extraZero) {
      ++total;
    }
    if (pending.size() < total) {
      return true;
    }
    parsed.push_back({h, pending.substr(PacketHeader::kSize, static_cast<std::size_t>(h.length))});
    pending.erase(0, total);
  }
}

void TestDriver::Serve(int fd) {
  std::vector<Chunk> greeting;
  {
    std::lock_guard<std::mutex> lock(mutex);
    ++connections;
    clientClosed = false;
    greeting = onAccept;
  }
  bool closed = false;
  Write(fd, greeting, closed);
  std::string pending;
  while (!closed) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFds[0], POLLIN, 0}};
    if (poll(fds, 2, 200) < 0) {
      break;
    }
    std::deque<std::vector<Chunk>> toSend;
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (stopping) {
        break;
      }
      toSend.swap(sendNow);
    }
    if (fds[1].revents != 0) {
      char buf[16];
      (void)!read(wakeFds[0], buf, sizeof buf);
    }
    for (const auto& chunks : toSend) {
      Write(fd, chunks, closed);
    }
    if (fds[0].revents == 0) {
      continue;
    }
    char buf[65536];
    ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n <= 0) {
      break;
    }
    std::vector<Request> parsed;
    std::vector<std::vector<Chunk>> replies;
    {
      std::lock_guard<std::mutex> lock(mutex);
      received.append(buf, static_cast<std::size_t>(n));
      pending.append(buf, static_cast<std::size_t>(n));
      ParseRequests(pending, parsed);
      for (const auto& request : parsed) {
        requests.push_back(request);
        auto& queue = scripted[request.header.type];
        if (!queue.empty()) {
          replies.push_back(queue.front());
          queue.pop_front();
        } else if (always.count(request.header.type) != 0) {
          replies.push_back(always[request.header.type]);
        }
      }
    }
    changed.notify_all();
    for (const auto& reply : replies) {
      Write(fd, reply, closed);
    }
  }
  ::close(fd);
  {
    std::lock_guard<std::mutex> lock(mutex);
    clientClosed = true;
  }
  changed.notify_all();
}

void TestDriver::Run() {
  for (;;) {
    pollfd fds[2] = {{listenFd, POLLIN, 0}, {wakeFds[0], POLLIN, 0}};
    poll(fds, 2, 200);
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (stopping) {
        return;
      }
    }
    if (fds[1].revents != 0) {
      char buf[16];
      (void)!read(wakeFds[0], buf, sizeof buf);
    }
    if (fds[0].revents != 0) {
      int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd >= 0) {
        Serve(fd);
      }
    }
  }
}
