#include "CDriverServer.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>

#include "platform/CPollLoop.h"

CDriverServer::~CDriverServer() {
  sessions.clear();
  if (listenFd >= 0) {
    close(listenFd);
  }
}

bool CDriverServer::Load(std::string& error) {
  for (const auto& [name, path] : options.databases) {
    auto db = std::make_unique<CSampleDatabase>();
    if (!db->LoadFile(name, path, error)) {
      return false;
    }
    if (db->RecordCount() == 0) {
      error = path + ": no records";
      return false;
    }
    auto browse = std::make_unique<CBrowseLists>(*db);
    auto password = options.passwords.find(name);
    served[name] = {db.get(), browse.get(),
                    password == options.passwords.end() ? "" : password->second};
    databases.push_back(std::move(db));
    browseLists.push_back(std::move(browse));
  }
  return true;
}

bool CDriverServer::Listen(std::string& error) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  std::string service = std::to_string(options.port);
  int status = getaddrinfo(options.host.c_str(), service.c_str(), &hints, &found);
  if (status != 0) {
    error = options.host + ": " + gai_strerror(status);
    return false;
  }
  error = "no address to listen on";
  for (addrinfo* a = found; a && listenFd < 0; a = a->ai_next) {
    int fd = socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) {
      error = std::string("socket: ") + std::strerror(errno);
      continue;
    }
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (bind(fd, a->ai_addr, a->ai_addrlen) != 0 || listen(fd, 64) != 0) {
      error = options.host + ":" + service + ": " + std::strerror(errno);
      close(fd);
      continue;
    }
    listenFd = fd;
  }
  freeaddrinfo(found);
  if (listenFd < 0) {
    return false;
  }
  sockaddr_storage bound{};
  socklen_t length = sizeof bound;
  getsockname(listenFd, reinterpret_cast<sockaddr*>(&bound), &length);
  port = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                           : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
  return true;
}

void CDriverServer::AcceptClients() {
  for (;;) {
    int fd = accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      return;
    }
    if (sessions.size() >= kMaxSessions) {
      close(fd);
      continue;
    }
    // Replies are small and answer one request each: send them at once.
    int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    sessions.push_back(
        std::make_unique<CDriverSession>(fd, nextSessionId++, served, options.session));
  }
}

int CDriverServer::Run(const volatile std::sig_atomic_t& stop, const sigset_t& waitMask) {
  std::vector<pollfd> fds;
  while (!stop) {
    fds.assign(1, {listenFd, POLLIN, 0});
    std::int64_t now = CPollLoop::MonotonicMs();
    std::int64_t wait = -1;
    for (const auto& s : sessions) {
      fds.push_back({s->Fd(), s->WantedEvents(), 0});
      std::int64_t due = s->NextDueMs();
      if (due >= 0) {
        std::int64_t left = std::max<std::int64_t>(0, due - now);
        wait = wait < 0 ? left : std::min(wait, left);
      }
    }
    timespec timeout{static_cast<time_t>(wait / 1000), static_cast<long>(wait % 1000) * 1000000};
    int ready = ppoll(fds.data(), fds.size(), wait < 0 ? nullptr : &timeout, &waitMask);
    if (ready < 0 && errno != EINTR) {
      std::cerr << "tamsel-sample-driver: poll: " << std::strerror(errno) << std::endl;
      return 1;
    }
    now = CPollLoop::MonotonicMs();
    std::size_t polled = sessions.size();
    if (ready > 0 && (fds[0].revents & POLLIN)) {
      AcceptClients();
    }
    for (std::size_t i = 0; i < polled && ready > 0; ++i) {
      if (fds[i + 1].revents != 0) {
        sessions[i]->OnEvents(fds[i + 1].revents, now);
      }
    }
    for (const auto& s : sessions) {
      s->Advance(now);
    }
    std::erase_if(sessions, [](const auto& s) { return s->Closed(); });
  }
  return 0;
}
