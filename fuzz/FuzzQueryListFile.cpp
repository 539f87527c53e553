#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "search/CQueryList.h"
#include "search/CQueryListFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto parsed = CQueryListFile::Parse(text);
  if (!parsed.recognised && (!parsed.records.empty() || parsed.truncated)) {
    __builtin_trap();
  }
  CQueryList list;
  for (auto& record : parsed.records) {
    list.AddLoaded(std::move(record));
  }
  // What was read must write and read back unchanged.
  std::string written = CQueryListFile::Format(list);
  auto again = CQueryListFile::Parse(written);
  if (!again.recognised || again.truncated || again.records.size() != list.Count()) {
    __builtin_trap();
  }
  CQueryList reread;
  for (auto& record : again.records) {
    reread.AddLoaded(std::move(record));
  }
  if (CQueryListFile::Format(reread) != written) {
    __builtin_trap();
  }
  return 0;
}
