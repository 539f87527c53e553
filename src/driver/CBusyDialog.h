#pragma once

#include <functional>
#include <string>

#include "app/Signal.h"

class EventLoop;

// The busy window shown while the driver works: its text, the 100 ms
// animation tick, the Cancel button and the 5-minute limit (3000 ticks).
class CBusyDialog {
 public:
  static constexpr int kTickMs = 100;
  static constexpr int kTickLimit = 3000;
  static constexpr int kFrames = 16;
  static constexpr int kRevealTicks = 5;

  explicit CBusyDialog(EventLoop& loop);
  ~CBusyDialog();

  // Sets the text and shows the window when it is not up yet.
  void Show(const std::string& newText);
  // A wait that is usually short (a title, a summary): the limit and Cancel
  // hold from now on, but the window only shows once the wait has lasted
  // kRevealTicks, so quick replies don't flash it. Each call starts the limit
  // anew: it counts per request.
  void Watch(const std::string& newText);
  // After a reply ended the wait.
  void Close();
  // The Cancel button, and the limit.
  void Cancel();
  void OnTick();

  bool IsShown() const { return shown; }
  // A wait with a limit is running, shown or not yet.
  bool Waiting() const { return timerRunning; }
  const std::string& Text() const { return text; }
  int Frame() const { return tickCount % kFrames; }

  std::string text;
  int tickCount = 0;
  bool timerRunning = false;
  int timedOut = 0;

  // Runs the cancel operation of the search view.
  Signal<> onCancel;
  // Shown, hidden, text or frame changed: views redraw.
  Signal<> onChanged;

 private:
  void StopTimer();
  void Changed();

  EventLoop& loop;
  bool shown = false;
  int timerId = 0;
};
