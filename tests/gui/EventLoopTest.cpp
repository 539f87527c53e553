#include <unistd.h>

#include <QElapsedTimer>
#include <QTest>

#include "GuiTestRegistry.h"
#include "ui/CQtEventLoop.h"

namespace {

struct Pipe {
  int fds[2] = {-1, -1};
  Pipe() { QVERIFY(pipe(fds) == 0); }
  ~Pipe() {
    close(fds[0]);
    close(fds[1]);
  }
  void Write(char c) { QCOMPARE(write(fds[1], &c, 1), ssize_t(1)); }
  char Read() {
    char c = 0;
    (void)read(fds[0], &c, 1);
    return c;
  }
};

// Processes events until `done` or a generous limit.
template <typename Done>
bool RunUntil(CQtEventLoop& loop, Done done) {
  QElapsedTimer spent;
  spent.start();
  while (!done() && spent.elapsed() < 5000) {
    loop.ProcessEvents(50);
  }
  return done();
}

}  // namespace

class EventLoopTest : public QObject {
  Q_OBJECT

 private slots:
  void ReadableDescriptorCallsUntilUnwatched() {
    CQtEventLoop loop;
    Pipe p;
    std::string got;
    int watch = 0;
    watch = loop.WatchReadable(p.fds[0], [&] {
      got += p.Read();
      if (got.size() == 2) {
        loop.Unwatch(watch);  // from inside its own callback
      }
    });
    p.Write('a');
    QVERIFY(RunUntil(loop, [&] { return got == "a"; }));
    p.Write('b');
    p.Write('c');
    QVERIFY(RunUntil(loop, [&] { return got.size() >= 2; }));
    loop.ProcessEvents(0);
    QCOMPARE(got, std::string("ab"));
  }

  void ClosedWriterCountsAsReadable() {
    CQtEventLoop loop;
    Pipe p;
    bool called = false;
    int watch = loop.WatchReadable(p.fds[0], [&] { called = true; });
    close(p.fds[1]);
    p.fds[1] = -1;
    QVERIFY(RunUntil(loop, [&] { return called; }));
    loop.Unwatch(watch);
  }

  void OneShotAndRepeatingTimers() {
    CQtEventLoop loop;
    int once = 0;
    int repeats = 0;
    loop.StartTimer(10, false, [&] { ++once; });
    int repeating = 0;
    repeating = loop.StartTimer(5, true, [&] {
      if (++repeats == 3) {
        loop.StopTimer(repeating);
      }
    });
    QVERIFY(RunUntil(loop, [&] { return once == 1 && repeats == 3; }));
    // Both are gone: nothing left to wait for, and neither fires again.
    QVERIFY(!loop.ProcessEvents(50));
    QCOMPARE(once, 1);
    QCOMPARE(repeats, 3);

    // The id of a timer that ended stops nothing that came after it.
    int first = loop.StartTimer(0, false, [] {});
    QVERIFY(RunUntil(loop, [&] { return !loop.ProcessEvents(0); }));
    bool later = false;
    loop.StartTimer(0, false, [&] { later = true; });
    loop.StopTimer(first);
    QVERIFY(RunUntil(loop, [&] { return later; }));
  }

  void WaitIsBounded() {
    CQtEventLoop loop;
    QVERIFY(!loop.ProcessEvents(10));  // nothing watched or timed
    Pipe p;
    int watch = loop.WatchReadable(p.fds[0], [] {});
    QElapsedTimer spent;
    spent.start();
    QVERIFY(loop.ProcessEvents(100));
    QVERIFY(spent.elapsed() < 3000);
    loop.Unwatch(watch);
  }
};

static GuiTestRegistry::Add<EventLoopTest> registerEventLoopTest;

#include "EventLoopTest.moc"
