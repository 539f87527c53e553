#include "driver/CDriverConnection.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <string_view>

#include "app/EventLoop.h"
#include "app/FormatText.h"
#include "app/Ui.h"
#include "driver/CPacketTrace.h"

namespace {

constexpr const char* kSocketCaption = "Windows Socket Error";

}  // namespace

CDriverConnection::CDriverConnection(Ui& ui, EventLoop& loop, Handlers handlers)
    : ui(ui), loop(loop), handlers(std::move(handlers)) {}

CDriverConnection::~CDriverConnection() {
  NotificationsOff();
  if (socketFd >= 0) {
    ::close(socketFd);
  }
}

int CDriverConnection::OpenSocket(const std::string& host, int port) {
  CloseSocket();
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    ui.MessageBox(FormatText("Windows socket error %d: Couldn't open socket", errno),
                  kSocketCaption, MsgButtons::Ok, MsgIcon::Error);
    return 0;
  }
  socketFd = fd;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  int rc = getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (rc != 0 || found == nullptr) {
    int code = rc == EAI_SYSTEM ? errno : rc;
    ui.MessageBox(FormatText("Windows socket error %d: Unknown host", code), kSocketCaption,
                  MsgButtons::Ok, MsgIcon::Error);
    return 0;
  }
  // Addresses are tried in order until one connects.
  int lastError = 0;
  bool connected = false;
  for (addrinfo* ai = found; ai != nullptr && !connected; ai = ai->ai_next) {
    sockaddr_in addr{};
    std::memcpy(&addr, ai->ai_addr, sizeof addr);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(socketFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
      connected = true;
    } else {
      lastError = errno;
    }
  }
  freeaddrinfo(found);
  if (!connected) {
    ui.MessageBox(FormatText("Windows socket error %d: Couldn't connect socket", lastError),
                  kSocketCaption, MsgButtons::Ok, MsgIcon::Error);
    return 0;
  }
  int one = 1;
  setsockopt(socketFd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  fcntl(socketFd, F_SETFL, fcntl(socketFd, F_GETFL) | O_NONBLOCK);
  return 1;
}

void CDriverConnection::CloseSocket() {
  NotificationsOff();
  DropBuffered();
  if (socketFd < 0) {
    return;
  }
  int fd = socketFd;
  socketFd = -1;
  if (::close(fd) != 0) {
    ui.MessageBox(FormatText("Windows socket error %d: Couldn't close socket # %d", errno, fd),
                  kSocketCaption, MsgButtons::Ok, MsgIcon::Error);
  }
}

void CDriverConnection::Send(const std::string& bytes) {
  if (socketFd < 0) {
    return;
  }
  if (trace != nullptr && trace->Active() && bytes.size() >= PacketHeader::kSize) {
    std::string_view wire(bytes);
    trace->Record(CPacketTrace::Direction::Sent,
                  PacketHeader::Unpack(reinterpret_cast<const unsigned char*>(bytes.data())),
                  wire.substr(PacketHeader::kSize), loop.NowMs());
  }
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = ::send(socketFd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // The driver is slow to read: wait until it takes more.
      pollfd pfd{socketFd, POLLOUT, 0};
      if (poll(&pfd, 1, 30000) > 0) {
        continue;
      }
      errno = ETIMEDOUT;
    }
    int error = errno;
    if (error != EBADF && error != ENOTSOCK && error != ECONNRESET && error != EPIPE) {
      ui.MessageBox(FormatText("Windows socket error %d: Couldn't Send Data", error),
                    kSocketCaption, MsgButtons::Ok, MsgIcon::Error);
    }
    return;
  }
}

bool CDriverConnection::NotificationsOn() {
  if (socketFd < 0) {
    return false;
  }
  if (watchId == 0) {
    watchId = loop.WatchReadable(socketFd, [this] { ReceiveStep(); });
  }
  return true;
}

void CDriverConnection::NotificationsOff() {
  if (watchId != 0) {
    loop.Unwatch(watchId);
    watchId = 0;
  }
}

void CDriverConnection::ResetReceiver() {
  receiveState = RECV_IDLE;
  receiveCount = 0;
  replyHeader.length = 0;
  replyBody.clear();
  replyBody.shrink_to_fit();
}

void CDriverConnection::DropBuffered() {
  inboxPos = inboxEnd = 0;
}

long CDriverConnection::ReadSome(char* into, std::size_t want, int& error) {
  if (Buffered() > 0) {
    std::size_t n = std::min(want, Buffered());
    std::memcpy(into, inbox.get() + inboxPos, n);
    inboxPos += n;
    if (Buffered() == 0) {
      DropBuffered();
    }
    return static_cast<long>(n);
  }
  if (!mayRead) {
    // The step has had its read; a level-triggered loop comes back for more.
    error = EAGAIN;
    return -1;
  }
  for (;;) {
    ssize_t n = 0;
    if (readAhead && want < kReadAhead) {
      if (!inbox) {
        inbox = std::make_unique_for_overwrite<char[]>(kReadAhead);
      }
      n = ::recv(socketFd, inbox.get(), kReadAhead, 0);
      if (n > 0) {
        mayRead = false;
        inboxEnd = static_cast<std::size_t>(n);
        inboxPos = 0;
        return ReadSome(into, want, error);
      }
      DropBuffered();
    } else {
      n = ::recv(socketFd, into, want, 0);
      if (n > 0) {
        mayRead = false;
      }
    }
    if (n >= 0) {
      return static_cast<long>(n);
    }
    if (errno == EINTR) {
      continue;
    }
    error = errno;
    return (errno == EAGAIN || errno == EWOULDBLOCK) ? -1 : -2;
  }
}

void CDriverConnection::TraceReceived(const PacketHeader& header, const std::string& body) {
  if (trace != nullptr && trace->Active()) {
    trace->Record(CPacketTrace::Direction::Received, header, body, loop.NowMs());
  }
}

void CDriverConnection::EndOfStream() {
  ui.MessageBox("Driver has closed", "Socket Error", MsgButtons::Ok, MsgIcon::Error);
  ResetReceiver();
  PacketHeader closed;
  closed.type = MSG_STATUS;
  closed.param1 = STATUS_CLOSED;
  if (handlers.onReply) {
    handlers.onReply(closed, std::string());
  }
  // A closed stream stays readable: keeping the socket would repeat this
  // message for ever, whatever state the link was in.
  if (socketFd >= 0) {
    CloseSocket();
  }
}

// Returns true when the step must end (would block, error, end of stream).
bool CDriverConnection::ReceiveHeader() {
  receiveState = RECV_HEADER;
  while (receiveCount < static_cast<int>(PacketHeader::kSize)) {
    int error = 0;
    long n = ReadSome(reinterpret_cast<char*>(headerBytes) + receiveCount,
                      PacketHeader::kSize - static_cast<std::size_t>(receiveCount), error);
    if (n == -1) {
      return true;
    }
    if (n == -2) {
      ui.MessageBox("Database connection error.\nTamsel will close connection\n", kSocketCaption,
                    MsgButtons::Ok, MsgIcon::Error);
      if (handlers.onConnectionError) {
        handlers.onConnectionError();
      }
      return true;
    }
    if (n == 0) {
      EndOfStream();
      return true;
    }
    receiveCount += static_cast<int>(n);
  }
  replyHeader = PacketHeader::Unpack(headerBytes);
  receiveCount = 0;
  if (!replyHeader.LengthAcceptable()) {
    // A length no driver sends: the stream can't be trusted any more.
    ui.MessageBox("Database connection error.\nTamsel will close connection\n", kSocketCaption,
                  MsgButtons::Ok, MsgIcon::Error);
    ResetReceiver();
    if (handlers.onConnectionError) {
      handlers.onConnectionError();
    }
    return true;
  }
  if (replyHeader.length == 0) {
    receiveState = RECV_IDLE;
    PacketHeader header = replyHeader;
    TraceReceived(header, std::string());
    if (handlers.onReply) {
      handlers.onReply(header, std::string());
    }
    return false;
  }
  replyBody.assign(static_cast<std::size_t>(replyHeader.length), '\0');
  receiveState = RECV_BODY;
  return false;
}

bool CDriverConnection::ReceiveBody() {
  while (receiveCount < replyHeader.length) {
    int error = 0;
    long n = ReadSome(replyBody.data() + receiveCount,
                      static_cast<std::size_t>(replyHeader.length - receiveCount), error);
    if (n == -1) {
      return true;
    }
    if (n == -2) {
      ui.MessageBox(FormatText("Windows socket error %d: Couldn't Read Packet Data", error),
                    kSocketCaption, MsgButtons::Ok, MsgIcon::Error);
      if (handlers.onBodyReadError) {
        handlers.onBodyReadError();
      }
      return true;
    }
    if (n == 0) {
      EndOfStream();
      return true;
    }
    receiveCount += static_cast<int>(n);
  }
  PacketHeader header = replyHeader;
  std::string body;
  body.swap(replyBody);
  replyHeader.length = 0;
  receiveCount = 0;
  receiveState = RECV_IDLE;
  TraceReceived(header, body);
  if (handlers.onReply) {
    handlers.onReply(header, body);
  }
  return false;
}

namespace {

// Holds the trace's entries for one step, so they go out in one write.
class TraceHold {
 public:
  explicit TraceHold(CPacketTrace* trace) : trace(trace) {
    if (trace != nullptr) {
      trace->Hold();
    }
  }
  ~TraceHold() {
    if (trace != nullptr) {
      trace->Release();
    }
  }
  TraceHold(const TraceHold&) = delete;
  TraceHold& operator=(const TraceHold&) = delete;

 private:
  CPacketTrace* trace;
};

}  // namespace

void CDriverConnection::ReceiveStep() {
  TraceHold hold(trace);
  mayRead = true;
  do {
    ReceivePacket();
  } while (socketFd >= 0 && Buffered() > 0);
  mayRead = false;
}

void CDriverConnection::ReceivePacket() {
  if (socketFd < 0) {
    return;
  }
  if (receiveState == RECV_IDLE || receiveState == RECV_HEADER) {
    if (ReceiveHeader()) {
      return;
    }
    if (receiveState == RECV_IDLE) {
      return;  // a header-only packet
    }
  }
  if (receiveState == RECV_BODY) {
    ReceiveBody();
  }
}

bool CDriverConnection::WaitForReply(std::int64_t limitMs) {
  auto nowMs = [] {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
  };
  std::int64_t deadline = nowMs() + limitMs;
  if (receiveState == RECV_IDLE) {
    receiveState = RECV_HEADER;
  }
  while (socketFd >= 0 && receiveState != RECV_IDLE) {
    std::int64_t left = deadline - nowMs();
    if (left <= 0) {
      return false;
    }
    pollfd pfd{socketFd, POLLIN, 0};
    int ready = Buffered() > 0 ? 1 : poll(&pfd, 1, static_cast<int>(left > 1000 ? 1000 : left));
    if (ready > 0) {
      // Exactly this reply is read; what follows it stays in the socket for
      // the notifications.
      readAhead = false;
      mayRead = true;
      TraceHold hold(trace);
      ReceivePacket();
      mayRead = false;
      readAhead = true;
    } else if (ready < 0 && errno != EINTR) {
      return false;
    }
  }
  return true;
}

bool CDriverConnection::WaitReadable(int limitMs) const {
  if (socketFd < 0) {
    return false;
  }
  if (Buffered() > 0) {
    return true;
  }
  pollfd pfd{socketFd, POLLIN, 0};
  return poll(&pfd, 1, limitMs) > 0;
}

bool CDriverConnection::DataPending() const {
  if (socketFd < 0) {
    return false;
  }
  int available = 0;
  if (ioctl(socketFd, FIONREAD, &available) != 0) {
    return false;
  }
  return available > 0 || Buffered() > 0 || receiveState == RECV_BODY;
}

void CDriverConnection::AdoptSocket(int fd) {
  CloseSocket();
  DropBuffered();
  socketFd = fd;
  fcntl(socketFd, F_SETFL, fcntl(socketFd, F_GETFL) | O_NONBLOCK);
}
