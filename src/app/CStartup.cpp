#include "app/CStartup.h"

#include "app/AppNames.h"
#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
#include "app/Ui.h"

CStartup::CStartup(CAppState& app, CSettingsStore& settings, Ui& ui)
    : app(app), settings(settings), ui(ui) {}

std::string CStartup::JoinCommandLine(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) {
      line += ' ';
    }
    line += argv[i];
  }
  return line;
}

void CStartup::Prepare(const CTempFiles::GetEnv& getEnv) {
  app.tempConfigCounter = 0;
  app.askForUrl = false;
  app.remoteOpenPending = false;
  app.tempDirectory = CTempFiles::ChooseTempDirectory(getEnv);
  app.privateDirectory = CTempFiles::CreatePrivateDirectory(app.tempDirectory);
  if (!app.privateDirectory.empty()) {
    CTempFiles::InstallExitCleanup(app.privateDirectory, &app.tempConfigCounter);
  }
  app.splashSuppressed = settings.ReadSettingInt(kSectionOptions, kEntrySplash, kDefaultSplash);
  app.kioskMode = settings.ReadSettingInt(kSectionOptions, kEntryKiosk, kDefaultKiosk);
}

StartOpen CStartup::FirstOpen(const std::string& commandLine) {
  if (commandLine.empty()) {
    app.remoteOpenPending = true;
    std::string recent = settings.ReadSettingText(kSectionMostRecentCommandLine, kEntryFile, "");
    return {StartOpenKind::RemoteDefault, recent.empty() ? kDefaultConfigName : recent};
  }
  // Only the whole word: on Linux a path such as /etc/db.tcf also begins with
  // "/e".
  if (commandLine.size() >= 2 && (commandLine[0] == '-' || commandLine[0] == '/') &&
      (commandLine[1] == 'e' || commandLine[1] == 'E') &&
      (commandLine.size() == 2 || commandLine[2] == ' ')) {
    return {StartOpenKind::Nothing, ""};
  }
  return {StartOpenKind::Path, commandLine};
}

SecondStartChoice CStartup::AskSecondStart(const std::string& commandLine, bool& handOverPath) {
  handOverPath = false;
  std::string text = std::string("WinTamsel is already running. \n\n") +
                     "Press 'Yes' to continue in a new window\n" +
                     "Press 'No' to continue in the existing window    \n" +
                     "Press 'Cancel' to discontinue this request\n";
  MsgAnswer answer =
      ui.MessageBox(text, "WinTamsel Alert", MsgButtons::YesNoCancel, MsgIcon::Question);
  if (answer == MsgAnswer::Yes) {
    return SecondStartChoice::NewInstance;
  }
  if (answer == MsgAnswer::No) {
    if (!commandLine.empty()) {
      settings.WriteSettingText(kSectionMostRecentCommandLine, kEntryFile, commandLine);
      handOverPath = true;
    }
    return SecondStartChoice::HandOver;
  }
  return SecondStartChoice::End;
}

std::string CStartup::TakeMostRecentCommandLine() {
  std::string path = settings.ReadSettingText(kSectionMostRecentCommandLine, kEntryFile, "");
  app.remoteOpenPending = false;
  app.askForUrl = false;
  return path;
}

void CStartup::Exit() {
  CTempFiles::UninstallExitCleanup();
  CTempFiles::RemovePrivateDirectory(app.privateDirectory, app.tempConfigCounter);
  app.privateDirectory.clear();
}
