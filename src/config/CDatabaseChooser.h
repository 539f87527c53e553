#pragma once

#include <functional>
#include <string>

class CConfigFetcher;
class CConfigLexer;
class CConfigLoader;
class CConfiguration;
class CInfoTexts;
class CSettingsStore;
class Ui;

// Choosing the database to connect to: the "&Connect to Database..." command
// and the first choice made after a configuration is opened. Connecting is
// the caller's: it is handed the chosen name.
class CDatabaseChooser {
 public:
  using ConnectFunction = std::function<void(const std::string& name)>;
  using NameFunction = std::function<std::string()>;

  CDatabaseChooser(CConfiguration& config, CInfoTexts& infoTexts, CConfigLoader& loader,
                   CConfigFetcher& fetcher, CConfigLexer& lexer, CSettingsStore& settings, Ui& ui,
                   ConnectFunction connect);

  // The name of the database the view is connected to ("" for none); without
  // it the view counts as unconnected.
  NameFunction connectedName;

  // "&Connect to Database...". False when the dialog was cancelled or closed
  // without a name: the caller then only refreshes its Basic Mode page.
  bool ConnectToDatabaseCommand();

  // Right after an open: the configuration's default database, else its only
  // database, else the dialog.
  void FirstSelection();

 private:
  CConfiguration& config;
  CInfoTexts& infoTexts;
  CConfigLoader& loader;
  CConfigFetcher& fetcher;
  CConfigLexer& lexer;
  CSettingsStore& settings;
  Ui& ui;
  ConnectFunction connect;
};
