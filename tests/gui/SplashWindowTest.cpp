#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QTest>

#include "GuiTestRegistry.h"
#include "ui/CSplashWindow.h"

namespace {

// A frame with a text box, and a splash window over it on a clock the test sets.
struct SplashScene {
  QMainWindow frame;
  QLineEdit* edit = new QLineEdit(&frame);
  std::int64_t now = 100000;
  CSplashWindow* splash = new CSplashWindow(&frame, [this] { return now; });

  SplashScene() {
    frame.setCentralWidget(edit);
    frame.move(50, 60);
    frame.resize(740, 550);
    frame.show();
    splash->ShowSplash();
  }
};

}  // namespace

class SplashWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void ShownOverTheFrameWithItsTexts() {
    SplashScene s;
    QVERIFY(s.splash->isVisible());
    QCOMPARE(s.splash->pos(), QPoint(50 + 120, 60 + 110));
    QStringList texts;
    for (QLabel* label : s.splash->findChildren<QLabel*>()) {
      texts << label->text();
    }
    QVERIFY(texts.contains("Version"));
    QVERIFY(texts.contains("WinTamsel32 1.41"));
    QVERIFY(s.splash->Model().IsShown());
    QCOMPARE(s.splash->IdleTimer().interval(), 500);
    QVERIFY(s.splash->IdleTimer().isActive());
  }

  void ClosesAfterFiveSecondsAtIdle() {
    SplashScene s;
    s.now += 4999;
    s.splash->CheckIdle();
    QVERIFY(s.splash->isVisible());
    s.now += 1;
    s.splash->CheckIdle();
    QVERIFY(!s.splash->isVisible());
    QVERIFY(!s.splash->IdleTimer().isActive());
  }

  void TheTimerRunsTheIdleCheck() {
    SplashScene s;
    s.now += 5000;
    QTRY_VERIFY_WITH_TIMEOUT(!s.splash->isVisible(), 3000);
  }

  void KeyPressAnywhereClosesAndStillArrives() {
    SplashScene s;
    s.edit->setFocus();
    QTest::keyClick(s.edit, Qt::Key_A);
    QVERIFY(!s.splash->isVisible());
    QCOMPARE(s.edit->text(), QString("a"));
    // Later input no longer concerns the splash window.
    QTest::keyClick(s.edit, Qt::Key_B);
    QCOMPARE(s.edit->text(), QString("ab"));
  }

  void MouseButtonPressesClose_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("closes");
    QTest::newRow("left") << Qt::LeftButton << true;
    QTest::newRow("right") << Qt::RightButton << true;
    QTest::newRow("middle") << Qt::MiddleButton << true;
    QTest::newRow("back") << Qt::BackButton << false;
  }

  void MouseButtonPressesClose() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, closes);
    SplashScene s;
    QTest::mousePress(s.edit, button);
    QCOMPARE(!s.splash->isVisible(), closes);
    QTest::mouseRelease(s.edit, button);
  }
};

static GuiTestRegistry::Add<SplashWindowTest> registerSplashWindowTest;

#include "SplashWindowTest.moc"
