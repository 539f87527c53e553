#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

#include "FakeUi.h"
#include "GuiTestRegistry.h"
#include "TempDir.h"
#include "app/CAppState.h"
#include "app/CPollEventLoop.h"
#include "app/CSettingsStore.h"
#include "app/CommandIds.h"
#include "app/SettingsNames.h"
#include "ui/CHelpWindow.h"
#include "ui/CMainWindow.h"

namespace {

// A main window over settings, state and a recording Ui of its own.
struct Frame {
  TempDir dir;
  CAppState app;
  CSettingsStore settings{dir.File("Tamsel.conf")};
  FakeUi ui;
  CPollEventLoop loop;
  std::unique_ptr<CMainWindow> window;

  void Create() { window = std::make_unique<CMainWindow>(app, settings, ui, loop); }
  QList<QMdiSubWindow*> Documents() const { return window->MdiArea()->subWindowList(); }
  void Drop(const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &drop);
  }
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void TitleMenuAndShortcuts() {
    Frame f;
    f.Create();
    QCOMPARE(f.window->windowTitle(), QString("Tamsel"));
    // Without a document: the frame's own menus only.
    auto visibleMenus = [&f] {
      QStringList titles;
      for (QAction* action : f.window->menuBar()->actions()) {
        if (action->isVisible() && action->menu() != nullptr) {
          titles << action->menu()->title();
        }
      }
      return titles;
    };
    QCOMPARE(visibleMenus(), QStringList({"&File", "&View", "&Options", "&Help"}));
    auto texts = [](QMenu* menu) {
      QStringList texts;
      for (QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
          texts << action->text();
        }
      }
      return texts;
    };
    QCOMPARE(texts(f.window->FrameMenus()[0]),
             QStringList(
                 {"&Open Local ...\tCtrl+O", "Open Remote...", "P&rint Setup...", "E&xit\tAlt+X"}));
    QCOMPARE(texts(f.window->FrameMenus()[2]),
             QStringList({"Save Window Position", "&Preferences", "Packet Trace..."}));
    QCOMPARE(texts(f.window->FrameMenus()[2]->actions()[1]->menu()),
             QStringList(
                 {"Default Mailhost", "Default Configuration URL ", "Web Browser", "Splash On"}));
    QCOMPARE(texts(f.window->DocumentMenus()[3]),
             QStringList({"&Connect to Database...", "&Disconnect from Database...",
                          "About the &Database", "Driver &Echo\tCtrl+E"}));
    // The keys are the frame's shortcut table, not the actions': Ctrl+O is
    // only shown next to Open Local and opens the remote dialog.
    QVERIFY(f.window->OpenLocalAction()->shortcut().isEmpty());
    QVERIFY(f.window->OpenRemoteAction()->shortcut().isEmpty());
    QStringList keys;
    for (QShortcut* shortcut : f.window->findChildren<QShortcut*>()) {
      keys << shortcut->key().toString();
    }
    for (const char* key : {"Ctrl+O", "Alt+X", "Ctrl+Q", "Ctrl+E", "F1", "Shift+F1"}) {
      QVERIFY2(keys.contains(key), key);
    }
    // Status bar prompts and toolbar tips.
    QCOMPARE(f.window->OpenRemoteAction()->statusTip(), QString("Open remote configuration file"));
    QCOMPARE(f.window->OpenRemoteAction()->toolTip(), QString("Open remote config"));
    QCOMPARE(f.window->ConnectAction()->statusTip(),
             QString("Opens a dialog for selecting a database"));
    QCOMPARE(f.window->ConnectAction()->toolTip(), QString("Open Database"));
    QList<QAction*> tools = f.window->ToolBar()->actions();
    QCOMPARE(tools.size(), 17);
    QCOMPARE(tools[0], f.window->OpenRemoteAction());
    QCOMPARE(tools[3], f.window->ExitAction());
    QVERIFY(tools[4]->isSeparator());
    QCOMPARE(tools[9], f.window->ConnectAction());
    QCOMPARE(tools[16]->toolTip(), QString("Help"));
    QCOMPARE(f.window->ToolBar()->allowedAreas(), Qt::AllToolBarAreas);
    // Without a document there is nothing to connect.
    for (QAction* action : {f.window->ConnectAction(), f.window->DisconnectAction(),
                            f.window->AboutDatabaseAction(), f.window->EchoAction()}) {
      QVERIFY(!action->isEnabled());
    }
    QVERIFY(f.window->minimumWidth() > 0 && f.window->minimumHeight() > 0);
  }

  // Options > Packet Trace...: a chosen file traces, with a check mark, until
  // the item is chosen again; a file that cannot be opened is said so.
  void PacketTraceItem() {
    Frame f;
    f.Create();
    std::string path = f.dir.File("trace.txt");
    f.ui.QueueFile(path);
    f.window->RunCommand(kCmdPacketTrace);
    QVERIFY(f.window->CommandChecked(kCmdPacketTrace));
    QCOMPARE(QString::fromStdString(ReadWholeFile(path)), QString("# trace started\n"));
    f.window->RunCommand(kCmdPacketTrace);
    QVERIFY(!f.window->CommandChecked(kCmdPacketTrace));

    f.ui.QueueFile(f.dir.Path());
    f.window->RunCommand(kCmdPacketTrace);
    QVERIFY(!f.window->CommandChecked(kCmdPacketTrace));
    QCOMPARE(f.ui.Texts().back(), "Couldn't open trace file " + f.dir.Path());
  }

  void ExitClosesTheFrame() {
    Frame f;
    f.Create();
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    f.window->ExitAction()->trigger();
    QVERIFY(!f.window->isVisible());
  }

  void StatusPaneFollowsStatusMessage() {
    Frame f;
    f.app.SetStatusMessage("Before the window");
    f.Create();
    QCOMPARE(f.window->MessagePane()->text(), QString("Before the window"));
    f.app.SetStatusMessage("Window Position Saved");
    QCOMPARE(f.window->MessagePane()->text(), QString("Window Position Saved"));
    f.app.SetStatusMessage("");
    QCOMPARE(f.window->MessagePane()->text(), QString("  "));
    // The pane is wide enough for its sizing text.
    QLabel* pane = f.window->MessagePane();
    int narrowest = pane->width();
    QVERIFY(narrowest >= pane->fontMetrics().horizontalAdvance("Somewhat Longer Result"));
    // A longer message widens it, whole; the pane narrows again after it,
    // also when the same long message comes back.
    QString longer = "A status message much longer than the pane's sizing text";
    for (int round = 0; round < 2; ++round) {
      f.app.SetStatusMessage(longer.toStdString());
      QVERIFY(pane->width() >= pane->fontMetrics().horizontalAdvance(longer));
      f.app.SetStatusMessage("Ready");
      QCOMPARE(pane->width(), narrowest);
    }
    // A larger font measures the messages anew.
    QFont larger = pane->font();
    larger.setPointSizeF(larger.pointSizeF() * 2);
    f.window->setFont(larger);
    f.app.SetStatusMessage(longer.toStdString());
    QVERIFY(pane->width() >= pane->fontMetrics().horizontalAdvance(longer));
    // A destroyed window no longer listens.
    f.window.reset();
    f.app.SetStatusMessage("after");
  }

  void PlacementFromSettings_data() {
    QTest::addColumn<QList<int>>("stored");  // x, y, width, height; -1: not stored
    QTest::addColumn<int>("screenWidth");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("nothing stored, wide screen")
        << QList<int>{-1, -1, -1, -1} << 1024 << QRect(0, 0, 740, 550);
    QTest::newRow("nothing stored, 640 screen")
        << QList<int>{-1, -1, -1, -1} << 640 << QRect(0, 0, 600, 400);
    QTest::newRow("stored rectangle")
        << QList<int>{30, 40, 700, 500} << 1024 << QRect(30, 40, 700, 500);
    QTest::newRow("width 0 ignores stored height")
        << QList<int>{5, 6, 0, 480} << 1024 << QRect(5, 6, 740, 550);
    QTest::newRow("only height stored")
        << QList<int>{-1, -1, -1, 480} << 1024 << QRect(0, 0, 740, 550);
    QTest::newRow("small screen takes stored height")
        << QList<int>{-1, -1, -1, 450} << 640 << QRect(0, 0, 600, 450);
    QTest::newRow("small screen, stored width 0")
        << QList<int>{-1, -1, 0, 0} << 640 << QRect(0, 0, 600, 400);
  }

  void PlacementFromSettings() {
    QFETCH(QList<int>, stored);
    QFETCH(int, screenWidth);
    QFETCH(QRect, expected);
    Frame f;
    const char* entries[] = {kEntryX, kEntryY, kEntryWidth, kEntryHeight};
    for (int i = 0; i < 4; ++i) {
      if (stored[i] >= 0) {
        f.settings.WriteSettingInt(kSectionWindowPosition, entries[i], stored[i]);
      }
    }
    f.Create();
    f.window->setMinimumSize(0, 0);
    f.window->ApplyPlacement(screenWidth);
    QCOMPARE(QRect(f.window->pos(), f.window->size()), expected);
  }

  void PlacementAtConstructionUsesTheScreen() {
    // The offscreen screen is wider than 640 pixels.
    Frame f;
    f.settings.WriteSettingInt(kSectionWindowPosition, kEntryX, 12);
    f.settings.WriteSettingInt(kSectionWindowPosition, kEntryHeight, 480);
    f.Create();
    QCOMPARE(QRect(f.window->pos(), f.window->size()), QRect(12, 0, 740, 550));
  }

  void OpenLocalOpensTheChosenConfiguration() {
    Frame f;
    f.Create();
    std::string path = f.dir.Write("a.tcf", kMinimalConfig);
    f.ui.QueueFile(path);
    f.app.remoteOpenPending = true;  // left over: a chosen file is still read from disk
    f.window->OpenLocalAction()->trigger();
    QCOMPARE(f.ui.fileRequests.size(), size_t(1));
    QCOMPARE(f.ui.fileRequests[0].filters.size(), size_t(1));
    QCOMPARE(f.ui.fileRequests[0].filters[0].first, std::string("DB Config's(*.tcf)"));
    QVERIFY2(f.ui.messages.empty(), f.ui.messages.empty() ? "" : f.ui.messages[0].text.c_str());
    QCOMPARE(f.Documents().size(), 1);
    QCOMPARE(f.Documents()[0]->windowTitle(), QString("Unconnected"));

    // Cancelling the chooser opens nothing.
    f.window->OpenLocalAction()->trigger();
    QCOMPARE(f.Documents().size(), 1);
  }

  void DroppedFilesOpenEach() {
    Frame f;
    f.Create();
    std::string a = f.dir.Write("a.tcf", kMinimalConfig);
    std::string b = f.dir.Write("b.tcf", kMinimalConfig);
    f.Drop({QUrl::fromLocalFile(QString::fromStdString(a)),
            QUrl::fromLocalFile(QString::fromStdString(b)), QUrl("http://example.org/c.tcf")});
    QTRY_COMPARE(f.Documents().size(), 2);
    QVERIFY(OnlyDriverMissing(f.ui));

    // A file that is not there: the document says so and no window appears.
    f.Drop({QUrl::fromLocalFile(QString::fromStdString(f.dir.File("missing.tcf")))});
    auto missingNamed = [&f] {
      return std::any_of(f.ui.messages.begin(), f.ui.messages.end(), [](const auto& m) {
        return m.text.find("missing.tcf") != std::string::npos;
      });
    };
    QTRY_VERIFY(missingNamed());
    QCOMPARE(f.Documents().size(), 2);
  }

  void SettingsThatCantBeSavedAreReportedOnce() {
    Frame f;
    QDir().mkpath(QString::fromStdString(f.settings.FilePath()));  // in the file's way
    f.Create();
    f.window->RunCommand(kCmdSaveWindowPosition);
    f.window->CommandAction(kCmdSplashOn)->trigger();
    QTRY_COMPARE(f.ui.messages.size(), std::size_t{1});
    QCOMPARE(f.ui.messages[0].caption, std::string("Settings Not Saved"));
    QVERIFY(f.ui.messages[0].text.find("not a plain file") != std::string::npos);
    QTest::qWait(20);
    QCOMPARE(f.ui.messages.size(), std::size_t{1});
  }

  void OptionsViewAndHelpCommands() {
    Frame f;
    f.Create();
    f.window->move(30, 40);
    f.window->resize(700, 500);
    f.window->RunCommand(kCmdSaveWindowPosition);
    QCOMPARE(f.window->MessagePane()->text(), QString("Window Position Saved"));
    QCOMPARE(f.settings.ReadSettingInt(kSectionWindowPosition, kEntryWidth, 0), 700);
    QCOMPARE(f.settings.ReadSettingInt(kSectionWindowPosition, kEntryHeight, 0), 500);

    // Splash On shows the stored switch and flips it.
    QAction* splash = f.window->CommandAction(kCmdSplashOn);
    bool before = splash->isChecked();
    QCOMPARE(before, f.window->Model().SplashChecked());
    splash->trigger();
    QCOMPARE(splash->isChecked(), !before);
    QCOMPARE(f.window->Model().SplashChecked(), !before);

    QAction* toolbar = f.window->CommandAction(kCmdViewToolbar);
    QVERIFY(toolbar->isChecked());
    toolbar->trigger();
    QVERIFY(f.window->ToolBar()->isHidden());
    QVERIFY(!toolbar->isChecked());
    f.window->CommandAction(kCmdViewStatusBar)->trigger();
    QVERIFY(f.window->statusBar()->isHidden());

    f.window->CommandAction(kCmdAbout)->trigger();
    QCOMPARE(f.ui.dialogKinds, std::vector<std::string>{"about"});

    // The document's menus replace the frame's; Database Help waits for a
    // selected database, and the result commands for their pages.
    QVERIFY(f.window->OpenDocument(f.dir.Write("a.tcf", kMinimalConfig)));
    QVERIFY(!f.window->FrameMenus()[0]->menuAction()->isVisible());
    QVERIFY(f.window->DocumentMenus()[0]->menuAction()->isVisible());
    QVERIFY(!f.window->CommandAction(kCmdDatabaseHelp)->isEnabled());
    QVERIFY(f.window->CommandAction(kCmdQueryName)->isEnabled());
    QVERIFY(!f.window->CommandAction(kCmdQuerySelect)->isEnabled());

    // The help window: the index, a topic page, back, and the search box.
    f.window->RunCommand(kCmdHelpIndex);
    CHelpWindow& help = CHelpWindow::Instance();
    QVERIFY(!help.Directory().empty());
    QVERIFY(help.isVisible());
    QCOMPARE(help.Browser()->source().fileName(), QString("index.html"));
    f.window->RunCommand(kCmdHelp);  // the search page is in front
    QCOMPARE(help.Browser()->source().fileName(), QString("search-criteria.html"));
    QVERIFY(help.Browser()->isBackwardAvailable());
    help.Browser()->backward();
    QCOMPARE(help.Browser()->source().fileName(), QString("index.html"));
    QVERIFY(help.FindText("Help"));
    QVERIFY(!help.FindText("no such words in any help page"));
    help.close();
  }

  void ClosingADocumentWindowAndTheFrame() {
    Frame f;
    f.Create();
    QVERIFY(f.window->OpenDocument(f.dir.Write("a.tcf", kMinimalConfig)));
    QVERIFY(f.window->OpenDocument(f.dir.Write("b.tcf", kMinimalConfig)));
    f.Documents()[0]->close();
    QTRY_COMPARE(f.Documents().size(), 1);
    // The rest go with the frame (AddressSanitizer watches the order).
    f.window.reset();
  }
};

static GuiTestRegistry::Add<MainWindowTest> registerMainWindowTest;

#include "MainWindowTest.moc"
