#pragma once

#include <cstdint>
#include <functional>
#include <map>

#include "app/EventLoop.h"

// An event loop whose clock only moves when the test says so: descriptors are
// polled for real, timers fire inside Advance(). Lets tests reach the
// 5-minute limits without waiting 5 minutes.
class ManualEventLoop : public EventLoop {
 public:
  int WatchReadable(int fd, Callback onReadable) override;
  void Unwatch(int watchId) override;
  int StartTimer(int intervalMs, bool repeat, Callback onTimer) override;
  void StopTimer(int timerId) override;
  std::int64_t NowMs() const override { return now; }
  // Polls the watched descriptors for up to maxWaitMs of real time.
  bool ProcessEvents(int maxWaitMs) override;

  // Moves the clock, firing every timer that falls due on the way.
  void Advance(std::int64_t ms);
  int ActiveTimers() const { return static_cast<int>(timers.size()); }

  // For tests where every party runs on this loop (a loopback server watched
  // here too): when no descriptor is ready, nothing else can make one ready,
  // so ProcessEvents moves the clock to the next timer instead of waiting in
  // real time. Code that waits in place for a time limit then reaches it.
  void SetSimulatedTime(bool on) { simulatedTime = on; }

  // Processes events until `done` holds or `timeoutMs` of real time passed.
  bool RunUntil(const std::function<bool()>& done, int timeoutMs = 10000);

 private:
  struct Timer {
    std::int64_t due;
    int interval;
    bool repeat;
    Callback callback;
  };
  // Moves the clock to the next timer, at most maxWaitMs (-1: no bound).
  void AdvanceToNextTimer(int maxWaitMs);

  std::int64_t now = 0;
  bool simulatedTime = false;
  int nextId = 1;
  std::map<int, std::pair<int, Callback>> watches;
  std::map<int, Timer> timers;
};
