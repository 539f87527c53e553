#include "ui/CSummaryPage.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "external/CHelpTopics.h"
#include "ui/CFontDlgView.h"
#include "ui/CHelpWindow.h"
#include "ui/CPaintHold.h"
#include "ui/CQtUi.h"
#include "ui/CResultOutputActions.h"
#include "ui/CTitleListModel.h"
#include "ui/CTitleListView.h"
#include "ui/SteadySize.h"

CSummaryPage::CSummaryPage(CListSummary& summary, QWidget* parent)
    : QFrame(parent), summary(summary) {
  summary.doubleClickMs = QApplication::doubleClickInterval();

  // The buttons stand in a column beside the whole divider, so the list and
  // the text both have the page's full height to share and grow with it.
  auto* layout = new QHBoxLayout(this);
  divider = new QSplitter(Qt::Vertical, this);
  divider->setChildrenCollapsible(false);
  layout->addWidget(divider, 1);

  list = new CTitleListView(divider);
  titles = new CTitleListModel(summary.Titles(), this);
  list->setModel(titles);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setContextMenuPolicy(Qt::CustomContextMenu);
  list->setAccessibleName("Titles");
  divider->addWidget(list);

  text = new QPlainTextEdit(divider);
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  text->setContextMenuPolicy(Qt::CustomContextMenu);
  text->setAccessibleName("Summary");
  divider->addWidget(text);

  auto* column = new QVBoxLayout;
  counter = new QGroupBox(this);
  auto* counterLayout = new QVBoxLayout(counter);
  more = new QPushButton(counter);
  counterLayout->addWidget(more);
  column->addWidget(counter);
  retrieveFull = new QPushButton("Retrieve Full", this);
  saveMail = new QPushButton("Save/Mail", this);
  print = new QPushButton("Print", this);
  help = new QPushButton("Help", this);
  // Saving, printing and the help pages come with their own windows.
  saveMail->setEnabled(false);
  print->setEnabled(false);
  connect(help, &QPushButton::clicked, this,
          [] { CHelpWindow::ShowTopic(CHelpTopics::kSummaryTopic); });
  for (QPushButton* button : {retrieveFull, saveMail, print, help}) {
    column->addWidget(button);
  }
  column->addStretch(1);
  layout->addLayout(column);
  // The list takes the larger share as the page grows.
  divider->setStretchFactor(0, 3);
  divider->setStretchFactor(1, 2);

  connect(more, &QPushButton::clicked, this, [this] { this->summary.More(); });
  connect(retrieveFull, &QPushButton::clicked, this, [this] { this->summary.RetrieveFull(); });
  connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { ListSelectionChanged(); });
  connect(list, &QAbstractItemView::doubleClicked, this, [this] { this->summary.DoubleClick(); });
  connect(list, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    std::unique_ptr<QMenu> menu(NewTitleMenu());
    menu->exec(list->viewport()->mapToGlobal(at));
  });
  connect(text, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    std::unique_ptr<QMenu> menu(NewSummaryMenu());
    menu->exec(text->viewport()->mapToGlobal(at));
  });

  refreshTimer = new QTimer(this);
  refreshTimer->setSingleShot(true);
  refreshTimer->setInterval(kBatchRefreshMs);
  connect(refreshTimer, &QTimer::timeout, this, [this] { Refresh(); });
  paintHold = new CPaintHold(this);
  paintTimer = new QTimer(this);
  paintTimer->setSingleShot(true);
  connect(paintTimer, &QTimer::timeout, this, [this] { ReleaseDrawing(); });

  QPointer<CSummaryPage> self(this);
  connections += summary.onTitleAdded.Connect([self](int index) {
    if (self) {
      // Counted only: the rows and the counter follow at the next refresh.
      self->titles->TitleAdded(index);
      if (!self->refreshTimer->isActive()) {
        self->refreshTimer->start();
      }
    }
  });
  connections += summary.onListCleared.Connect([self] {
    if (self) {
      self->titles->Cleared();
      self->shownSelection.clear();
    }
  });
  connections += summary.onSummaryAppended.Connect([self](const std::string& appended) {
    if (self) {
      self->SummaryAppended(appended.size());
    }
  });
  connections += summary.onSummaryCleared.Connect([self] {
    if (self) {
      self->SummaryCleared();
    }
  });
  connections += summary.onChanged.Connect([self] {
    if (self) {
      self->RefreshSoon();
    }
  });
  Refresh();
}

QMenu* CSummaryPage::NewTitleMenu() {
  auto* menu = new QMenu(this);
  if (outputActions) {
    outputActions->AddListEntries(menu);
    menu->addSeparator();
  }
  connect(menu->addAction("Retrieve Full"), &QAction::triggered, this,
          [this] { summary.RetrieveFull(); });
  return menu;
}

QMenu* CSummaryPage::NewSummaryMenu() {
  auto* menu = new QMenu(this);
  menu->setSeparatorsCollapsible(false);
  if (outputActions) {
    outputActions->AddSummaryEntries(menu);
  }
  menu->addSeparator();
  menu->addSeparator();
  connect(menu->addAction("&Copy\tCtrl+C"), &QAction::triggered, this,
          [this] { Copy(CListSummary::Focus::Summary); });
  return menu;
}

void CSummaryPage::SummaryAppended(std::size_t length) {
  const std::string& all = summary.SummaryText();
  CDisplayText::Insertion insertion = shownText.Insert(all, all.size() - length, length);
  QTextCursor cursor(text->document());
  cursor.setPosition(insertion.position);
  cursor.insertText(insertion.text);
}

void CSummaryPage::SummaryCleared() {
  shownText.Clear();
  text->clear();
}

void CSummaryPage::ListSelectionChanged() {
  if (pushingSelection) {
    return;
  }
  std::vector<int> rows;
  for (const QItemSelectionRange& range : list->selectionModel()->selection()) {
    for (int row = range.top(); row <= range.bottom(); ++row) {
      rows.push_back(row);
    }
  }
  pushingSelection = true;
  summary.SetSelection(rows);
  pushingSelection = false;
  shownSelection = summary.Selection();
}

void CSummaryPage::ShowSelection() {
  const std::vector<int>& rows = summary.Selection();
  QItemSelection selection;
  for (std::size_t i = 0; i < rows.size();) {
    // Runs of lines become one range.
    std::size_t j = i;
    while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) {
      ++j;
    }
    selection.select(titles->index(rows[i]), titles->index(rows[j]));
    i = j + 1;
  }
  pushingSelection = true;
  list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  pushingSelection = false;
  shownSelection = rows;
}

void CSummaryPage::ApplyFont() {
  QFont font = CFontDlgView::ToQFont(summary.font);
  if (font == appliedFont) {
    return;
  }
  appliedFont = font;
  list->setFont(font);
  text->setFont(font);
  QStyleOptionViewItem option;
  option.initFrom(list);
  option.font = font;
  option.fontMetrics = QFontMetrics(font);
  option.features = QStyleOptionViewItem::HasDisplay;
  option.text = QStringLiteral("Xg");
  QSize line = list->style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), list);
  list->SetLineSize(kListExtent, line.height());
}

void CSummaryPage::RefreshSoon() {
  if (!summary.ShowsWaitCursor()) {
    Refresh();
    return;
  }
  // The rows that arrived meanwhile come with the next refresh.
  if (!refreshTimer->isActive()) {
    refreshTimer->start();
  }
}

void CSummaryPage::Refresh() {
  refreshTimer->stop();
  titles->ShowArrived();
  ApplyFont();
  counter->setTitle(CQtUi::ToQString(summary.counterText));
  more->setText(CQtUi::ToQString(summary.moreLabel));
  more->setEnabled(summary.moreEnabled);
  // The counter changes with every batch; as wide as the buttons below it,
  // or wider for a longer count.
  int column = 0;
  for (QPushButton* button : {retrieveFull, saveMail, print, help}) {
    column = std::max(column, button->sizeHint().width());
  }
  KeepSteadySize(counter, counter->sizeHint().expandedTo(QSize(column, 0)));
  // Drawing waits while a batch arrives.
  list->setUpdatesEnabled(summary.listRedraw);
  text->setUpdatesEnabled(summary.summaryRedraw);
  if (!pushingSelection && summary.Selection() != shownSelection) {
    ShowSelection();
  }
  PaceDrawing();
}

void CSummaryPage::ReleaseDrawing() {
  paintTimer->stop();
  lastDrawn.start();
  paintHold->Release();
}

CSummaryPage::~CSummaryPage() {
  ReleaseDrawing();
}

void CSummaryPage::PaceDrawing() {
  if (paintTimer->isActive()) {
    return;  // the held-back drawing comes when the timer runs out
  }
  if (lastDrawn.isValid() && lastDrawn.elapsed() < kMinPaintIntervalMs) {
    // The whole window waits: each batch also changes the status line, the
    // toolbar and the counter around the list.
    paintHold->Hold(window());
    paintTimer->start(static_cast<int>(kMinPaintIntervalMs - lastDrawn.elapsed()));
    return;
  }
  lastDrawn.start();
}

void CSummaryPage::Copy() {
  QWidget* focus = window()->focusWidget();
  bool inText = focus != nullptr && (focus == text || text->isAncestorOf(focus));
  Copy(inText ? CListSummary::Focus::Summary : CListSummary::Focus::List);
}

void CSummaryPage::Copy(CListSummary::Focus which) {
  summary.SetFocus(which);
  if (which == CListSummary::Focus::Summary) {
    const std::string& all = summary.SummaryText();
    QTextCursor cursor = text->textCursor();
    summary.SetSummarySelection(shownText.ToOffset(all, cursor.selectionStart()),
                                shownText.ToOffset(all, cursor.selectionEnd()));
  }
  summary.Copy();
  if (which == CListSummary::Focus::Summary) {
    // With nothing selected the whole text was taken: show it selected.
    const std::string& all = summary.SummaryText();
    QTextCursor cursor(text->document());
    cursor.setPosition(shownText.ToPosition(all, summary.SummarySelectionStart()));
    cursor.setPosition(shownText.ToPosition(all, summary.SummarySelectionEnd()),
                       QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
  }
}

void CSummaryPage::SetOutputActions(CResultOutputActions* actions) {
  outputActions = actions;
}
