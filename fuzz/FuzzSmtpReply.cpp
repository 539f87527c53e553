// Feeds arbitrary bytes, in pieces the input itself chooses, to the SMTP
// reply reader: it must never crash, hold more than its limit, or keep more
// of a reply than fits the reply text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "output/CSmtpReplyReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CSmtpReplyReader reader;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  while (!input.empty()) {
    // The first byte of each piece says how long the piece is.
    std::size_t length = static_cast<unsigned char>(input[0]) % 64 + 1;
    input.remove_prefix(1);
    std::string_view piece = input.substr(0, length);
    input.remove_prefix(piece.size());
    if (reader.Feed(piece) == CSmtpReplyReader::Result::Complete &&
        (reader.ReplyText().size() > CSmtpReplyReader::kMaxReplyText || reader.HasPending())) {
      std::abort();
    }
  }
  reader.DeliverPending();
  if (reader.HasPending()) {
    std::abort();
  }
  return 0;
}
