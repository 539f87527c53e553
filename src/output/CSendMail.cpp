#include "output/CSendMail.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/AppNames.h"
#include "app/EventLoop.h"
#include "app/FormatText.h"
#include "app/Ui.h"

CSendMail::CSendMail(Ui& ui, EventLoop& loop) : ui(ui), loop(loop) {
  localHostName = [] {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) {
      return std::string();
    }
    return std::string(name);
  };
}

CSendMail::~CSendMail() {
  CloseSocket();
}

bool CSendMail::Create() {
  CloseSocket();
  socketFd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  socketFamily = AF_INET;
  return socketFd >= 0;
}

void CSendMail::CloseSocket() {
  if (watchId != 0) {
    loop.Unwatch(watchId);
    watchId = 0;
  }
  if (socketFd >= 0) {
    ::close(socketFd);
    socketFd = -1;
  }
  connecting = false;
}

bool CSendMail::ParseHost(const std::string& setting, std::string& host, int& port) {
  host = setting;
  port = kDefaultPort;
  std::string portText;
  if (!setting.empty() && setting[0] == '[') {
    // "[::1]:2525": an IPv6 address with a port.
    std::size_t close = setting.find(']');
    if (close == std::string::npos) {
      return false;
    }
    host = setting.substr(1, close - 1);
    if (close + 1 < setting.size()) {
      if (setting[close + 1] != ':') {
        return false;
      }
      portText = setting.substr(close + 2);
    }
  } else if (std::size_t colon = setting.find(':');
             colon != std::string::npos && setting.find(':', colon + 1) == std::string::npos) {
    host = setting.substr(0, colon);
    portText = setting.substr(colon + 1);
  } else if (colon != std::string::npos) {
    return true;  // a bare IPv6 address
  }
  if (setting.find(':') != std::string::npos && setting[0] != '[' && portText.empty()) {
    return false;  // "host:" names no port
  }
  if (!portText.empty()) {
    if (portText.size() > 5 || portText.find_first_not_of("0123456789") != std::string::npos) {
      return false;
    }
    port = std::stoi(portText);
  }
  return port >= 1 && port <= 65535;
}

bool CSendMail::HasLineBreak(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

void CSendMail::AppendDotStuffed(std::string_view bytes, bool& atLineStart, std::string& out) {
  for (char c : bytes) {
    if (atLineStart && c == '.') {
      out += '.';
    }
    out += c;
    atLineStart = c == '\n';
  }
}

std::string CSendMail::HostName() const {
  std::string name = localHostName ? localHostName() : std::string();
  // A name that could end the command line early is cut there.
  std::size_t bad = name.find_first_of(std::string_view("\r\n\0", 3));
  return bad == std::string::npos ? name : name.substr(0, bad);
}

std::string CSendMail::SenderAddress() const {
  std::string name = HostName();
  return name.empty() ? std::string(kSenderName) : std::string(kSenderName) + "@" + name;
}

void CSendMail::Fail(const std::string& text) {
  ui.MessageBox(text, kAppTitle, MsgButtons::Ok, MsgIcon::None);
}

bool CSendMail::SendMailFile(const std::string& host, const std::string& to,
                             const std::string& subject, const std::string& bodyPath) {
  return SendMessage(host, to, subject, [&] { return SendFileBody(bodyPath); });
}

bool CSendMail::SendMailText(const std::string& host, const std::string& to,
                             const std::string& subject, const std::string& body) {
  return SendMessage(host, to, subject, [&] {
    SendBodyPiece(body);
    return true;
  });
}

bool CSendMail::SendMessage(const std::string& host, const std::string& to,
                            const std::string& subject, const std::function<bool()>& sendBody) {
  // A line break here would let one typed line add commands or header lines.
  if (HasLineBreak(to) || HasLineBreak(subject)) {
    Fail("The mail recipient and subject must not contain line breaks or zero bytes.");
    return false;
  }
  if (!Connect(host) || !Converse(to, subject)) {
    return false;
  }
  bodyAtLineStart = true;
  if (!sendBody()) {
    return false;
  }
  return EndData();
}

bool CSendMail::Connect(const std::string& hostSetting) {
  std::string host;
  int port = kDefaultPort;
  if (!ParseHost(hostSetting, host, port)) {
    Fail(FormatText("Could not connect to smtp server (%d)", EINVAL));
    return false;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  int rc = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
  if (rc != 0 || found == nullptr) {
    Fail(FormatText("Could not connect to smtp server (%d)", rc == EAI_SYSTEM ? errno : rc));
    return false;
  }
  addresses.clear();
  for (addrinfo* ai = found; ai != nullptr; ai = ai->ai_next) {
    Address address;
    address.family = ai->ai_family;
    address.length = ai->ai_addrlen;
    std::memcpy(&address.storage, ai->ai_addr, ai->ai_addrlen);
    addresses.push_back(address);
  }
  freeaddrinfo(found);
  nextAddress = 0;
  connectError = 0;
  if (!ConnectNext()) {
    Fail(FormatText("Could not connect to smtp server (%d)", connectError));
    return false;
  }
  // The greeting; a refused address moves on to the next one inside the wait.
  bool gotReply = WaitReply();
  if (connecting && socketFd >= 0) {
    // A connection made to a host that never greets us is a silent host,
    // not a failed connect.
    sockaddr_storage peer{};
    socklen_t peerLength = sizeof peer;
    connecting = ::getpeername(socketFd, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0;
  }
  if (socketFd < 0 || connecting) {
    Fail(
        FormatText("Could not connect to smtp server (%d)", connecting ? ETIMEDOUT : connectError));
    return false;
  }
  if (!gotReply) {
    Fail("Error reading smtp socket during connect");
    return false;
  }
  const std::string& reply = ReplyText();
  bool accepted = (reply.size() > 0 && reply[0] == '2') || (reply.size() > 1 && reply[1] == '2') ||
                  (reply.size() > 2 && reply[2] == '0');
  if (!accepted) {
    Fail(FormatText("Could not connect to smtp server (%s)", reply.c_str()));
    return false;
  }
  return true;
}

bool CSendMail::ConnectNext() {
  while (nextAddress < addresses.size()) {
    const Address& address = addresses[nextAddress++];
    // The socket made by Create() serves the first address of its family.
    if (socketFd < 0 || socketFamily != address.family || watchId != 0) {
      CloseSocket();
      socketFd = ::socket(address.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
      socketFamily = address.family;
      if (socketFd < 0) {
        connectError = errno;
        continue;
      }
    }
    if (::connect(socketFd, reinterpret_cast<const sockaddr*>(&address.storage), address.length) !=
            0 &&
        errno != EINPROGRESS) {
      connectError = errno;
      CloseSocket();
      continue;
    }
    // Commands are small and each waits for its reply: no coalescing delay.
    int one = 1;
    ::setsockopt(socketFd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    // Connected or on its way: readiness tells which, no blocking connect.
    connecting = true;
    watchId = loop.WatchReadable(socketFd, [this] { OnReadable(); });
    return true;
  }
  return false;
}

bool CSendMail::Converse(const std::string& to, const std::string& subject) {
  Reply reply = Command("HELO " + HostName() + "\r\n", '2');
  if (reply != Reply::Accepted) {
    Fail(reply == Reply::Rejected
             ? FormatText("Could not talk to smtp server (%s)", ReplyText().c_str())
             : std::string("Error reading smtp socket during Helo"));
    return false;
  }
  reply = Command("MAIL FROM:<" + SenderAddress() + ">\r\n", '2');
  if (reply != Reply::Accepted) {
    Fail(reply == Reply::Rejected
             ? FormatText("Error negotiating with smtp (%s)", ReplyText().c_str())
             : std::string("Error reading smtp socket during MailFrom"));
    return false;
  }
  reply = Command("RCPT TO:<" + to + ">\r\n", '2');
  if (reply != Reply::Accepted) {
    Fail(reply == Reply::Rejected
             ? FormatText("Invalid Mail Recipient %s (%s)", to.c_str(), ReplyText().c_str())
             : std::string("Error reading smtp socket during RcptTo"));
    return false;
  }
  reply = Command("DATA\r\n", '3');
  if (reply != Reply::Accepted) {
    Fail(reply == Reply::Rejected
             ? FormatText("Not authorized to send data to smtp (%s)", ReplyText().c_str())
             : std::string("Error reading smtp socket during SendHeader"));
    return false;
  }
  SendAll(MessageHeader(to, subject, SenderAddress()));
  return true;
}

std::string CSendMail::MessageHeader(const std::string& to, const std::string& subject,
                                     const std::string& sender) {
  return "To: " + to + " \r\n" + "Precedence: never-bounce\r\n" + "X-TamselSource:<" + sender +
         ">\r\n" + "Subject: " + subject + "\r\n" + "\r\n";
}

CSendMail::Reply CSendMail::Command(const std::string& command, char expectedFirst) {
  SendAll(command);
  if (!WaitReply()) {
    return Reply::ReadError;
  }
  const std::string& reply = ReplyText();
  return !reply.empty() && reply[0] == expectedFirst ? Reply::Accepted : Reply::Rejected;
}

bool CSendMail::SendFileBody(const std::string& path) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) {
    Fail("Error creating file");
    return false;
  }
  char chunk[kFileChunk];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    SendBodyPiece(std::string_view(chunk, got));
  }
  return true;
}

void CSendMail::SendBodyPiece(std::string_view bytes) {
  // A line of just "." would end the message early and lose the rest.
  std::string stuffed;
  stuffed.reserve(bytes.size() + 16);
  AppendDotStuffed(bytes, bodyAtLineStart, stuffed);
  SendAll(stuffed);
}

bool CSendMail::EndData() {
  SendAll("\r\n.\r\n");
  // The host's verdict on the message: without it a refused message would
  // be reported as mailed.
  if (!WaitReply()) {
    Fail("Error reading smtp socket after sending the message");
    return false;
  }
  if (ReplyText().empty() || ReplyText()[0] != '2') {
    Fail(FormatText("The smtp server did not accept the message (%s)", ReplyText().c_str()));
    return false;
  }
  return true;
}

void CSendMail::SendAll(std::string_view bytes) {
  // Errors are not reported here: a broken connection shows at the next wait.
  while (!bytes.empty() && socketFd >= 0) {
    ssize_t sent = ::send(socketFd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(sent));
      continue;
    }
    if (sent < 0 && errno == EINTR) {
      continue;
    }
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // The host is slow to take the body: the same one-minute limit.
      pollfd pfd{socketFd, POLLOUT, 0};
      if (::poll(&pfd, 1, kReplyWaitMs) > 0) {
        continue;
      }
    }
    return;
  }
}

bool CSendMail::WaitReply() {
  replyComplete = false;
  readError = 0;
  while (!replyComplete && readError == 0 && socketFd >= 0) {
    SingleWait();
  }
  return replyComplete && readError == 0 && socketFd >= 0;
}

void CSendMail::SingleWait() {
  activity = false;
  bool timedOut = false;
  int timerId = loop.StartTimer(kReplyWaitMs, false, [&timedOut] { timedOut = true; });
  std::int64_t start = loop.NowMs();
  while (!activity && !timedOut) {
    std::int64_t left = kReplyWaitMs - (loop.NowMs() - start);
    if (!loop.ProcessEvents(static_cast<int>(left > 0 ? left : 0))) {
      timedOut = true;  // nothing left to wait for
    }
  }
  loop.StopTimer(timerId);
  if (timedOut && !activity) {
    readError = 1;
    replyComplete = true;
  }
}

void CSendMail::OnReadable() {
  activity = true;
  if (connecting) {
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(socketFd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
      error = errno;
    }
    if (error != 0) {
      connectError = error;
      CloseSocket();
      ConnectNext();
      return;
    }
    connecting = false;
  }
  char bytes[4096];
  ssize_t got = ::recv(socketFd, bytes, sizeof bytes, MSG_DONTWAIT);
  if (got > 0) {
    switch (reader.Feed(std::string_view(bytes, static_cast<std::size_t>(got)))) {
      case CSmtpReplyReader::Result::Complete:
        replyComplete = true;
        break;
      case CSmtpReplyReader::Result::Overflow:
        readError = EMSGSIZE;
        break;
      case CSmtpReplyReader::Result::Incomplete:
        break;
    }
  } else if (got == 0) {
    // The host closed: what it said last is its reply; after that, nothing
    // more will come, so the wait ends rather than spinning on end-of-stream.
    if (reader.DeliverPending()) {
      replyComplete = true;
    } else {
      readError = ENOTCONN;
    }
  } else if (errno == ECONNRESET || errno == EPIPE) {
    replyComplete = true;  // a reset counts as a reply; the last reply text stands
  } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
    readError = errno;
  }
}
