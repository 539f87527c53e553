#include "output/CSmtpReplyReader.h"

#include <cctype>

namespace {

bool IsDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

bool CSmtpReplyReader::IsComplete(std::string_view text) {
  if (text.size() < 2 || text.substr(text.size() - 2) != "\r\n") {
    return false;
  }
  std::string_view body = text.substr(0, text.size() - 2);
  std::size_t lineStart = body.rfind('\n');
  std::string_view lastLine =
      lineStart == std::string_view::npos ? body : body.substr(lineStart + 1);
  bool hasCode =
      lastLine.size() >= 3 && IsDigit(lastLine[0]) && IsDigit(lastLine[1]) && IsDigit(lastLine[2]);
  if (hasCode && lastLine.size() > 3 && lastLine[3] == '-') {
    return false;  // more lines of this reply follow
  }
  bool finalLine = hasCode && (lastLine.size() == 3 || lastLine[3] == ' ');
  return finalLine || text.size() >= 10;
}

CSmtpReplyReader::Result CSmtpReplyReader::Feed(std::string_view bytes) {
  buffer.append(bytes);
  if (IsComplete(buffer)) {
    Deliver();
    return Result::Complete;
  }
  if (buffer.size() > kMaxBuffered) {
    buffer.clear();
    return Result::Overflow;
  }
  return Result::Incomplete;
}

bool CSmtpReplyReader::DeliverPending() {
  if (buffer.empty()) {
    return false;
  }
  Deliver();
  return true;
}

void CSmtpReplyReader::Deliver() {
  replyText = buffer.substr(0, kMaxReplyText);
  // The reply is text: a zero byte would end it early anywhere it is shown.
  replyText = replyText.substr(0, replyText.find('\0'));
  buffer.clear();
}
