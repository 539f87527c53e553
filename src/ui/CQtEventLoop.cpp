#include "ui/CQtEventLoop.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QTimerEvent>
#include <algorithm>

CQtEventLoop::CQtEventLoop() {
  clock.start();
}

int CQtEventLoop::WatchReadable(int fd, Callback onReadable) {
  int id = nextId++;
  auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, &owner);
  QObject::connect(notifier, &QSocketNotifier::activated, &owner,
                   [callback = std::move(onReadable)] { callback(); });
  watches[id] = notifier;
  return id;
}

void CQtEventLoop::Unwatch(int watchId) {
  auto found = watches.find(watchId);
  if (found == watches.end()) {
    return;
  }
  // The callback may be the one unwatching: delete once it has returned.
  found->second->setEnabled(false);
  found->second->deleteLater();
  watches.erase(found);
}

int CQtEventLoop::StartTimer(int intervalMs, bool repeat, Callback onTimer) {
  int qtId = owner.startTimer(std::max(0, intervalMs));
  if (qtId == 0) {
    return 0;
  }
  int id = nextId++;
  timers[id] = {qtId, repeat, std::make_shared<Callback>(std::move(onTimer))};
  timerIds[qtId] = id;
  return id;
}

void CQtEventLoop::StopTimer(int timerId) {
  auto found = timers.find(timerId);
  if (found == timers.end()) {
    return;
  }
  owner.killTimer(found->second.qtId);
  timerIds.erase(found->second.qtId);
  timers.erase(found);
}

void CQtEventLoop::Owner::timerEvent(QTimerEvent* event) {
  loop.TimerFired(event->timerId());
}

void CQtEventLoop::TimerFired(int qtId) {
  auto id = timerIds.find(qtId);
  if (id == timerIds.end()) {
    return;
  }
  auto found = timers.find(id->second);
  std::shared_ptr<Callback> callback = found->second.callback;
  if (!found->second.repeat) {
    StopTimer(id->second);
  }
  (*callback)();
}

std::int64_t CQtEventLoop::NowMs() const {
  return clock.msecsSinceReference() + clock.elapsed();
}

bool CQtEventLoop::ProcessEvents(int maxWaitMs) {
  if (watches.empty() && timers.empty()) {
    return false;
  }
  if (maxWaitMs == 0) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return true;
  }
  // A timer of our own bounds the wait for the first event.
  QTimer wake;
  wake.setSingleShot(true);
  if (maxWaitMs > 0) {
    wake.start(maxWaitMs);
  }
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  return true;
}
