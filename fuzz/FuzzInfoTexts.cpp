#include <cstddef>
#include <cstdint>
#include <string>

#include "config/CConfigFile.h"
#include "config/CInfoTexts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CInfoTexts texts;
  auto file = CConfigFile::FromText(std::string(reinterpret_cast<const char*>(data), size));
  texts.Parse(*file);
  for (const auto& [key, text] : texts.infoTexts) {
    // Every stored line ends with a line end.
    if (!text.empty() && text.back() != '\n') {
      __builtin_trap();
    }
  }
  return 0;
}
