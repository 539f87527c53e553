#pragma once

#include <QFont>
#include <QPointer>
#include <QWidget>
#include <vector>

#include "app/Signal.h"

class CTabView;

// A document window's tab view: draws the strip of tabs, passes mouse
// presses on to the tab view, and shows, hides, places and focuses the pages
// as the tab view says.
class CMainViewWidget : public QWidget {
  Q_OBJECT

 public:
  explicit CMainViewWidget(CTabView& view, QWidget* parent = nullptr);

  // Puts `page` behind tab `index`. `focusTarget` is the control that gets
  // the keyboard focus when the page comes to the front for the first time.
  void SetPage(int index, QWidget* page, QWidget* focusTarget);
  QWidget* Page(int index) const;
  QWidget* CurrentPage() const;

  // The label fonts: "Arial" 8 points at the screen's vertical resolution.
  QFont LabelFont(bool bold) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void Notify(int hint, int page);
  void Activate(int page);
  void LayoutPages();
  // Only the window the user works in takes the focus.
  bool OwnsFocus() const;

  CTabView& view;
  std::vector<QWidget*> pages;
  std::vector<QPointer<QWidget>> focusTargets;
  // The model's notifications to this view; released with it.
  ConnectionBag connections;
};
