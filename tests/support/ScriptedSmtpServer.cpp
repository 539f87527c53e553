#include "ScriptedSmtpServer.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

#include "app/EventLoop.h"

ScriptedSmtpServer::ScriptedSmtpServer(EventLoop& loop) : loop(loop) {
  listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof addr;
  if (listenFd < 0 || ::bind(listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(listenFd, 4) != 0 ||
      ::getsockname(listenFd, reinterpret_cast<sockaddr*>(&addr), &length) != 0) {
    throw std::runtime_error("scripted smtp server: no listening socket");
  }
  port = ntohs(addr.sin_port);
  listenWatch = loop.WatchReadable(listenFd, [this] { Accept(); });
}

ScriptedSmtpServer::~ScriptedSmtpServer() {
  for (int timer : timers) {
    loop.StopTimer(timer);
  }
  CloseClient(false);
  loop.Unwatch(listenWatch);
  ::close(listenFd);
}

std::string ScriptedSmtpServer::HostSetting() const {
  return "127.0.0.1:" + std::to_string(port);
}

void ScriptedSmtpServer::Script(std::vector<Reply> replies) {
  script = std::move(replies);
}

void ScriptedSmtpServer::ScriptTexts(const std::vector<std::string>& texts) {
  script.clear();
  for (const auto& text : texts) {
    script.push_back(Reply{{text}});
  }
}

void ScriptedSmtpServer::Accept() {
  int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (fd < 0) {
    return;
  }
  CloseClient(false);
  int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  clientFd = fd;
  ++connections;
  nextReply = 0;
  received.clear();
  parsed = 0;
  dataMode = false;
  clientWatch = loop.WatchReadable(clientFd, [this] { OnReadable(); });
  PlayNext();  // the greeting
}

void ScriptedSmtpServer::OnReadable() {
  char bytes[4096];
  ssize_t got = ::recv(clientFd, bytes, sizeof bytes, 0);
  if (got <= 0) {
    CloseClient(false);
    return;
  }
  received.append(bytes, static_cast<std::size_t>(got));
  // Each complete command (or the whole data block) earns the next reply.
  while (clientFd >= 0) {
    if (dataMode) {
      std::size_t end = received.find("\r\n.\r\n", dataStart);
      if (end == std::string::npos) {
        return;
      }
      parsed = end + 5;
      dataMode = false;
      PlayNext();
      continue;
    }
    std::size_t end = received.find("\r\n", parsed);
    if (end == std::string::npos) {
      return;
    }
    std::string line = received.substr(parsed, end - parsed);
    parsed = end + 2;
    std::size_t index = nextReply;
    PlayNext();
    if (line == "DATA" && index < script.size() && script[index].kind == Reply::Kind::Send &&
        !script[index].pieces.empty() && script[index].pieces[0].rfind('3', 0) == 0) {
      dataMode = true;
      // The end-of-data line begins with the CR LF right after the header.
      dataStart = parsed;
    }
  }
}

void ScriptedSmtpServer::PlayNext() {
  if (nextReply >= script.size()) {
    return;  // out of script: silence
  }
  std::size_t index = nextReply++;
  const Reply& reply = script[index];
  switch (reply.kind) {
    case Reply::Kind::Silent:
      return;
    case Reply::Kind::Reset:
      CloseClient(true);
      return;
    case Reply::Kind::Close:
      CloseClient(false);
      return;
    case Reply::Kind::Send:
      SendPiece(index, 0);
      return;
  }
}

void ScriptedSmtpServer::SendPiece(std::size_t reply, std::size_t piece) {
  const auto& pieces = script[reply].pieces;
  if (clientFd < 0 || piece >= pieces.size()) {
    return;
  }
  ::send(clientFd, pieces[piece].data(), pieces[piece].size(), MSG_NOSIGNAL);
  if (piece + 1 < pieces.size()) {
    timers.push_back(
        loop.StartTimer(1, false, [this, reply, piece] { SendPiece(reply, piece + 1); }));
  }
}

void ScriptedSmtpServer::CloseClient(bool reset) {
  if (clientFd < 0) {
    return;
  }
  if (reset) {
    linger hard{1, 0};
    ::setsockopt(clientFd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
  }
  loop.Unwatch(clientWatch);
  clientWatch = 0;
  ::close(clientFd);
  clientFd = -1;
}
