#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <map>

#include "app/EventLoop.h"

class QSocketNotifier;
class QTimer;

// The EventLoop port over Qt's own loop, so sockets and timers of the core
// run alongside the windows: readiness through QSocketNotifier, timers
// through QTimer.
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
  // Parent of every notifier and timer: whatever is left goes with the loop.
  QObject owner;
  QElapsedTimer clock;
  int nextId = 1;
  std::map<int, QSocketNotifier*> watches;
  std::map<int, QTimer*> timers;
};
