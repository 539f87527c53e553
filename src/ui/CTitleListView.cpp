#include "ui/CTitleListView.h"

#include <QHeaderView>

CTitleListView::CTitleListView(QWidget* parent) : QTableView(parent) {
  horizontalHeader()->hide();
  verticalHeader()->hide();
  setShowGrid(false);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  setTabKeyNavigation(false);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setStretchLastSection(true);
}

void CTitleListView::SetLineSize(int extent, int height) {
  horizontalHeader()->setMinimumSectionSize(extent);
  horizontalHeader()->setDefaultSectionSize(extent);
  verticalHeader()->setDefaultSectionSize(height);
}

QModelIndex CTitleListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  // In a table Home and End stay in the row; in a list they go to its ends.
  if (action == MoveHome || action == MoveEnd) {
    modifiers |= Qt::ControlModifier;
  }
  return QTableView::moveCursor(action, modifiers);
}
