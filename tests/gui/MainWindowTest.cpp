#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QTest>
#include <QToolBar>
#include <QUrl>

#include "FakeUi.h"
#include "GuiTestRegistry.h"
#include "TempDir.h"
#include "app/CAppState.h"
#include "app/CPollEventLoop.h"
#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
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
    QList<QMenu*> menus = f.window->menuBar()->findChildren<QMenu*>();
    QCOMPARE(menus.size(), 2);
    QCOMPARE(menus[0]->title(), QString("&File"));
    QCOMPARE(menus[1]->title(), QString("&Connect"));
    auto texts = [](QMenu* menu) {
      QStringList texts;
      for (QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
          texts << action->text();
        }
      }
      return texts;
    };
    QCOMPARE(texts(menus[0]),
             QStringList({"&Open Local ...\tCtrl+O", "Open Remote...", "E&xit\tAlt+X"}));
    QCOMPARE(texts(menus[1]),
             QStringList({"&Connect to Database...", "&Disconnect from Database...",
                          "About the &Database", "Driver &Echo"}));
    // Ctrl+O is only shown next to Open Local; it opens the remote dialog.
    // Alt+X really exits.
    QVERIFY(f.window->OpenLocalAction()->shortcut().isEmpty());
    QVERIFY(f.window->OpenRemoteAction()->shortcut().isEmpty());
    QCOMPARE(f.window->ExitAction()->shortcut(), QKeySequence(Qt::ALT | Qt::Key_X));
    QCOMPARE(f.window->EchoAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    // Status bar prompts and toolbar tips.
    QCOMPARE(f.window->OpenRemoteAction()->statusTip(), QString("Open remote configuration file"));
    QCOMPARE(f.window->OpenRemoteAction()->toolTip(), QString("Open remote config"));
    QCOMPARE(f.window->ConnectAction()->statusTip(),
             QString("Opens a dialog for selecting a database"));
    QCOMPARE(f.window->ConnectAction()->toolTip(), QString("Open Database"));
    QCOMPARE(f.window->ToolBar()->actions(),
             QList<QAction*>({f.window->OpenRemoteAction(), f.window->ExitAction(),
                              f.window->ToolBar()->actions()[2], f.window->ConnectAction(),
                              f.window->DisconnectAction()}));
    QVERIFY(f.window->ToolBar()->actions()[2]->isSeparator());
    // Without a document there is nothing to connect.
    for (QAction* action : {f.window->ConnectAction(), f.window->DisconnectAction(),
                            f.window->AboutDatabaseAction(), f.window->EchoAction()}) {
      QVERIFY(!action->isEnabled());
    }
    QVERIFY(f.window->minimumWidth() > 0 && f.window->minimumHeight() > 0);
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
    QVERIFY(f.window->MessagePane()->minimumWidth() >=
            f.window->MessagePane()->fontMetrics().horizontalAdvance("Somewhat Longer Result"));
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
