#pragma once

#include <cstdint>
#include <functional>

// Readiness and timers for the core. The GUI delivers them through Qt, the CLI
// and the sample driver through poll(), the tests through a manual clock.
class EventLoop {
 public:
  using Callback = std::function<void()>;

  virtual ~EventLoop() = default;

  // Calls `onReadable` whenever `fd` is readable (or closed), until unwatched.
  virtual int WatchReadable(int fd, Callback onReadable) = 0;
  virtual void Unwatch(int watchId) = 0;

  // A timer firing every `intervalMs` (once when `repeat` is false).
  virtual int StartTimer(int intervalMs, bool repeat, Callback onTimer) = 0;
  virtual void StopTimer(int timerId) = 0;

  // Milliseconds on a monotonic clock.
  virtual std::int64_t NowMs() const = 0;

  // Handles the events ready now, waiting at most `maxWaitMs` for the first.
  // Returns false when there is nothing to wait for.
  virtual bool ProcessEvents(int maxWaitMs) = 0;
};
