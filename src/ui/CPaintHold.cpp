#include "ui/CPaintHold.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

CPaintHold::CPaintHold(QObject* parent) : QObject(parent) {}

CPaintHold::~CPaintHold() {
  Release();
}

void CPaintHold::Hold(QWidget* window) {
  if (held == window) {
    return;
  }
  Release();
  held = window;
  missed = false;
  if (window != nullptr) {
    window->installEventFilter(this);
  }
}

void CPaintHold::Release() {
  if (held.isNull()) {
    return;
  }
  QWidget* window = held;
  held.clear();
  window->removeEventFilter(this);
  if (missed) {
    // Qt asks once and waits for the answer before asking again: the
    // request held back is sent now.
    QCoreApplication::postEvent(window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
  }
}

bool CPaintHold::eventFilter(QObject* watched, QEvent* event) {
  if (watched == held && event->type() == QEvent::UpdateRequest) {
    missed = true;
    return true;
  }
  return false;
}
