#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Collects the bytes of one SMTP reply as they arrive and says when the reply
// is complete. A reply is complete when it ends with CR LF and either is at
// least 10 bytes long or ends in a final reply line ("250 OK", "220"), as long
// as its last line is not a continuation line ("250-..."). The short final
// lines matter: many servers answer MAIL and RCPT with the 8 bytes
// "250 OK\r\n", which a length rule alone would leave waiting forever.
class CSmtpReplyReader {
 public:
  // The text kept of a complete reply; the rest of a longer one is dropped.
  static constexpr std::size_t kMaxReplyText = 255;
  // A server that never ends its reply is cut off here.
  static constexpr std::size_t kMaxBuffered = 64 * 1024;

  enum class Result { Incomplete, Complete, Overflow };

  // Adds received bytes; on Complete the reply is in ReplyText() and the
  // buffer is empty again.
  Result Feed(std::string_view bytes);
  // The connection ended: whatever was collected counts as the reply.
  // False when nothing was collected.
  bool DeliverPending();

  bool HasPending() const { return !buffer.empty(); }
  const std::string& ReplyText() const { return replyText; }

  static bool IsComplete(std::string_view buffer);

 private:
  void Deliver();

  std::string buffer;
  std::string replyText;
};
