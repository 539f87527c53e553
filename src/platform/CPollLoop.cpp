#include "platform/CPollLoop.h"

#include <poll.h>

#include <cerrno>
#include <ctime>
#include <vector>

int CPollLoop::WatchReadable(int fd, Callback onReadable) {
  int id = nextId++;
  watches[id] = Watch{fd, std::move(onReadable)};
  return id;
}

void CPollLoop::Unwatch(int watchId) {
  watches.erase(watchId);
}

int CPollLoop::StartTimer(int intervalMs, bool repeat, Callback onTimer) {
  int id = nextId++;
  if (intervalMs < 0) {
    intervalMs = 0;
  }
  timers[id] = Timer{MonotonicMs() + intervalMs, intervalMs, repeat, std::move(onTimer)};
  return id;
}

void CPollLoop::StopTimer(int timerId) {
  timers.erase(timerId);
}

std::int64_t CPollLoop::MonotonicMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

int CPollLoop::WaitBudget(int maxWaitMs) const {
  int wait = maxWaitMs;
  std::int64_t now = MonotonicMs();
  for (const auto& [id, timer] : timers) {
    std::int64_t left = timer.due - now;
    if (left < 0) {
      left = 0;
    }
    if (wait < 0 || left < wait) {
      wait = static_cast<int>(left);
    }
  }
  return wait;
}

bool CPollLoop::FireDueTimers() {
  bool fired = false;
  std::int64_t now = MonotonicMs();
  // Collect first: a callback may start or stop timers.
  std::vector<int> due;
  for (const auto& [id, timer] : timers) {
    if (timer.due <= now) {
      due.push_back(id);
    }
  }
  for (int id : due) {
    auto it = timers.find(id);
    if (it == timers.end()) {
      continue;
    }
    Callback callback = it->second.callback;
    if (it->second.repeat) {
      it->second.due = now + (it->second.interval > 0 ? it->second.interval : 1);
    } else {
      timers.erase(it);
    }
    fired = true;
    callback();
  }
  return fired;
}

bool CPollLoop::ProcessEvents(int maxWaitMs) {
  if (watches.empty() && timers.empty()) {
    return false;
  }
  std::vector<pollfd> fds;
  std::vector<int> ids;
  for (const auto& [id, watch] : watches) {
    fds.push_back(pollfd{watch.fd, POLLIN, 0});
    ids.push_back(id);
  }
  int wait = WaitBudget(maxWaitMs);
  int ready = poll(fds.data(), fds.size(), wait);
  if (ready < 0 && errno != EINTR) {
    return false;
  }
  for (size_t i = 0; ready > 0 && i < fds.size(); ++i) {
    if (fds[i].revents == 0) {
      continue;
    }
    auto it = watches.find(ids[i]);
    if (it != watches.end()) {
      Callback callback = it->second.callback;
      callback();
    }
  }
  FireDueTimers();
  return true;
}
