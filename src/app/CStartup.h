#pragma once

#include <string>

#include "platform/CTempFiles.h"

class CAppState;
class CSettingsStore;
class Ui;

// What the first open of a start does.
enum class StartOpenKind {
  RemoteDefault,  // fetch from the default configuration URL
  Nothing,        // "-e": start with no document
  Path            // open this configuration file
};

struct StartOpen {
  StartOpenKind kind;
  std::string path;
};

// The answer to the "already running" question.
enum class SecondStartChoice {
  NewInstance,  // Yes: go on as an independent instance
  HandOver,     // No: raise the running program (and let it open our path)
  End           // Cancel
};

// Start-up and exit rules of the program, shared by the GUI and the CLI.
class CStartup {
 public:
  CStartup(CAppState& app, CSettingsStore& settings, Ui& ui);

  // The text after the program name: the arguments joined by blanks.
  static std::string JoinCommandLine(int argc, char** argv);

  // Resets the open flags and the copy counter, chooses the temporary
  // directory, creates the private directory, arranges its removal on
  // SIGTERM/SIGINT/SIGHUP and reads the "Splash" and "Kiosk" switches.
  void Prepare(const CTempFiles::GetEnv& getEnv);

  // Decides the first open from the command line. An empty one sets
  // `remoteOpenPending` and names the most recent command line, or
  // "config.tcf" when none is stored.
  StartOpen FirstOpen(const std::string& commandLine);

  // Asks the "WinTamsel Alert" question. On No the command line, when not
  // empty, is stored as the most recent command line; `handOverPath` tells
  // the caller whether the running program must be told to open it.
  SecondStartChoice AskSecondStart(const std::string& commandLine, bool& handOverPath);

  // The running program's side of a hand-over: the path to open, with the
  // remote-open flags cleared.
  std::string TakeMostRecentCommandLine();

  // Deletes every configuration copy and the private directory.
  void Exit();

 private:
  CAppState& app;
  CSettingsStore& settings;
  Ui& ui;
};
