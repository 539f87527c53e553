#include "ui/CTitleListView.h"

#include <QApplication>
#include <QCache>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

// Draws a line's text from a laid-out copy kept per row: laying a title out
// (shaping every character) is most of what drawing a row costs, and the
// rows on screen are drawn again each time a batch of titles arrives.
class CTitleDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QWidget* widget = item.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    QString text = item.text;
    // The style draws the row's background, selection and focus; the text
    // comes after.
    item.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    QPalette::ColorGroup group = (item.state & QStyle::State_Enabled) == 0  ? QPalette::Disabled
                                 : (item.state & QStyle::State_Active) != 0 ? QPalette::Normal
                                                                            : QPalette::Inactive;
    QPalette::ColorRole role =
        (item.state & QStyle::State_Selected) != 0 ? QPalette::HighlightedText : QPalette::Text;
    int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    QRect area = item.rect.adjusted(margin, 0, -margin, 0);
    const QStaticText& laidOut = LaidOut(index.row(), text, item.font);
    painter->save();
    painter->setClipRect(area, Qt::IntersectClip);
    painter->setPen(item.palette.color(group, role));
    painter->setFont(item.font);
    int top = area.top() + (area.height() - QFontMetrics(item.font).height()) / 2;
    painter->drawStaticText(QPoint(area.left(), top), laidOut);
    painter->restore();
  }

 private:
  // Enough for the rows of a tall screen and those scrolled past lately.
  static constexpr int kRowsKept = 512;

  const QStaticText& LaidOut(int row, const QString& text, const QFont& font) const {
    if (font != laidOutFont) {
      laidOut.clear();
      laidOutFont = font;
    }
    QStaticText* kept = laidOut.object(row);
    if (kept == nullptr || kept->text() != text) {
      kept = new QStaticText(text);
      kept->setTextFormat(Qt::PlainText);
      kept->setPerformanceHint(QStaticText::AggressiveCaching);
      kept->prepare(QTransform(), font);
      laidOut.insert(row, kept);
    }
    return *kept;
  }

  mutable QCache<int, QStaticText> laidOut{kRowsKept};
  mutable QFont laidOutFont;
};

}  // namespace

CTitleListView::CTitleListView(QWidget* parent) : QTableView(parent) {
  setItemDelegate(new CTitleDelegate(this));
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

void CTitleListView::reset() {
  laidOutRows = -1;
  QTableView::reset();
}

void CTitleListView::rowsInserted(const QModelIndex& parent, int start, int end) {
  // Only rows added at the end leave the others in place.
  int rows = model()->rowCount(rootIndex());
  if (parent != rootIndex() || end != rows - 1) {
    laidOutRows = -1;
  }
  QTableView::rowsInserted(parent, start, end);
}

void CTitleListView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
  laidOutRows = -1;
  QTableView::rowsAboutToBeRemoved(parent, start, end);
}

void CTitleListView::doItemsLayout() {
  int rows = model() != nullptr ? model()->rowCount(rootIndex()) : 0;
  if (laidOutRows < 0 || rows <= laidOutRows) {
    QTableView::doItemsLayout();
    laidOutRows = rows;
    return;
  }
  // Lines were appended: the scroll bars take the new length, and of the
  // list only the part from the first new line down is drawn again. While
  // titles stream in below the lines in sight, nothing of the list is.
  ExtendScrollRange(rows);
  int top = rowViewportPosition(laidOutRows);
  QRect below(0, std::max(0, top), viewport()->width(), viewport()->height());
  if (top < viewport()->height()) {
    viewport()->update(below);
  }
  laidOutRows = rows;
}

void CTitleListView::ExtendScrollRange(int rows) {
  QScrollBar* bar = verticalScrollBar();
  int height = viewport()->height();
  int line = rowHeight(0);
  // A bar about to appear takes room from the lines: the whole layout
  // follows. Otherwise only its range grows, as a full layout would set it.
  if (bar->maximum() <= 0 || !bar->isVisible() || line <= 0 || height < line) {
    updateGeometries();
    return;
  }
  if (verticalScrollMode() == ScrollPerPixel) {
    bar->setRange(0, verticalHeader()->length() - height);
    return;
  }
  // By line: the last page holds as many whole lines as fit.
  int fit = std::min(rows, height / line);
  bar->setPageStep(fit);
  bar->setRange(0, rows - fit);
}
