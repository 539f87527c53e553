#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "app/Ui.h"
#include "config/CConfigFile.h"
#include "config/CConfigLexer.h"

namespace {

// Unknown keywords are common in random input; their messages go nowhere.
class SilentUi : public Ui {
 public:
  MsgAnswer MessageBox(const std::string&, const std::string&, MsgButtons, MsgIcon) override {
    return MsgAnswer::Ok;
  }
  bool RunDialog(CDialogModel&) override { return false; }
  std::optional<std::string> ChooseFile(const FileChooserRequest&) override { return std::nullopt; }
  void SetClipboardText(const std::string&) override {}
  void BringToFront() override {}
};

}  // namespace

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
