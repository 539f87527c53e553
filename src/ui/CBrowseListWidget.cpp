#include "ui/CBrowseListWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <algorithm>

#include "ui/CQtUi.h"

namespace {

constexpr int kTextMargin = 3;
// Columns stand at tab stops of 7 pixels per character of their width.
constexpr int kTabPixelsPerChar = 7;
constexpr int kUnlimitedColumnChars = 30;

}  // namespace

CBrowseListWidget::CBrowseListWidget(CBrowseList& list, QWidget* parent)
    : QAbstractScrollArea(parent), list(list) {
  setFocusPolicy(Qt::StrongFocus);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
          &CBrowseListWidget::OnScrollAction);
  connect(verticalScrollBar(), &QScrollBar::sliderReleased, this, [this] {
    this->list.ThumbTo(verticalScrollBar()->sliderPosition());
    Refresh();
  });
  QPointer<CBrowseListWidget> self(this);
  connections += list.changed.Connect([self] {
    if (self) {
      self->Refresh();
    }
  });
  // The first window is asked for once the view has measured itself.
  connections += list.headerRead.Connect([self] {
    if (self) {
      self->Measure();
    }
  });
  Measure();
  Refresh();
}

int CBrowseListWidget::EntryHeight() const {
  int lines = list.HeaderRead() ? std::max(1, list.ListHeader().linesPerEntry) : 1;
  return fontMetrics().lineSpacing() * lines;
}

void CBrowseListWidget::Measure() {
  int visible = viewport()->height() / EntryHeight() - 1;
  list.SetVisibleCount(std::max(1, visible));
}

int CBrowseListWidget::EntryAtY(int y) const {
  if (y < 0) {
    return -1;
  }
  int entry = list.Top() + y / EntryHeight();
  return list.EntryAt(entry) != nullptr ? entry : -1;
}

void CBrowseListWidget::Refresh() {
  refreshing = true;
  QScrollBar* bar = verticalScrollBar();
  bar->setRange(0, std::max(0, list.ScrollRange() - 1));
  bar->setPageStep(std::max(1, list.VisibleEntries() / list.ScrollScale()));
  if (!bar->isSliderDown()) {
    bar->setValue(list.ScrollPosition());
  }
  QScrollBar* across = horizontalScrollBar();
  across->setRange(0, std::max(0, list.HorizontalExtent() - viewport()->width()));
  across->setPageStep(std::max(1, viewport()->width()));
  refreshing = false;
  viewport()->update();
}

void CBrowseListWidget::OnScrollAction(int action) {
  if (refreshing) {
    return;
  }
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      list.ScrollBy(CBrowseList::Scroll::LineUp);
      break;
    case QAbstractSlider::SliderSingleStepAdd:
      list.ScrollBy(CBrowseList::Scroll::LineDown);
      break;
    case QAbstractSlider::SliderPageStepSub:
      list.ScrollBy(CBrowseList::Scroll::PageUp);
      break;
    case QAbstractSlider::SliderPageStepAdd:
      list.ScrollBy(CBrowseList::Scroll::PageDown);
      break;
    case QAbstractSlider::SliderToMinimum:
      list.ScrollBy(CBrowseList::Scroll::Top);
      break;
    case QAbstractSlider::SliderToMaximum:
      list.ScrollBy(CBrowseList::Scroll::Bottom);
      break;
    default:
      // Dragging: the list moves when the thumb is dropped.
      return;
  }
  // The scroll bar would move itself; it shows the list's position instead.
  QPointer<CBrowseListWidget> self(this);
  QMetaObject::invokeMethod(
      this,
      [self] {
        if (self) {
          self->Refresh();
        }
      },
      Qt::QueuedConnection);
}

void CBrowseListWidget::scrollContentsBy(int, int) {
  viewport()->update();
}

bool CBrowseListWidget::HandleKey(int key) {
  CBrowseList::Key browseKey;
  switch (key) {
    case Qt::Key_Up:
      browseKey = CBrowseList::Key::Up;
      break;
    case Qt::Key_Down:
      browseKey = CBrowseList::Key::Down;
      break;
    case Qt::Key_PageUp:
      browseKey = CBrowseList::Key::PageUp;
      break;
    case Qt::Key_PageDown:
      browseKey = CBrowseList::Key::PageDown;
      break;
    case Qt::Key_Home:
      browseKey = CBrowseList::Key::Home;
      break;
    case Qt::Key_End:
      browseKey = CBrowseList::Key::End;
      break;
    default:
      return false;
  }
  list.PressKey(browseKey);
  Refresh();
  return true;
}

void CBrowseListWidget::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() == Qt::NoModifier && HandleKey(event->key())) {
    event->accept();
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

void CBrowseListWidget::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  Measure();
  Refresh();
}

void CBrowseListWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    return;
  }
  int entry = EntryAtY(static_cast<int>(event->position().y()));
  if (entry >= 0) {
    list.Click(entry, (event->modifiers() & Qt::ControlModifier) != 0);
    Refresh();
  }
}

void CBrowseListWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  int entry = EntryAtY(static_cast<int>(event->position().y()));
  if (event->button() == Qt::LeftButton && entry >= 0) {
    emit entryDoubleClicked(entry);
  }
}

void CBrowseListWidget::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const QPalette& colours = palette();
  int lineHeight = fontMetrics().lineSpacing();
  int entryHeight = EntryHeight();
  int charWidth = std::max(kTabPixelsPerChar, fontMetrics().averageCharWidth());
  // Tab stops from the displayed columns' widths.
  std::vector<int> stops;
  if (list.HeaderRead()) {
    int x = 0;
    for (int index : list.ListHeader().displayOrder) {
      int width = list.ListHeader().columns[static_cast<std::size_t>(index)].width;
      x += charWidth * (width > 0 ? width : kUnlimitedColumnChars) + 2 * charWidth;
      stops.push_back(x);
    }
  }
  int dx = -horizontalScrollBar()->value() + kTextMargin;
  int y = 0;
  for (int entry = list.Top(); y < viewport()->height(); ++entry, y += entryHeight) {
    const CBrowseReply::Entry* loaded = list.EntryAt(entry);
    if (loaded == nullptr) {
      break;
    }
    QRect row(0, y, viewport()->width(), entryHeight);
    bool selected = list.IsSelected(entry);
    if (selected) {
      painter.fillRect(row, colours.brush(QPalette::Highlight));
    }
    painter.setPen(colours.color(selected ? QPalette::HighlightedText : QPalette::Text));
    QStringList lines = CQtUi::ToQString(loaded->display).split(QStringLiteral("\r\n"));
    for (int l = 0; l < lines.size(); ++l) {
      int baseline = y + l * lineHeight + fontMetrics().ascent();
      QStringList cells = lines[l].split('\t');
      for (int c = 0; c < cells.size(); ++c) {
        int x = c == 0 ? 0 : (c - 1 < static_cast<int>(stops.size()) ? stops[c - 1] : 0);
        painter.drawText(dx + x, baseline, cells[c]);
      }
    }
    if (entry == list.Current() && hasFocus()) {
      painter.setPen(QPen(colours.color(QPalette::Text), 1, Qt::DotLine));
      painter.drawRect(row.adjusted(0, 0, -1, -1));
    }
  }
}
