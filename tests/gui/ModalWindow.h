#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

// Runs `act` on the next modal window of type T as soon as it is up (while
// the code that opened it waits in its own loop). Gives up after the time
// limit, and the test then fails on what it expected. A dialog left open by
// a failed check is rejected, so a failure cannot hang the run.
template <typename T>
void WhenModal(std::function<void(T*)> act, int timeoutMs = 10000) {
  QDeadlineTimer deadline(timeoutMs);
  auto poll = std::make_shared<std::function<void()>>();
  // The timer's copy keeps the poll alive while it waits; nothing else does.
  std::weak_ptr<std::function<void()>> self = poll;
  *poll = [act, deadline, self] {
    T* modal = qobject_cast<T*>(QApplication::activeModalWidget());
    if (modal == nullptr) {
      if (!deadline.hasExpired()) {
        QTimer::singleShot(5, [again = self.lock()] { (*again)(); });
      }
      return;
    }
    act(modal);
    auto* dialog = qobject_cast<QDialog*>(modal);
    if (QTest::currentTestFailed() && dialog != nullptr && dialog->isVisible()) {
      dialog->reject();
    }
  };
  QTimer::singleShot(0, [poll] { (*poll)(); });
}
