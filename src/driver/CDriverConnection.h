#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "driver/PacketHeader.h"

class CPacketTrace;
class EventLoop;
class Ui;

// Receive states of the packet assembler.
enum ReceiveState { RECV_IDLE = 0, RECV_HEADER = 1, RECV_BODY = 2 };

// The TCP connection to one driver: opening it, sending request bytes, and
// assembling reply packets from the non-blocking stream one receive step at
// a time. Complete packets go to `onReply`.
class CDriverConnection {
 public:
  struct Handlers {
    // A complete reply (header in host order, exactly `length` body bytes).
    std::function<void(const PacketHeader&, const std::string&)> onReply;
    // A read error while reading a header, or a protocol error: the owner
    // cancels and disconnects.
    std::function<void()> onConnectionError;
    // A read error while reading a body: the owner cancels.
    std::function<void()> onBodyReadError;
  };

  CDriverConnection(Ui& ui, EventLoop& loop, Handlers handlers);
  ~CDriverConnection();
  CDriverConnection(const CDriverConnection&) = delete;
  CDriverConnection& operator=(const CDriverConnection&) = delete;

  // Resolves `host`, connects to `port`; 1 connected, 0 failed (message shown).
  int OpenSocket(const std::string& host, int port);
  void CloseSocket();
  // Takes over a descriptor that is already connected (tests, fuzzing).
  void AdoptSocket(int fd);
  bool HasSocket() const { return socketFd >= 0; }
  int SocketHandle() const { return socketFd; }

  // Sends all bytes; errors other than "not a socket" and "reset" are shown.
  void Send(const std::string& bytes);

  // Every packet sent and received is also written to `trace` while it is
  // active; null for none.
  void SetTrace(CPacketTrace* newTrace) { trace = newTrace; }

  // Readability notifications to ReceiveStep; false when they can't be had.
  bool NotificationsOn();
  void NotificationsOff();

  // Reads what is there; dispatches each packet as it completes. One read
  // from the socket at most, so a driver that never stops sending can't hold
  // the caller; every packet that read brought in is handled before the step
  // ends (the socket will not signal bytes already taken from it).
  void ReceiveStep();

  // Runs receive steps in place until one complete reply has been handled,
  // the connection is gone, or `limitMs` has passed (false then).
  bool WaitForReply(std::int64_t limitMs);

  // Waits at most `limitMs` for the socket to become readable; false when it
  // stayed quiet (or there is no socket).
  bool WaitReadable(int limitMs) const;

  // True when bytes of a reply are already here, waiting to be read.
  bool DataPending() const;

  // Back to idle, dropping a partial header or body.
  void ResetReceiver();

  int receiveState = RECV_IDLE;
  int receiveCount = 0;
  PacketHeader replyHeader;
  std::string replyBody;

 private:
  // One read; returns bytes read, 0 at end of stream, -1 would block, -2 error.
  // Bytes come from the read-ahead first; when it is empty and the step may
  // still read, one receive fills it.
  long ReadSome(char* into, std::size_t want, int& error);
  // Bytes read from the socket but not yet taken by the assembler.
  std::size_t Buffered() const { return inboxEnd - inboxPos; }
  void DropBuffered();
  // One packet's worth of the assembler.
  void ReceivePacket();
  bool ReceiveHeader();
  bool ReceiveBody();
  void EndOfStream();
  void TraceReceived(const PacketHeader& header, const std::string& body);

  Ui& ui;
  EventLoop& loop;
  Handlers handlers;
  CPacketTrace* trace = nullptr;
  int socketFd = -1;
  int watchId = 0;
  unsigned char headerBytes[PacketHeader::kSize] = {};
  // The read-ahead: one receive takes up to this many bytes, so a reply
  // usually arrives with a single system call.
  static constexpr std::size_t kReadAhead = 64 * 1024;
  // Allocated at the first read and kept: refilled, never cleared.
  std::unique_ptr<char[]> inbox;
  std::size_t inboxPos = 0;
  std::size_t inboxEnd = 0;
  // Whether the current step may still receive from the socket; waits in
  // place read exactly what the packet needs instead.
  bool mayRead = false;
  bool readAhead = true;
};
