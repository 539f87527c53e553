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

  // Processes events until `done` holds or `timeoutMs` of real time passed.
  bool RunUntil(const std::function<bool()>& done, int timeoutMs = 10000);

 private:
  struct Timer {
    std::int64_t due;
    int interval;
    bool repeat;
    Callback callback;
  };
  std::int64_t now = 0;
  int nextId = 1;
  std::map<int, std::pair<int, Callback>> watches;
  std::map<int, Timer> timers;
};
