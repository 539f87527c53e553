#include <cstddef>
#include <cstdint>
#include <string>

#include "SilentUi.h"
#include "config/CConfigFile.h"
#include "config/CConfigLexer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SilentUi ui;
  CConfigLexer lexer(ui);
  auto file = CConfigFile::FromText(std::string(reinterpret_cast<const char*>(data), size));
  std::string value;
  std::string keyword;
  int index;
  while ((index = lexer.ReadKeywordLine(*file, value, keyword)) != kKeywordEndOfFile) {
    // Every result must be a table index or the unknown marker.
    if (index < 0 || (index >= kKeywordCount && index != kKeywordUnknown)) {
      __builtin_trap();
    }
  }
  if (lexer.configLineNumber < 1) {
    __builtin_trap();
  }
  return 0;
}
