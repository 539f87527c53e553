#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "driver/PacketHeader.h"

// Cuts the byte stream of one connection into requests. It knows the two
// empty counted blocks that travel as one zero byte `length` leaves out: the
// environment block of an open request, and the field list of a full-record
// request once the client has a field list.
class CRequestFramer {
 public:
  static constexpr std::int32_t kMaxBody = 1024 * 1024;

  struct Request {
    PacketHeader header;
    std::string body;
  };

  void Append(const char* bytes, std::size_t count) { input.append(bytes, count); }
  // Moves the complete requests into the queue; a cancel request calls
  // `onCancel` instead. False on bytes no client sends.
  bool Frame(bool fieldListSent, const std::function<void()>& onCancel);

  bool Empty() const { return requests.empty(); }
  Request Pop();
  // Drops queued search requests; true when there were any.
  bool DropSearches();
  void Clear();
  // Bytes held: unframed input and queued bodies.
  std::size_t Held() const { return input.size() + queuedBytes; }

 private:
  std::string input;
  std::deque<Request> requests;
  std::size_t queuedBytes = 0;
  int pendingOpens = 0;  // queued open requests and information answers
};
