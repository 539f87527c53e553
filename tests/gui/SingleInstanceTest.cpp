#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "GuiTestRegistry.h"
#include "ui/CSingleInstance.h"

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void SecondStartTellsTheFirst() {
    QTemporaryDir dir;
    QString name = dir.filePath("WinTamsel32-test");
    CSingleInstance first(name);
    CSingleInstance second(name);
    QVERIFY(!second.FindRunning());
    QVERIFY(first.Listen());
    QVERIFY(first.IsListening());
    QVERIFY(second.FindRunning());

    QSignalSpy raised(&first, &CSingleInstance::RaiseRequested);
    QSignalSpy opened(&first, &CSingleInstance::OpenMostRecentRequested);
    QVERIFY(second.Tell(CSingleInstance::kRaiseLine));
    QTRY_COMPARE(raised.count(), 1);
    QCOMPARE(opened.count(), 0);
    QVERIFY(second.Tell(CSingleInstance::kOpenLine));
    QTRY_COMPARE(opened.count(), 1);
    QCOMPARE(raised.count(), 2);
    QVERIFY(!second.IsListening());
  }

  void GarbageIsIgnored() {
    QTemporaryDir dir;
    QString name = dir.filePath("WinTamsel32-test");
    CSingleInstance first(name);
    QVERIFY(first.Listen());
    QSignalSpy raised(&first, &CSingleInstance::RaiseRequested);
    QLocalSocket peer;
    peer.connectToServer(name);
    QVERIFY(peer.waitForConnected(2000));
    peer.write("open the pod bay doors\n");
    peer.write(QByteArray(500, 'x'));
    QVERIFY(peer.waitForBytesWritten(2000));
    // The server drops a peer that never ends its line.
    QTRY_COMPARE(peer.state(), QLocalSocket::UnconnectedState);
    QTest::qWait(50);
    QCOMPARE(raised.count(), 0);
  }

  void SocketLeftByACrashIsReplaced() {
    QTemporaryDir dir;
    QString name = dir.filePath("WinTamsel32-test");
    {
      // A listening socket whose owner is gone, as after a crash: the
      // server is destroyed without removing its file.
      CSingleInstance crashed(name);
      QVERIFY(crashed.Listen());
    }
    QFile stale(name);
    if (!stale.exists()) {
      QVERIFY(stale.open(QIODevice::WriteOnly));
      stale.close();
    }
    CSingleInstance next(name);
    QVERIFY(!next.FindRunning());
    QVERIFY(next.Listen());
    CSingleInstance later(name);
    QVERIFY(later.FindRunning());
    // A live program's socket is never taken over.
    CSingleInstance rival(name);
    QVERIFY(!rival.Listen());
    QVERIFY(later.FindRunning());
  }
};

static GuiTestRegistry::Add<SingleInstanceTest> registerSingleInstanceTest;

#include "SingleInstanceTest.moc"
