#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "search/CBrowseReply.h"

// The input is a header body and an entries body separated by the first NUL
// byte (the header of a real list keeps the entries reader reachable).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t split = input.find('\0');
  std::string_view headerBody = input.substr(0, split);
  std::string_view entriesBody =
      split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

  CBrowseReply::Header header;
  if (CBrowseReply::ReadHeader(headerBody, header) != CBrowseReply::Result::Ok) {
    header.total = 1000;
    header.linesPerEntry = 2;
    header.columns = {{"Name", 5, 2, true, true, true}, {"Count", 0, 1, false, true, false}};
    header.displayOrder = {1, 0};
  }
  if (header.columns.empty() || header.columns.size() > CBrowseReply::kMaxColumns ||
      header.displayOrder.size() > header.columns.size()) {
    __builtin_trap();
  }
  header.HeadingLine();
  int first = size > 0 ? data[0] : 0;
  std::vector<CBrowseReply::Entry> entries;
  if (CBrowseReply::ReadEntries(entriesBody, header, first, 30, entries) ==
      CBrowseReply::Result::Ok) {
    // Every entry read lies inside the list.
    if (entries.size() > 30 ||
        (!entries.empty() &&
         static_cast<std::int64_t>(first) + static_cast<std::int64_t>(entries.size()) >
             header.total)) {
      __builtin_trap();
    }
    for (const auto& entry : entries) {
      if (entry.pick.size() > CBrowseReply::kMaxFieldValue) {
        __builtin_trap();
      }
    }
  }
  return 0;
}
