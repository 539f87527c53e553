#include "driver/CBusyDialog.h"

#include "app/EventLoop.h"

CBusyDialog::CBusyDialog(EventLoop& loop) : loop(loop) {}

CBusyDialog::~CBusyDialog() {
  StopTimer();
}

void CBusyDialog::Changed() {
  onChanged();
}

void CBusyDialog::StopTimer() {
  if (timerRunning) {
    loop.StopTimer(timerId);
    timerRunning = false;
    timerId = 0;
  }
}

void CBusyDialog::Show(const std::string& newText) {
  text = newText;
  if (!shown) {
    shown = true;
    if (!timerRunning) {
      timedOut = 0;
      tickCount = 0;
      timerId = loop.StartTimer(kTickMs, true, [this] { OnTick(); });
      timerRunning = true;
    }
  }
  Changed();
}

void CBusyDialog::Watch(const std::string& newText) {
  text = newText;
  tickCount = 0;
  timedOut = 0;
  if (!timerRunning) {
    timerId = loop.StartTimer(kTickMs, true, [this] { OnTick(); });
    timerRunning = true;
  }
  if (shown) {
    Changed();
  }
}

void CBusyDialog::OnTick() {
  if (tickCount > kTickLimit) {
    StopTimer();
    tickCount = 0;
    timedOut = 1;
    Cancel();
    return;
  }
  ++tickCount;
  if (!shown) {
    if (tickCount < kRevealTicks) {
      return;
    }
    shown = true;
  }
  Changed();
}

void CBusyDialog::Cancel() {
  StopTimer();
  tickCount = 0;
  onCancel();
}

void CBusyDialog::Close() {
  StopTimer();
  tickCount = 0;
  if (shown) {
    shown = false;
    Changed();
  }
}
