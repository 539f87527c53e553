#pragma once

#include <memory>
#include <string>

class CAppState;
class CConfigFile;
class CConfigLexer;
class Ui;

// Where "Open Remote..." looks when no default URL is stored.
inline constexpr const char* kBuiltinDefaultConfigUrl =
    "http://config.tamsel.org/tamsel-config/db-config.win/db.conf";

// Copies a configuration from a web server into the next temporary copy
// (config<n>.TCF in the private directory) and opens the copy for the
// configuration reader. The transfer blocks the calling thread, but within
// the connect and transfer limits, so a dead server cannot hang the program.
class CConfigFetcher {
 public:
  CConfigFetcher(CAppState& app, Ui& ui);

  // The open copy, or none after a message box naming the url. Line errors
  // name the copy: the lexer's file name is set to it (and cleared again when
  // the fetch gives its number back). `remoteConfig` is set on success only.
  std::unique_ptr<CConfigFile> FetchConfigurationUrl(const std::string& url, CConfigLexer& lexer,
                                                     bool& remoteConfig);

  int connectTimeoutMs = 15000;
  int transferTimeoutMs = 60000;
  // A configuration is text of a few kilobytes; anything near this is not one.
  static constexpr long long kMaxBodyBytes = 64LL * 1024 * 1024;

 private:
  std::unique_ptr<CConfigFile> GiveUp(const std::string& url, const char* caption,
                                      const std::string& path, CConfigLexer& lexer);

  CAppState& app;
  Ui& ui;
};
