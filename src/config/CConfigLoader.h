#pragma once

#include <memory>
#include <string>

class CAppState;
class CConfigFetcher;
class CConfigFile;
class CConfigLexer;
class CConfiguration;
class CSettingsStore;
class Ui;

// Reads configurations into a CConfiguration: the document open (local file,
// pointer file or URL), the top-level file with its menu part, the database
// sections, and the database files read when a database is selected.
class CConfigLoader {
 public:
  CConfigLoader(CConfiguration& config, CConfigLexer& lexer, CConfigFetcher& fetcher,
                CAppState& app, CSettingsStore& settings, Ui& ui);

  bool OpenDocumentConfig(const std::string& path);
  std::unique_ptr<CConfigFile> OpenConfigurationFile(const std::string& name);
  // A file that belongs to the local configuration (a database file, the
  // information file): looked for next to the configuration first, then in
  // the current directory. The same message as OpenConfigurationFile when
  // none can be opened.
  std::unique_ptr<CConfigFile> OpenCompanionFile(const std::string& name);
  bool ParseTopConfiguration(CConfigFile& file);
  bool ParseDatabaseSections(CConfigFile& file, std::string tag);
  void SelectDatabase(const std::string& name);
  void ReportLineError();

 private:
  bool PreOpen(const std::string& path, std::string& url);
  std::unique_ptr<CConfigFile> OpenRemote(std::string url);
  std::unique_ptr<CConfigFile> FetchTopConfiguration(const std::string& url);
  bool ParseMenuLine(int index, const std::string& value);
  bool ReadStoppedShort(const CConfigFile& file);
  bool ReadSelectedDatabaseFile(CConfigFile& file, const std::string& url);

  // Submenus deeper than this are refused: every level indents every line
  // below it, so unbounded nesting makes the menu's output quadratic.
  static constexpr int kMaxMenuDepth = 64;

  CConfiguration& config;
  CConfigLexer& lexer;
  CConfigFetcher& fetcher;
  CAppState& app;
  CSettingsStore& settings;
  Ui& ui;
  int menuDepth = 0;
  // The line of the first `item` whose tag could not name a database file.
  int firstBadTagLine = 0;
};
