#pragma once

#include <cstdint>
#include <deque>
#include <string>

// The replies of one connection on their way out: each waits its delay, is
// written in pieces of at most `splitWrites` bytes (one write per call to
// Flush), and the connection ends after `closeAfter` packets.
class CReplyQueue {
 public:
  struct Settings {
    int delayMs = 0;
    int splitWrites = 0;  // 0: whole packets
    int closeAfter = 0;   // 0: never
  };
  enum FlushResult { FLUSH_OK, FLUSH_CLOSE, FLUSH_ERROR };

  explicit CReplyQueue(const Settings& settings) : settings(settings) {}

  // `searchReply` marks what a cancelled search takes back.
  void Queue(std::string packet, bool searchReply, std::int64_t nowMs);
  // Drops the search replies that haven't started on the wire; true when
  // there were any.
  bool DropSearchReplies();
  FlushResult Flush(int fd, std::int64_t nowMs);

  bool Empty() const { return writing.empty() && waiting.empty(); }
  bool WantsWrite() const { return !writing.empty(); }
  // When the next waiting reply is due; -1 when none waits.
  std::int64_t NextDueMs() const;

 private:
  struct Waiting {
    std::string bytes;
    std::int64_t due;
    bool searchReply;
  };

  Settings settings;
  std::deque<Waiting> waiting;
  std::string writing;
  std::size_t written = 0;
  std::int64_t lastDue = 0;
  int packetsSent = 0;
};
