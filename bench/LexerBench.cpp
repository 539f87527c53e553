#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

#include "app/Ui.h"
#include "config/CConfigFile.h"
#include "config/CConfigLexer.h"

namespace {

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

// A large single-file configuration: many database sections of typical lines,
// with comments and blank lines between them.
std::string MakeConfiguration(int lineCount) {
  static const char* const kSection[] = {
      "db_tag = db%d",
      "db_name = Database number %d",
      "driver = socket:driver.example.org:2100",
      "# search fields",
      "t_field_name = Title words",
      "t_field_cmd = TI",
      "list_name = Title index",
      "",
      "t_field_name = Year",
      "t_range_type = YEAR",
      "t_year_range = 1950-2030",
      "  dflt_at = 2  \r",
  };
  std::string text = "conf_version = 1.1\n";
  char line[128];
  for (int i = 1; i < lineCount; ++i) {
    std::snprintf(line, sizeof line, kSection[i % std::size(kSection)], i);
    text += line;
    text += '\n';
  }
  return text;
}

void LexAll(CConfigLexer& lexer, CConfigFile& file) {
  lexer.configLineNumber = 0;
  std::string value;
  std::string keyword;
  while (lexer.ReadKeywordLine(file, value, keyword) != kKeywordEndOfFile) {
    benchmark::DoNotOptimize(value.data());
  }
}

void SetCounts(benchmark::State& state, const std::string& text) {
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

// A fetched configuration: the text is already in memory.
void BM_LexConfigurationText(benchmark::State& state) {
  const std::string text = MakeConfiguration(static_cast<int>(state.range(0)));
  SilentUi ui;
  CConfigLexer lexer(ui);
  for (auto _ : state) {
    LexAll(lexer, *CConfigFile::FromText(text));
  }
  SetCounts(state, text);
}

// A local configuration, read through the file in chunks.
void BM_LexConfigurationFile(benchmark::State& state) {
  const std::string text = MakeConfiguration(static_cast<int>(state.range(0)));
  char path[] = "/tmp/tamsel-bench-XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    state.SkipWithError("cannot write the configuration file");
    return;
  }
  close(fd);
  SilentUi ui;
  CConfigLexer lexer(ui);
  for (auto _ : state) {
    LexAll(lexer, *CConfigFile::Open(path));
  }
  unlink(path);
  SetCounts(state, text);
}

BENCHMARK(BM_LexConfigurationText)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LexConfigurationFile)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
