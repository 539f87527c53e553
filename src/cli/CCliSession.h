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
#include "app/Signal.h"
#include "cli/CArgScanner.h"
#include "cli/CCliUi.h"
#include "cli/CliCommand.h"

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
  // Commands typed on a terminal: an unknown one suggests the nearest name.
  void SetInteractive(bool on) { interactive = on; }
  CAppState& App() { return app; }
  CCliUi& UiPort() { return ui; }

  // The commands, for --help.
  static std::string HelpText();
  // The known command nearest to a mistyped `name`; empty when none is near.
  static std::string NearestCommand(const std::string& name);
  static const std::map<std::string, CliCommand>& Commands();

  // ---- for the command groups ----
  // An "error:" line; returns kCommandError.
  int Error(const std::string& text);
  // The command's usage line as an error.
  int Usage(const std::string& name);
  std::ostream& Out() { return out; }
  std::ostream& Err() { return err; }
  CSettingsStore& Settings() { return settings; }
  CPollEventLoop& Loop() { return loop; }
  // The current document; null when none is open.
  CTmsfrmDoc* Doc() { return doc.get(); }
  // Processes events until the link is idle or unconnected.
  void WaitForLink();
  // "N[,N...]" with ranges "N-M" into 0-based title indexes; false when bad.
  static bool ParseTitleList(const std::string& text, int count, std::vector<int>& indexes);
  // A 1-based number argument in 1..max; 0 when missing or out of range.
  static int NumberArg(const std::optional<std::string>& arg, int max);

 private:
  static CliCommandTable OwnCommands();

  int CmdAnswer(CArgScanner& args);
  int CmdGetSetting(CArgScanner& args);
  int CmdSetSetting(CArgScanner& args);
  int CmdLex(CArgScanner& args);
  int CmdStatus(CArgScanner& args);
  int CmdWait(CArgScanner& args);
  int CmdQuit(CArgScanner& args);
  int CmdHelp(CArgScanner& args);
  int CmdOpen(CArgScanner& args);
  int CmdOpenRemote(CArgScanner& args);
  int CmdClose(CArgScanner& args);
  int CmdCheck(CArgScanner& args);
  int CmdDatabases(CArgScanner& args);

  int CmdConnect(CArgScanner& args);
  int CmdDisconnect(CArgScanner& args);
  int CmdInfo(CArgScanner& args);
  int CmdEcho(CArgScanner& args);

  int CmdFields(CArgScanner& args);
  int CmdRow(CArgScanner& args);
  int CmdTerm(CArgScanner& args);
  int CmdFrom(CArgScanner& args);
  int CmdTo(CArgScanner& args);
  int CmdLimit(CArgScanner& args);
  int CmdClear(CArgScanner& args);
  int CmdClearAll(CArgScanner& args);
  int CmdSearch(CArgScanner& args);
  int RangeEnd(CArgScanner& args, const char* name, const char* endWord);
  int CmdTitles(CArgScanner& args);
  int CmdMore(CArgScanner& args);
  int CmdSelect(CArgScanner& args);
  int CmdFull(CArgScanner& args);
  int CmdSummaryText(CArgScanner& args);
  int CmdRecordText(CArgScanner& args);
  int CmdFind(CArgScanner& args);
  int CmdFindNext(CArgScanner& args);
  int CmdFormat(CArgScanner& args);
  int CmdSaveFormat(CArgScanner& args);
  int CmdHeader(CArgScanner& args);
  void PrintFound(std::size_t messagesBefore);

  // Opens a document as File > Open does and runs the first selection.
  int OpenDocument(const std::string& path);
  // Shows the document's busy window as "busy:" lines.
  void WatchDocument();
  // After a connect: also takes the replies that follow the driver's answer.
  void WaitForFollowUps();
  static constexpr int kFollowUpQuietMs = 100;
  static constexpr int kFollowUpSettledMs = 5;
  static constexpr int kFollowUpRounds = 50;

  std::ostream& out;
  std::ostream& err;
  CAppState app;
  CSettingsStore settings;
  CCliUi ui;
  CPollEventLoop loop;
  CStartup startup;
  std::unique_ptr<CTmsfrmDoc> doc;
  bool quitRequested = false;
  bool interactive = false;
  Connection statusLines;
  Connection settingsFailures;
  Connection busyLines;
  std::string lastStatusLine;
};
