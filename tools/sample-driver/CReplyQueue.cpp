#include "CReplyQueue.h"

#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

void CReplyQueue::Queue(std::string packet, bool searchReply, std::int64_t nowMs) {
  // Delays add up, so every reply of a request waits its own turn.
  std::int64_t due = std::max(nowMs, lastDue) + settings.delayMs;
  lastDue = due;
  waiting.push_back({std::move(packet), due, searchReply});
}

bool CReplyQueue::DropSearchReplies() {
  return std::erase_if(waiting, [](const Waiting& w) { return w.searchReply; }) > 0;
}

std::int64_t CReplyQueue::NextDueMs() const {
  return writing.empty() && !waiting.empty() ? waiting.front().due : -1;
}

CReplyQueue::FlushResult CReplyQueue::Flush(int fd, std::int64_t nowMs) {
  for (;;) {
    if (writing.empty()) {
      if (waiting.empty() || waiting.front().due > nowMs) {
        return FLUSH_OK;
      }
      writing = std::move(waiting.front().bytes);
      written = 0;
      waiting.pop_front();
    }
    std::size_t want = writing.size() - written;
    if (settings.splitWrites > 0) {
      want = std::min(want, static_cast<std::size_t>(settings.splitWrites));
    }
    ssize_t n = send(fd, writing.data() + written, want, MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return errno == EAGAIN || errno == EWOULDBLOCK ? FLUSH_OK : FLUSH_ERROR;
    }
    written += static_cast<std::size_t>(n);
    if (written == writing.size()) {
      writing.clear();
      written = 0;
      ++packetsSent;
      if (settings.closeAfter > 0 && packetsSent >= settings.closeAfter) {
        return FLUSH_CLOSE;
      }
    }
    if (settings.splitWrites > 0) {
      // One piece per turn of the loop, so the client sees them apart.
      return FLUSH_OK;
    }
  }
}
