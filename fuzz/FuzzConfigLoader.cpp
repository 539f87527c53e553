#include <cstddef>
#include <cstdint>
#include <string>

#include "SilentUi.h"
#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "config/CConfigFetcher.h"
#include "config/CConfigFile.h"
#include "config/CConfigLexer.h"
#include "config/CConfigLoader.h"
#include "config/CConfiguration.h"
#include "config/CKeywordTable.h"

// A top-level configuration of any shape: it loads or fails, and what it
// loads hangs together.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SilentUi ui;
  CAppState app;
  CSettingsStore settings("/nonexistent/Tamsel.conf");
  CConfiguration config;
  CConfigLexer lexer(ui);
  CConfigFetcher fetcher(app, ui);
  CConfigLoader loader(config, lexer, fetcher, app, settings, ui);
  lexer.BuildKeywordTable();
  auto file = CConfigFile::FromText(std::string(reinterpret_cast<const char*>(data), size));
  loader.ParseTopConfiguration(*file);
  for (const auto& [name, tag] : config.databaseTags) {
    if (config.databases.count(tag) == 0) {
      __builtin_trap();
    }
  }
  for (const auto& [tag, db] : config.databases) {
    if (db->rowCount > 6 || static_cast<size_t>(db->environmentLength) != db->environment.size()) {
      __builtin_trap();
    }
    for (const auto& field : db->searchFields) {
      if (field.listCount > 12 || static_cast<size_t>(field.listCount) != field.listNames.size()) {
        __builtin_trap();
      }
    }
  }
  return 0;
}
