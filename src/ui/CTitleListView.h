#pragma once

#include <QTableView>

// The summary page's title list: one column of lines, one line high each.
// It is a one-column table rather than a list view because a table places
// its rows by a fixed row height: appending a chunk of titles to a long list
// costs no pass over the rows already there, where a list view lays every
// row out again. A row's text is laid out once and drawn from that copy.
// It behaves as a list: no headers or grid, whole lines selected, Tab
// leaves it, Home and End go to the first and last line. Rows appended at
// the end draw only themselves: the lines above them stay as drawn.
class CTitleListView : public QTableView {
  Q_OBJECT

 public:
  explicit CTitleListView(QWidget* parent = nullptr);

  // A line's height in the current font; the column is at least
  // `extent` pixels wide, wider when the view is.
  void SetLineSize(int extent, int height);

 public slots:
  void reset() override;

 public:
  void doItemsLayout() override;

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  void rowsInserted(const QModelIndex& parent, int start, int end) override;
  void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

 private:
  // The vertical scroll bar's range for `rows` lines, when only lines were
  // added since the last layout.
  void ExtendScrollRange(int rows);

  // Rows at the last layout; -1 when the next one must lay out and draw
  // everything.
  int laidOutRows = -1;
};
