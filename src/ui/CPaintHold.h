#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Holds back the drawing of a window: the repaint requests Qt sends the
// window wait while the hold lasts, and at its end one repaint draws what
// changed meanwhile. Unlike turning the window's updates off and on, which
// has every widget in it drawn again, only the changed parts are drawn.
class CPaintHold : public QObject {
  Q_OBJECT

 public:
  explicit CPaintHold(QObject* parent = nullptr);
  ~CPaintHold() override;

  // Holds `window`'s drawing; a hold already on another window ends first.
  void Hold(QWidget* window);
  // Ends the hold; the window draws what it missed.
  void Release();
  bool Holding() const { return !held.isNull(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> held;
  bool missed = false;
};
