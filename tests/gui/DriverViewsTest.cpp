#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "GuiFrame.h"
#include "GuiTestRegistry.h"
#include "ModalWindow.h"
#include "TestDriver.h"
#include "doc/CTmsfrmDoc.h"
#include "ui/CAboutDatabaseDlgView.h"
#include "ui/CBusyWindow.h"
#include "ui/CDocumentWindow.h"
#include "ui/CInfoRequestDlgView.h"

namespace {

bool WaitCursorShown() {
  return QApplication::overrideCursor() != nullptr &&
         QApplication::overrideCursor()->shape() == Qt::WaitCursor;
}

QImage AnimationPicture(CBusyWindow* busy) {
  return busy->grab(CBusyWindow::AnimationRect()).toImage();
}

// The requests of one type the driver has seen.
std::vector<TestDriver::Request> RequestsOf(TestDriver& driver, std::uint32_t type) {
  std::vector<TestDriver::Request> found;
  for (const auto& request : driver.Requests()) {
    if (request.header.type == type) {
      found.push_back(request);
    }
  }
  return found;
}

struct Connected {
  TestDriver driver;
  GuiFrame f;
  QMdiSubWindow* child = nullptr;
  CTmsfrmDoc* doc = nullptr;
  CBusyWindow* busy = nullptr;

  // Opens the one-database configuration; the open connects by itself.
  void Open() {
    std::string path = f.dir.Write(
        "one.tcf", "conf_version = 1.1\n" + DatabaseSection("cat", "Catalogue", driver.Port()));
    QVERIFY(f.window->OpenDocument(path));
    child = f.Child();
    doc = f.window->DocumentOf(child);
    busy = f.window->BusyWindowOf(child);
  }
};

}  // namespace

class DriverViewsTest : public QObject {
  Q_OBJECT

 private slots:
  void BusyWindowWhileConnectingAndItsCancel() {
    Connected c;
    c.Open();
    // Before the first selection has run.
    QCOMPARE(c.child->windowTitle(), QString("Unconnected"));
    QCOMPARE(c.f.window->PageOf(c.child)->HeadingLabel()->text(), QString("No Databases are open"));
    QVERIFY(!c.busy->isVisible());

    // The driver does not answer: the connect stays outstanding.
    QTRY_COMPARE_WITH_TIMEOUT(c.doc->LinkStateValue(), int(LINK_CONNECTING), 10000);
    QVERIFY(c.busy->isVisible());
    QVERIFY(!c.busy->isModal());
    QCOMPARE(c.busy->windowTitle(), QString("Message..."));
    QCOMPARE(c.busy->TextLabel()->text(), QString("Connecting to Catalogue\n"));
    QCOMPARE(c.child->windowTitle(), QString("Catalogue"));
    QCOMPARE(c.f.window->PageOf(c.child)->HeadingLabel()->text(),
             QString("Connected to Catalogue Database"));
    QVERIFY(WaitCursorShown());
    QVERIFY(!c.f.window->ConnectAction()->isEnabled());
    QVERIFY(!c.f.window->DisconnectAction()->isEnabled());

    // Each tick draws the next picture.
    QImage before = AnimationPicture(c.busy);
    c.doc->Link().Busy().OnTick();
    QVERIFY(AnimationPicture(c.busy) != before);

    c.busy->CancelButton()->click();
    QCOMPARE(c.doc->LinkStateValue(), int(LINK_UNCONNECTED));
    QVERIFY(!c.busy->isVisible());
    QCOMPARE(c.child->windowTitle(), QString("Unconnected"));
    QCOMPARE(c.f.window->PageOf(c.child)->HeadingLabel()->text(),
             QString("Disconnected:  Catalogue"));
    QVERIFY(!WaitCursorShown());
    QVERIFY(c.f.window->ConnectAction()->isEnabled());
    // Cancelled before the limit: no message.
    QVERIFY2(c.f.ui.messages.empty(), c.f.ui.Summary().c_str());

    // Escape is the busy window's Cancel as well.
    c.f.window->ConnectAction()->trigger();
    QVERIFY(c.busy->isVisible());
    QTest::keyClick(c.busy, Qt::Key_Escape);
    QVERIFY(!c.busy->isVisible());
    QCOMPARE(c.doc->LinkStateValue(), int(LINK_UNCONNECTED));
  }

  void AnimationFramesAllDiffer() {
    QList<QImage> frames;
    for (int frame = 0; frame < 16; ++frame) {
      QImage image(CBusyWindow::kAnimationSize, CBusyWindow::kAnimationSize, QImage::Format_ARGB32);
      image.fill(Qt::white);
      QPainter painter(&image);
      CBusyWindow::DrawFrame(painter, image.rect(), frame);
      painter.end();
      QVERIFY2(!frames.contains(image), qPrintable(QString("frame %1 repeats").arg(frame)));
      frames << image;
    }
  }

  void ConnectedDatabaseRequestsInformationAndDisconnects() {
    Connected c;
    c.driver.OnRequest(
        MSG_OPEN, {{TestDriver::Packet(MSG_STATUS, std::string("Opening\0", 8), STATUS_PROGRESS)}});
    c.Open();
    QTRY_COMPARE_WITH_TIMEOUT(c.busy->TextLabel()->text(), QString("Opening"), 10000);
    QVERIFY(c.busy->isVisible());
    c.driver.SendNow({{TestDriver::Packet(MSG_CONNECTED)}});
    QTRY_VERIFY_WITH_TIMEOUT(!c.busy->isVisible(), 10000);
    QCOMPARE(c.doc->LinkStateValue(), int(LINK_IDLE));
    QCOMPARE(c.f.app.StatusMessage(), std::string("Connected"));
    QCOMPARE(c.f.window->MessagePane()->text(), QString("Connected"));
    QCOMPARE(c.child->windowTitle(), QString("Catalogue"));
    QVERIFY(!WaitCursorShown());
    QVERIFY(c.f.window->ConnectAction()->isEnabled());
    QVERIFY(c.f.window->DisconnectAction()->isEnabled());
    QVERIFY(!c.f.window->AboutDatabaseAction()->isEnabled());

    // A hidden answer, with the driver's own labels.
    std::string login = std::string("Password?\0Login\0Go\0 \0", 22);
    bool asked = false;
    WhenModal<CInfoRequestDlgView>([&](CInfoRequestDlgView* view) {
      asked = true;
      QCOMPARE(view->windowTitle(), QString("Login"));
      QCOMPARE(view->PromptLabel()->text(), QString("Password?"));
      QVERIFY(view->HiddenEdit()->isVisible() && !view->PlainEdit()->isVisible());
      QCOMPARE(view->HiddenEdit()->echoMode(), QLineEdit::Password);
      QCOMPARE(view->OkButton()->text(), QString("Go"));
      QCOMPARE(view->CancelButton()->text(), QString("Cancel"));
      QTest::keyClicks(view->HiddenEdit(), "secret");
      view->OkButton()->click();
    });
    c.driver.SendNow({{TestDriver::Packet(MSG_INFO_REQUEST, login, INFO_PASSWORD)}});
    QTRY_VERIFY_WITH_TIMEOUT(asked, 10000);
    QVERIFY(c.driver.WaitForRequests(2));
    auto answers = RequestsOf(c.driver, MSG_INFO_ANSWER);
    QCOMPARE(answers.size(), size_t(1));
    QCOMPARE(answers[0].header.param1, 1);
    QCOMPARE(answers[0].body, std::string("secret\0", 7));

    // A plain answer to the same question starts from the last one; Cancel
    // still sends what is in the edit.
    asked = false;
    WhenModal<CInfoRequestDlgView>([&](CInfoRequestDlgView* view) {
      asked = true;
      QVERIFY(view->PlainEdit()->isVisible() && !view->HiddenEdit()->isVisible());
      QCOMPARE(view->PlainEdit()->echoMode(), QLineEdit::Normal);
      QCOMPARE(view->PlainEdit()->text(), QString("secret"));
      QCOMPARE(view->HiddenEdit()->text(), QString());
      view->CancelButton()->click();
    });
    c.driver.SendNow({{TestDriver::Packet(MSG_INFO_REQUEST, login, INFO_TEXT)}});
    QTRY_VERIFY_WITH_TIMEOUT(asked, 10000);
    QVERIFY(c.driver.WaitForRequests(3));
    answers = RequestsOf(c.driver, MSG_INFO_ANSWER);
    QCOMPARE(answers[1].header.param1, 0);
    QCOMPARE(answers[1].body, std::string("secret\0", 7));

    // A message only: no edit, the dialog's own caption and labels.
    asked = false;
    WhenModal<CInfoRequestDlgView>([&](CInfoRequestDlgView* view) {
      asked = true;
      QCOMPARE(view->windowTitle(), QString("Request for Information"));
      QCOMPARE(view->PromptLabel()->text(), QString("Welcome back."));
      QVERIFY(!view->PlainEdit()->isVisible() && !view->HiddenEdit()->isVisible());
      QCOMPARE(view->OkButton()->text(), QString("OK"));
      view->OkButton()->click();
    });
    c.driver.SendNow({{TestDriver::Packet(
        MSG_INFO_REQUEST, std::string("Welcome back.\0 \0 \0 \0", 21), INFO_MESSAGE)}});
    QTRY_VERIFY_WITH_TIMEOUT(asked, 10000);
    QVERIFY(c.driver.WaitForRequests(4));
    QCOMPARE(RequestsOf(c.driver, MSG_INFO_ANSWER)[2].body, std::string("\0", 1));

    // The driver's description pops up once; the command shows it again.
    bool about = false;
    WhenModal<CAboutDatabaseDlgView>([&](CAboutDatabaseDlgView* view) {
      about = true;
      QCOMPARE(view->windowTitle(), QString("About the Database"));
      QVERIFY(view->Text()->isReadOnly());
      QCOMPARE(view->Text()->toPlainText(), QString("\n About it\n second line\n"));
      view->OkButton()->click();
    });
    c.driver.SendNow(
        {{TestDriver::Packet(MSG_DATABASE_INFO, std::string("About it\nsecond line\0", 21), 0)}});
    QTRY_VERIFY_WITH_TIMEOUT(about, 10000);
    // The Connect menu looks again as it opens.
    QMenu* connectMenu = nullptr;
    for (QMenu* menu : c.f.window->findChildren<QMenu*>()) {
      if (menu->title() == "&Connect") {
        connectMenu = menu;
      }
    }
    QVERIFY(connectMenu != nullptr);
    emit connectMenu->aboutToShow();
    QVERIFY(c.f.window->AboutDatabaseAction()->isEnabled());
    about = false;
    WhenModal<CAboutDatabaseDlgView>([&](CAboutDatabaseDlgView* view) {
      about = true;
      view->OkButton()->click();
    });
    c.f.window->AboutDatabaseAction()->trigger();
    QVERIFY(about);

    // Echo: Ctrl+E with its check mark.
    QVERIFY(c.f.Activate());
    QVERIFY(c.f.window->EchoAction()->isCheckable());
    QVERIFY(!c.f.window->EchoAction()->isChecked());
    QCOMPARE(c.f.window->EchoAction()->statusTip(), QString("Set echo for the driver;"));
    QTest::keyClick(c.f.window.get(), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(c.doc->Link().EchoEnabled(), true);
    QVERIFY(c.f.window->EchoAction()->isChecked());
    QTest::keyClick(c.f.window.get(), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(c.doc->Link().EchoEnabled(), false);
    QVERIFY(!c.f.window->EchoAction()->isChecked());

    c.f.window->DisconnectAction()->trigger();
    QVERIFY(c.driver.WaitForRequests(5));
    QCOMPARE(c.driver.Requests().back().header.type, std::uint32_t(MSG_CLOSE));
    QCOMPARE(c.child->windowTitle(), QString("Unconnected"));
    QCOMPARE(c.f.window->PageOf(c.child)->HeadingLabel()->text(),
             QString("Disconnected:  Catalogue"));
    QVERIFY(!c.f.window->DisconnectAction()->isEnabled());
    QVERIFY(!c.f.window->AboutDatabaseAction()->isEnabled());
    QVERIFY2(c.f.ui.messages.empty(), c.f.ui.Summary().c_str());
  }
};

static GuiTestRegistry::Add<DriverViewsTest> registerDriverViewsTest;

#include "DriverViewsTest.moc"
