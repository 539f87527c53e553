#pragma once

#include <QDialog>
#include <QPalette>
#include <QRect>

#include "app/Signal.h"

class CBusyDialog;
class QLabel;
class QPainter;
class QPushButton;

// The modeless busy window of one document: the driver's progress text, the
// sixteen-frame animation and Cancel. It shows, hides and redraws itself as
// CBusyDialog changes; Cancel, Escape and the close box all ask the model.
class CBusyWindow : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kAnimationSize = 32;

  CBusyWindow(CBusyDialog& busy, QWidget* parent);
  ~CBusyWindow() override;

  // Re-reads the model: visibility, text and animation frame.
  void Refresh();

  QLabel* TextLabel() const { return text; }
  QPushButton* CancelButton() const { return cancel; }
  // Where the animation is drawn, in the window's own coordinates.
  static QRect AnimationRect() { return QRect(5, 5, kAnimationSize, kAnimationSize); }
  // One frame of the animation, as it is drawn, in the colours of `palette`
  // so a dark or high-contrast theme keeps it visible.
  static void DrawFrame(QPainter& painter, const QRect& rect, int frame,
                        const QPalette& palette = QPalette());

 public slots:
  void reject() override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CBusyDialog& busy;
  QLabel* text = nullptr;
  QPushButton* cancel = nullptr;
  int shownFrame = -1;
  // The model's notifications to this view; released with it.
  ConnectionBag connections;
};
