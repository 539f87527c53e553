#pragma once

#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "app/CSplashModel.h"

// The splash window: a modeless dialog over the main window that goes after
// five seconds or at the first key or mouse press anywhere in the program.
// CSplashModel decides when; this window only asks it.
class CSplashWindow : public QDialog {
  Q_OBJECT

 public:
  using Clock = std::function<std::int64_t()>;

  CSplashWindow(QWidget* frame, Clock clock);
  ~CSplashWindow() override;

  // Shows the window at its place over the frame and starts its time.
  void ShowSplash();
  // The idle check the timer runs; public so tests can run it at a chosen time.
  void CheckIdle();

  const CSplashModel& Model() const { return model; }
  const QTimer& IdleTimer() const { return idleTimer; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CloseSplash();

  QWidget* frame;
  Clock clock;
  CSplashModel model;
  QTimer idleTimer;
};
