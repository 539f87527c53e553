#pragma once

#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/CAppState.h"
#include "app/CPollEventLoop.h"
#include "app/CSettingsStore.h"
#include "app/CStartup.h"
#include "cli/CArgScanner.h"
#include "cli/CCliUi.h"

class CTmsfrmDoc;

// One run of the command-line client: the application state, the settings,
// the Ui and event loop ports, the current document, and the commands.
// Tests create sessions in-process with their own streams.
class CCliSession {
 public:
  using Ask = std::function<std::optional<std::string>(const std::string&)>;

  CCliSession(std::ostream& out, std::ostream& err, Ask ask = {});
  ~CCliSession();

  // Runs one command line; returns 0, or 1 when the command was unknown or
  // its arguments were wrong (an "error:" line has been written).
  int Execute(const std::string& line);

  // Opens the configuration named on the invocation's command line.
  int OpenStartConfiguration(const std::string& path);

  bool QuitRequested() const { return quitRequested; }
  CAppState& App() { return app; }
  CCliUi& UiPort() { return ui; }

  // The commands, for --help.
  static std::string HelpText();

 private:
  using Handler = int (CCliSession::*)(CArgScanner& args);
  struct Command {
    Handler handler;
    const char* usage;
    const char* summary;
  };
  static const std::map<std::string, Command>& Commands();

  int Error(const std::string& text);
  int Usage(const std::string& name);

  int CmdAnswer(CArgScanner& args);
  int CmdGetSetting(CArgScanner& args);
  int CmdSetSetting(CArgScanner& args);
  int CmdLex(CArgScanner& args);
  int CmdStatus(CArgScanner& args);
  int CmdWait(CArgScanner& args);
  int CmdQuit(CArgScanner& args);
  int CmdOpen(CArgScanner& args);
  int CmdOpenRemote(CArgScanner& args);
  int CmdClose(CArgScanner& args);
  int CmdCheck(CArgScanner& args);
  int CmdDatabases(CArgScanner& args);

  int CmdConnect(CArgScanner& args);
  int CmdDisconnect(CArgScanner& args);
  int CmdInfo(CArgScanner& args);
  int CmdEcho(CArgScanner& args);

  // Opens a document as File > Open does and runs the first selection.
  int OpenDocument(const std::string& path);
  // Shows the document's busy window as "busy:" lines.
  void WatchDocument();
  // Processes events until the link is idle or unconnected (the busy
  // window's limit ends every wait).
  void WaitForLink();

  std::ostream& out;
  std::ostream& err;
  CAppState app;
  CSettingsStore settings;
  CCliUi ui;
  CPollEventLoop loop;
  CStartup startup;
  std::unique_ptr<CTmsfrmDoc> doc;
  bool quitRequested = false;
  int statusObserver = 0;
};
