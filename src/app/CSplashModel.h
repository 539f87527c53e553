#pragma once

#include <cstdint>

// When the splash window goes: 5 seconds after it was shown (checked when the
// program is idle) or at the first key or mouse press.
class CSplashModel {
 public:
  static constexpr std::int64_t kShowMs = 5000;
  // The splash window's timer keeps idle checks coming at least this often.
  static constexpr int kIdleTimerMs = 500;

  void Shown(std::int64_t nowMs) {
    shown = true;
    startMs = nowMs;
  }
  // Idle check; true when the window must close now.
  bool OnIdle(std::int64_t nowMs) {
    if (shown && nowMs - startMs >= kShowMs) {
      shown = false;
      return true;
    }
    return false;
  }
  // A key or mouse press anywhere; true when the window must close now.
  bool OnInput() {
    bool wasShown = shown;
    shown = false;
    return wasShown;
  }
  bool IsShown() const { return shown; }

 private:
  bool shown = false;
  std::int64_t startMs = 0;
};
