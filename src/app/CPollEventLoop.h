#pragma once

#include "app/EventLoop.h"
#include "platform/CPollLoop.h"

// The EventLoop port over the platform's poll() loop (CLI, sample driver,
// integration tests).
class CPollEventLoop : public EventLoop {
 public:
  int WatchReadable(int fd, Callback onReadable) override {
    return loop.WatchReadable(fd, std::move(onReadable));
  }
  void Unwatch(int watchId) override { loop.Unwatch(watchId); }
  int StartTimer(int intervalMs, bool repeat, Callback onTimer) override {
    return loop.StartTimer(intervalMs, repeat, std::move(onTimer));
  }
  void StopTimer(int timerId) override { loop.StopTimer(timerId); }
  std::int64_t NowMs() const override { return CPollLoop::MonotonicMs(); }
  bool ProcessEvents(int maxWaitMs) override { return loop.ProcessEvents(maxWaitMs); }

 private:
  CPollLoop loop;
};
