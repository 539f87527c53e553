#pragma once

#include <cstdint>
#include <functional>
#include <map>

// A single-threaded poll() loop: readable descriptors and timers on the
// monotonic clock. Used by the command-line client, the sample driver and the
// integration tests.
class CPollLoop {
 public:
  using Callback = std::function<void()>;

  int WatchReadable(int fd, Callback onReadable);
  void Unwatch(int watchId);
  int StartTimer(int intervalMs, bool repeat, Callback onTimer);
  void StopTimer(int timerId);
  static std::int64_t MonotonicMs();

  // Runs the callbacks that are due, waiting at most maxWaitMs (-1: until
  // something happens). Returns false when nothing is watched or timed.
  bool ProcessEvents(int maxWaitMs);

 private:
  struct Watch {
    int fd;
    Callback callback;
  };
  struct Timer {
    std::int64_t due;
    int interval;
    bool repeat;
    Callback callback;
  };

  bool FireDueTimers();
  int WaitBudget(int maxWaitMs) const;

  int nextId = 1;
  std::map<int, Watch> watches;
  std::map<int, Timer> timers;
};
