#pragma once

#include <QString>
#include <memory>
#include <string>

#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "app/CStartup.h"
#include "platform/CTempFiles.h"
#include "ui/CQtEventLoop.h"
#include "ui/CQtUi.h"

class CMainWindow;
class CSingleInstance;
class CSplashWindow;

// The GUI program: start-up in the order CStartup lays down, the main
// window, the splash window, the running-program hand-over and exit.
// Needs a QApplication.
class CTamselApplication {
 public:
  // What a run depends on from outside; tests give their own.
  struct Setup {
    std::string settingsPath = CSettingsStore::DefaultPath();
    QString serverName;         // empty: CSingleInstance::DefaultServerName()
    CTempFiles::GetEnv getEnv;  // empty: the process environment
    Ui* ui = nullptr;           // empty: real Qt windows
  };

  CTamselApplication();
  explicit CTamselApplication(Setup setup);
  ~CTamselApplication();

  // False when the program must end at once: the running program took over,
  // or the user cancelled the second start.
  bool Start(const std::string& commandLine);
  // Runs the event loop, then exits.
  int Run();
  // Removes the temporary files; runs once.
  void Exit();

  CMainWindow* MainWindow() const { return mainWindow.get(); }
  CSplashWindow* SplashWindow() const { return splash.get(); }
  CSingleInstance& Instance() const { return *instance; }
  CAppState& App() { return app; }

 private:
  void OpenFirst(const StartOpen& open);
  void OpenMostRecentCommandLine();
  static void ExitAtProcessEnd();

  // The first started application, for ExitAtProcessEnd.
  static CTamselApplication* running;

  Setup setup;
  CAppState app;
  CSettingsStore settings;
  CQtUi qtUi;
  Ui& ui;
  CQtEventLoop loop;
  CStartup startup;
  std::unique_ptr<CSingleInstance> instance;
  // Declared after everything the documents use, and the splash window (a
  // child of the main window) after the main window, so they go first.
  std::unique_ptr<CMainWindow> mainWindow;
  std::unique_ptr<CSplashWindow> splash;
  bool started = false;
  bool exited = false;
};
