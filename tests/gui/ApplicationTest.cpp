#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>

#include "FakeUi.h"
#include "GuiTestRegistry.h"
#include "TempDir.h"
#include "app/SettingsNames.h"
#include "ui/CMainWindow.h"
#include "ui/CSingleInstance.h"
#include "ui/CSplashWindow.h"
#include "ui/CTamselApplication.h"

namespace {

// One program run: its own settings file, socket name, temporary directory
// and recording Ui.
struct Run {
  FakeUi ui;
  std::unique_ptr<CTamselApplication> tamsel;

  Run(const TempDir& dir, const QString& serverName) {
    std::string temp = dir.Path() + "/";
    CTamselApplication::Setup setup;
    setup.settingsPath = dir.File("Tamsel.conf");
    setup.serverName = serverName;
    setup.getEnv = [temp](const char* name) -> const char* {
      return std::string(name) == "TEMP" ? temp.c_str() : nullptr;
    };
    setup.ui = &ui;
    tamsel = std::make_unique<CTamselApplication>(setup);
  }
  int Documents() const { return tamsel->MainWindow()->MdiArea()->subWindowList().size(); }
};

const char* kNoDefaultUrl =
    "No default URL is set\nSet the default URL from the Options/Preferences menu";

}  // namespace

class ApplicationTest : public QObject {
  Q_OBJECT

  TempDir* dir = nullptr;
  QTemporaryDir* sockets = nullptr;
  QString serverName;
  int runNumber = 0;

  CSettingsStore Settings() const { return CSettingsStore(dir->File("Tamsel.conf")); }

 private slots:
  void init() {
    dir = new TempDir;
    sockets = new QTemporaryDir;
    serverName = sockets->filePath(QString("WinTamsel32-%1").arg(++runNumber));
  }
  void cleanup() {
    delete sockets;
    delete dir;
  }

  void StartWithoutDocument() {
    Run run(*dir, serverName);
    QVERIFY(run.tamsel->Start("-E"));
    CMainWindow* window = run.tamsel->MainWindow();
    QCOMPARE(window->windowTitle(), QString("Tamsel"));
    QVERIFY(window->isVisible());
    QVERIFY(window->acceptDrops());
    QVERIFY(run.tamsel->Instance().IsListening());
    // "Splash" is 0 when nothing is stored.
    CSplashWindow* splash = run.tamsel->SplashWindow();
    QVERIFY(splash != nullptr && splash->isVisible());
    QCOMPARE(splash->pos(), window->pos() + QPoint(120, 110));
    QTest::qWait(20);
    QCOMPARE(run.Documents(), 0);
    QVERIFY(run.ui.messages.empty());

    // The temporary directory goes at exit.
    std::string privateDir = run.tamsel->App().privateDirectory;
    QVERIFY(!privateDir.empty() && FileExists(privateDir));
    run.tamsel->Exit();
    QVERIFY(!FileExists(privateDir));
  }

  void SplashSettingOneShowsNone() {
    Settings().WriteSettingInt(kSectionOptions, kEntrySplash, 1);
    Run run(*dir, serverName);
    QVERIFY(run.tamsel->Start("/e"));
    QVERIFY(run.tamsel->SplashWindow() == nullptr);
  }

  void StartWithPathOpensIt() {
    std::string path = dir->Write("start.tcf", kMinimalConfig);
    Run run(*dir, serverName);
    QVERIFY(run.tamsel->Start(path));
    QTRY_COMPARE(run.Documents(), 1);
    QVERIFY(OnlyDriverMissing(run.ui));
  }

  void EmptyCommandLineWithoutDefaultUrl() {
    Run run(*dir, serverName);
    QVERIFY(run.tamsel->Start(""));
    QTRY_COMPARE(run.ui.messages.size(), size_t(1));
    QCOMPARE(run.ui.messages[0].text, std::string(kNoDefaultUrl));
    QCOMPARE(run.ui.messages[0].caption, std::string("Tamsel"));
    QCOMPARE(run.Documents(), 0);
    QVERIFY(!run.tamsel->App().remoteOpenPending);
  }

  void SecondStartAnsweredNoHandsThePathOver() {
    Run first(*dir, serverName);
    QVERIFY(first.tamsel->Start("-e"));
    std::string path = dir->Write("second.tcf", kMinimalConfig);

    Run second(*dir, serverName);
    second.ui.QueueAnswer(MsgAnswer::No);
    QVERIFY(!second.tamsel->Start(path));
    QVERIFY(second.tamsel->MainWindow() == nullptr);
    QCOMPARE(second.ui.messages.size(), size_t(1));
    QCOMPARE(second.ui.messages[0].caption, std::string("WinTamsel Alert"));
    QCOMPARE(second.ui.messages[0].buttons, MsgButtons::YesNoCancel);
    QCOMPARE(Settings().ReadSettingText(kSectionMostRecentCommandLine, kEntryFile, ""), path);

    QTRY_COMPARE(first.Documents(), 1);
    QVERIFY(first.ui.broughtToFront >= 1);
    QVERIFY(OnlyDriverMissing(first.ui));
  }

  void SecondStartAnsweredNoWithoutPathOnlyRaises() {
    Run first(*dir, serverName);
    QVERIFY(first.tamsel->Start("-e"));
    Run second(*dir, serverName);
    second.ui.QueueAnswer(MsgAnswer::No);
    QVERIFY(!second.tamsel->Start(""));
    QTRY_COMPARE(first.ui.broughtToFront, 1);
    QTest::qWait(50);
    QCOMPARE(first.Documents(), 0);
    QCOMPARE(Settings().ReadSettingText(kSectionMostRecentCommandLine, kEntryFile, "none"),
             std::string("none"));
  }

  void SecondStartAnsweredYesOrCancel() {
    Run first(*dir, serverName);
    QVERIFY(first.tamsel->Start("-e"));

    Run cancelled(*dir, serverName);
    cancelled.ui.QueueAnswer(MsgAnswer::Cancel);
    QVERIFY(!cancelled.tamsel->Start("-e"));
    QVERIFY(cancelled.tamsel->MainWindow() == nullptr);

    Run independent(*dir, serverName);
    independent.ui.QueueAnswer(MsgAnswer::Yes);
    QVERIFY(independent.tamsel->Start("-e"));
    QVERIFY(independent.tamsel->MainWindow() != nullptr);
    // The first program still answers later starts.
    QVERIFY(!independent.tamsel->Instance().IsListening());
    QVERIFY(first.tamsel->Instance().IsListening());
    independent.tamsel->Exit();

    QTest::qWait(50);
    QCOMPARE(first.ui.broughtToFront, 0);
  }
};

static GuiTestRegistry::Add<ApplicationTest> registerApplicationTest;

#include "ApplicationTest.moc"
