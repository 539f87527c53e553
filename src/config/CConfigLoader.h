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
  bool ParseTopConfiguration(CConfigFile& file);
  bool ParseDatabaseSections(CConfigFile& file, std::string tag);
  void SelectDatabase(const std::string& name);
  void ReportLineError();

 private:
  bool PreOpen(const std::string& path, std::string& url);
  std::unique_ptr<CConfigFile> OpenRemote(std::string url);
  bool ParseMenuLine(int index, const std::string& value);
  bool ReadSelectedDatabaseFile(CConfigFile& file, const std::string& url);

  CConfiguration& config;
  CConfigLexer& lexer;
  CConfigFetcher& fetcher;
  CAppState& app;
  CSettingsStore& settings;
  Ui& ui;
};
