#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <map>
#include <memory>

#include "app/EventLoop.h"

class QSocketNotifier;
class QTimerEvent;

// The EventLoop port over Qt's own loop, so sockets and timers of the core
// run alongside the windows: readiness through QSocketNotifier, timers as
// Qt's own timer events (no object per timer, nothing left to delete when
// one stops: a request watch starts and stops one per batch).
class CQtEventLoop : public EventLoop {
 public:
  CQtEventLoop();

  int WatchReadable(int fd, Callback onReadable) override;
  void Unwatch(int watchId) override;
  int StartTimer(int intervalMs, bool repeat, Callback onTimer) override;
  void StopTimer(int timerId) override;
  std::int64_t NowMs() const override;
  bool ProcessEvents(int maxWaitMs) override;

 private:
  // Receives the timer events and owns the notifiers: whatever is left goes
  // with the loop.
  class Owner : public QObject {
   public:
    explicit Owner(CQtEventLoop& loop) : loop(loop) {}

   protected:
    void timerEvent(QTimerEvent* event) override;

   private:
    CQtEventLoop& loop;
  };
  struct Timer {
    int qtId = 0;
    bool repeat = false;
    // Shared, so a callback that stops its own timer runs to its end.
    std::shared_ptr<Callback> callback;
  };
  void TimerFired(int qtId);

  Owner owner{*this};
  QElapsedTimer clock;
  int nextId = 1;
  std::map<int, QSocketNotifier*> watches;
  std::map<int, Timer> timers;
  // Qt's timer id to ours: Qt reuses its ids, ours are never reused.
  std::map<int, int> timerIds;
};
