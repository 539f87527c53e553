#pragma once

#include <QAbstractScrollArea>

#include "app/Signal.h"
#include "search/CBrowseList.h"

// The owner-drawn heading list of the List Browser and the basic mode page.
// It draws the loaded window of a CBrowseList from its top entry, selected
// entries in the highlight colours; its scroll bar stands for the whole list,
// not only the loaded window, and its moves become the list's window requests.
class CBrowseListWidget : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit CBrowseListWidget(CBrowseList& list, QWidget* parent = nullptr);

  // The entry drawn at `y` in the viewport, or -1.
  int EntryAtY(int y) const;
  // Height of one entry in pixels.
  int EntryHeight() const;

  // Re-reads the list: scroll bar, extent, drawing.
  void Refresh();

  // Arrow, page, Home and End keys typed here or in a text box that drives
  // the list; true when the key was one of them.
  bool HandleKey(int key);

 signals:
  void entryDoubleClicked(int entry);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void Measure();
  void OnScrollAction(int action);

  CBrowseList& list;
  bool refreshing = false;
  ConnectionBag connections;
};
