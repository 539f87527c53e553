#include "ManualEventLoop.h"

#include <poll.h>

#include <chrono>
#include <vector>

int ManualEventLoop::WatchReadable(int fd, Callback onReadable) {
  int id = nextId++;
  watches[id] = {fd, std::move(onReadable)};
  return id;
}

void ManualEventLoop::Unwatch(int watchId) {
  watches.erase(watchId);
}

int ManualEventLoop::StartTimer(int intervalMs, bool repeat, Callback onTimer) {
  int id = nextId++;
  timers[id] = Timer{now + intervalMs, intervalMs, repeat, std::move(onTimer)};
  return id;
}

void ManualEventLoop::StopTimer(int timerId) {
  timers.erase(timerId);
}

bool ManualEventLoop::ProcessEvents(int maxWaitMs) {
  if (watches.empty()) {
    if (!simulatedTime || timers.empty()) {
      return false;
    }
    AdvanceToNextTimer(maxWaitMs);
    return true;
  }
  std::vector<pollfd> fds;
  std::vector<int> ids;
  for (const auto& [id, watch] : watches) {
    fds.push_back({watch.first, POLLIN, 0});
    ids.push_back(id);
  }
  // Simulated: a short real wait lets loopback bytes in flight land first.
  constexpr int kSettleMs = 20;
  int realWait = simulatedTime && (maxWaitMs < 0 || maxWaitMs > kSettleMs) ? kSettleMs : maxWaitMs;
  if (poll(fds.data(), fds.size(), realWait) <= 0) {
    if (simulatedTime) {
      AdvanceToNextTimer(maxWaitMs);
    }
    return true;
  }
  for (size_t i = 0; i < fds.size(); ++i) {
    if (fds[i].revents == 0) {
      continue;
    }
    auto it = watches.find(ids[i]);
    if (it != watches.end()) {
      Callback callback = it->second.second;
      callback();
    }
  }
  return true;
}

void ManualEventLoop::Advance(std::int64_t ms) {
  std::int64_t target = now + ms;
  for (;;) {
    // The earliest due timer within the step, in order.
    int nextIdDue = 0;
    std::int64_t nextDue = target + 1;
    for (const auto& [id, timer] : timers) {
      if (timer.due < nextDue) {
        nextDue = timer.due;
        nextIdDue = id;
      }
    }
    if (nextIdDue == 0) {
      break;
    }
    now = nextDue;
    auto it = timers.find(nextIdDue);
    Callback callback = it->second.callback;
    if (it->second.repeat) {
      it->second.due += it->second.interval > 0 ? it->second.interval : 1;
    } else {
      timers.erase(it);
    }
    callback();
  }
  now = target;
}

void ManualEventLoop::AdvanceToNextTimer(int maxWaitMs) {
  if (timers.empty()) {
    return;
  }
  std::int64_t due = timers.begin()->second.due;
  for (const auto& [id, timer] : timers) {
    due = timer.due < due ? timer.due : due;
  }
  std::int64_t step = due > now ? due - now : 0;
  if (maxWaitMs >= 0 && step > maxWaitMs) {
    step = maxWaitMs;
  }
  Advance(step);
}

bool ManualEventLoop::RunUntil(const std::function<bool()>& done, int timeoutMs) {
  auto start = std::chrono::steady_clock::now();
  while (!done()) {
    if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(timeoutMs)) {
      return false;
    }
    if (!ProcessEvents(20)) {
      // Nothing to wait for: let real time pass a little.
      poll(nullptr, 0, 5);
    }
  }
  return true;
}
