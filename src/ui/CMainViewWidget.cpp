#include "ui/CMainViewWidget.h"

#include <QFrame>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "doc/CTabView.h"
#include "ui/CQtUi.h"

CMainViewWidget::CMainViewWidget(CTabView& view, QWidget* parent) : QWidget(parent), view(view) {
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Button);
  pages.resize(view.Tabs().size(), nullptr);
  focusTargets.resize(view.Tabs().size());
  QPointer<CMainViewWidget> self(this);
  connections += view.onNotify.Connect([self](int hint, int page) {
    if (self) {
      self->Notify(hint, page);
    }
  });
  connections += view.onActivate.Connect([self](int page) {
    if (self) {
      self->Activate(page);
    }
  });
  connections += view.onChanged.Connect([self] {
    if (self) {
      self->update();
    }
  });
}

void CMainViewWidget::SetPage(int index, QWidget* page, QWidget* focusTarget) {
  if (index < 0 || static_cast<std::size_t>(index) >= pages.size()) {
    return;
  }
  auto i = static_cast<std::size_t>(index);
  pages[i] = page;
  focusTargets[i] = focusTarget;
  page->setParent(this);
  // Every page has a thin border of its own.
  if (auto* frame = qobject_cast<QFrame*>(page)) {
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setLineWidth(1);
  }
  page->setVisible(index == view.Selected());
  LayoutPages();
}

QWidget* CMainViewWidget::Page(int index) const {
  return index >= 0 && static_cast<std::size_t>(index) < pages.size()
             ? pages[static_cast<std::size_t>(index)]
             : nullptr;
}

QWidget* CMainViewWidget::CurrentPage() const {
  return Page(view.Selected());
}

void CMainViewWidget::Notify(int hint, int page) {
  QWidget* widget = Page(page);
  if (widget == nullptr) {
    return;
  }
  if (hint == CTabView::kHintPageLeaving) {
    widget->hide();
  } else if (hint == CTabView::kHintPageShown) {
    widget->show();
  }
}

bool CMainViewWidget::OwnsFocus() const {
  for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
      return sub->mdiArea() == nullptr || sub->mdiArea()->currentSubWindow() == sub;
    }
  }
  return true;
}

void CMainViewWidget::Activate(int page) {
  QWidget* widget = Page(page);
  if (widget == nullptr || !OwnsFocus()) {
    return;
  }
  QWidget* focus = window()->focusWidget();
  // A control of the page that already has the focus keeps it.
  if (focus != nullptr && widget->isAncestorOf(focus)) {
    return;
  }
  QWidget* target = focusTargets[static_cast<std::size_t>(page)];
  if (target != nullptr && target->isVisible() && target->isEnabled()) {
    target->setFocus(Qt::OtherFocusReason);
  } else {
    widget->setFocus(Qt::OtherFocusReason);
  }
}

void CMainViewWidget::LayoutPages() {
  CTabView::Rect rect = view.PageRect(width(), height());
  for (QWidget* page : pages) {
    if (page != nullptr) {
      page->setGeometry(rect.left, rect.top, std::max(0, rect.right - rect.left),
                        std::max(0, rect.bottom - rect.top));
    }
  }
}

void CMainViewWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutPages();
}

void CMainViewWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  QPoint at = event->position().toPoint();
  view.PressAt(at.x(), at.y());
  event->accept();
}

QFont CMainViewWidget::LabelFont(bool bold) const {
  QFont font("Arial");
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(8.0 * logicalDpiY() / 72.0))));
  font.setWeight(bold ? QFont::Bold : QFont::Normal);
  return font;
}

void CMainViewWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QPalette& pal = palette();
  painter.fillRect(rect(), pal.color(QPalette::Button));
  // Window frame, button shadow and button highlight: light on the top and
  // left inside a shadow line, dark on the bottom and right.
  QPen frame(pal.color(QPalette::Shadow));
  QPen shadow(pal.color(QPalette::Dark));
  QPen light(pal.color(QPalette::Light));
  auto line = [&painter](const QPen& pen, int x1, int y1, int x2, int y2) {
    painter.setPen(pen);
    painter.drawLine(x1, y1, x2, y2);
  };

  const int m = CTabView::kMargin;
  const int left = m;
  const int top = m + CTabView::kTabHeight;
  const int right = width() - m - 1;
  const int bottom = height() - m - 1;

  // The outline around the pages, open under the tab in front.
  CTabView::Rect front = view.TabRect(view.Selected());
  if (view.Selected() >= 0) {
    line(shadow, left, top, front.left, top);
    line(light, left + 1, top + 1, front.left + 1, top + 1);
    line(shadow, front.right - 1, top, right, top);
    line(light, front.right - 2, top + 1, right - 1, top + 1);
  } else {
    line(shadow, left, top, right, top);
    line(light, left + 1, top + 1, right - 1, top + 1);
  }
  line(shadow, left, top, left, bottom);
  line(light, left + 1, top + 1, left + 1, bottom - 1);
  line(frame, left, bottom, right, bottom);
  line(frame, right, top, right, bottom);
  line(shadow, left + 1, bottom - 1, right - 1, bottom - 1);
  line(shadow, right - 1, top + 1, right - 1, bottom - 1);

  const auto& tabs = view.Tabs();
  for (int i = 0; i < static_cast<int>(tabs.size()); ++i) {
    const CTabView::Tab& tab = tabs[static_cast<std::size_t>(i)];
    bool selected = i == view.Selected();
    CTabView::Rect r = view.TabRect(i);
    // The tab in front stands 2 pixels taller and runs into its page; the
    // others stand on the outline.
    int t = selected ? m : m + 2;
    int b = selected ? top + 1 : top - 1;
    int l = r.left;
    int rt = r.right - 1;
    // A repaint of part of a page (its counter, say) leaves the tabs alone.
    if (!event->region().intersects(QRect(l, t, rt - l + 1, b - t + 1))) {
      continue;
    }
    line(shadow, l, b, l, t + 2);
    line(shadow, l + 1, t + 1, l + 1, t + 1);
    line(shadow, l + 2, t, rt - 2, t);
    line(light, l + 1, b, l + 1, t + 2);
    line(light, l + 2, t + 1, rt - 2, t + 1);
    line(frame, rt - 1, t + 1, rt - 1, t + 1);
    line(frame, rt, t + 2, rt, b);
    line(shadow, rt - 1, t + 2, rt - 1, b);

    painter.setFont(LabelFont(selected));
    painter.setPen(tab.enabled ? pal.color(QPalette::ButtonText)
                               : pal.color(QPalette::Disabled, QPalette::Text));
    QRect textRect(l + 2, t + 2, rt - l - 3, top - t - 2);
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic,
                     CQtUi::ToQString(tab.label));
  }
}
