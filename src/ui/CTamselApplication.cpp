#include "ui/CTamselApplication.h"

#include <QApplication>
#include <QMetaObject>
#include <cstdlib>

#include "app/FormatText.h"
#include "driver/CPacketTrace.h"
#include "ui/CMainWindow.h"
#include "ui/CSingleInstance.h"
#include "ui/CSplashWindow.h"

CTamselApplication* CTamselApplication::running = nullptr;

CTamselApplication::CTamselApplication() : CTamselApplication(Setup{}) {}

CTamselApplication::CTamselApplication(Setup setupIn)
    : setup(std::move(setupIn)),
      settings(setup.settingsPath),
      ui(setup.ui != nullptr ? *setup.ui : static_cast<Ui&>(qtUi)),
      startup(app, settings, ui),
      instance(std::make_unique<CSingleInstance>(
          setup.serverName.isEmpty() ? CSingleInstance::DefaultServerName() : setup.serverName)) {
  if (!setup.getEnv) {
    setup.getEnv = [](const char* name) -> const char* { return std::getenv(name); };
  }
}

CTamselApplication::~CTamselApplication() {
  Exit();
}

bool CTamselApplication::Start(const std::string& commandLine) {
  if (instance->FindRunning()) {
    bool handOverPath = false;
    switch (startup.AskSecondStart(commandLine, handOverPath)) {
      case SecondStartChoice::NewInstance:
        // Runs on its own; the running program keeps answering second starts.
        break;
      case SecondStartChoice::HandOver:
        instance->Tell(handOverPath ? CSingleInstance::kOpenLine : CSingleInstance::kRaiseLine);
        return false;
      case SecondStartChoice::End:
        return false;
    }
  } else {
    instance->Listen();
    QObject::connect(instance.get(), &CSingleInstance::RaiseRequested,
                     [this] { ui.BringToFront(); });
    QObject::connect(instance.get(), &CSingleInstance::OpenMostRecentRequested,
                     [this] { OpenMostRecentCommandLine(); });
  }

  startup.Prepare(setup.getEnv);
  started = true;
  if (running == nullptr) {
    running = this;
    static bool hooked = std::atexit(ExitAtProcessEnd) == 0;
    (void)hooked;
  }
  mainWindow = std::make_unique<CMainWindow>(app, settings, ui, loop);
  qtUi.SetMainWindow(mainWindow.get());
  // TAMSEL_TRACE=PATH traces every driver packet from the start.
  if (!CPacketTrace::StartFromEnvironment(app, loop.NowMs())) {
    ui.Message(FormatText("Couldn't open trace file %s", CPacketTrace::EnvironmentPath()));
  }
  // Shown before the splash window, which must stay on top of it, and before
  // the first open, so the window is up while a configuration is fetched.
  mainWindow->show();

  if (mainWindow->Model().SplashWanted()) {
    splash = std::make_unique<CSplashWindow>(mainWindow.get(), [this] { return loop.NowMs(); });
    splash->ShowSplash();
  }

  StartOpen open = startup.FirstOpen(commandLine);
  QMetaObject::invokeMethod(
      mainWindow.get(), [this, open] { OpenFirst(open); }, Qt::QueuedConnection);
  return true;
}

void CTamselApplication::OpenFirst(const StartOpen& open) {
  // A remote first open has `remoteOpenPending` set: the document fetches
  // the configuration (or says no default URL is set) instead of reading the file.
  if (open.kind != StartOpenKind::Nothing) {
    mainWindow->OpenDocument(open.path);
  }
}

void CTamselApplication::OpenMostRecentCommandLine() {
  if (mainWindow) {
    mainWindow->OpenDocument(startup.TakeMostRecentCommandLine());
  }
}

int CTamselApplication::Run() {
  int code = QApplication::exec();
  Exit();
  return code;
}

void CTamselApplication::Exit() {
  if (!started || exited) {
    return;
  }
  exited = true;
  if (running == this) {
    running = nullptr;
  }
  splash.reset();
  mainWindow.reset();
  startup.Exit();
}

void CTamselApplication::ExitAtProcessEnd() {
  // Qt calls exit() when the X server goes away. The windows cannot be
  // taken down any more then, but the temporary files still must go.
  if (running != nullptr && !running->exited) {
    running->exited = true;
    running->startup.Exit();
  }
  running = nullptr;
}
