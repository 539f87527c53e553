#include "ui/CRecordPage.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextCursor>
#include <algorithm>

#include "external/CHelpTopics.h"
#include "output/CAbstract.h"
#include "ui/CFontDlgView.h"
#include "ui/CHelpWindow.h"

namespace {

// The text area leaves this much of the page to its right and below it; the
// buttons stand this far under it.
constexpr int kRightMargin = 10;
constexpr int kBottomMargin = 35;
constexpr int kButtonTopGap = 6;
constexpr int kButtonGap = 4;

}  // namespace

CRecordPage::CRecordPage(CAbstract& record, QWidget* parent) : QFrame(parent), record(record) {
  text = new QPlainTextEdit(this);
  text->setReadOnly(true);
  text->setAccessibleName("Full record");
  // A caret to move and select with, as in the platform's read-only edit.
  text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  print = new QPushButton("&Print", this);
  copyText = new QPushButton("Copy Text", this);
  saveMail = new QPushButton("Save/Mail", this);
  help = new QPushButton("Help", this);
  // Printing, saving and the help pages come with their own windows.
  print->setEnabled(false);
  saveMail->setEnabled(false);
  connect(help, &QPushButton::clicked, this,
          [] { CHelpWindow::ShowTopic(CHelpTopics::kFullRecordTopic); });
  connect(copyText, &QPushButton::clicked, this, [this] { Copy(); });

  QPointer<CRecordPage> self(this);
  connections += record.onTextInserted.Connect([self](std::size_t at, const std::string& inserted) {
    if (self) {
      self->TextInserted(at, inserted.size());
    }
  });
  connections += record.onTextCleared.Connect([self] {
    if (self) {
      self->TextCleared();
    }
  });
  connections += record.onChanged.Connect([self] {
    if (self) {
      self->Refresh();
    }
  });
  Refresh();
}

void CRecordPage::TextInserted(std::size_t at, std::size_t length) {
  CDisplayText::Insertion insertion = shownText.Insert(record.Text(), at, length);
  QTextCursor cursor(text->document());
  cursor.setPosition(insertion.position);
  cursor.insertText(insertion.text);
}

void CRecordPage::TextCleared() {
  shownText.Clear();
  text->clear();
  shownStart = shownEnd = 0;
}

void CRecordPage::Refresh() {
  QFont font = CFontDlgView::ToQFont(record.font);
  if (font != appliedFont) {
    appliedFont = font;
    text->setFont(font);
  }
  copyText->setEnabled(record.buttonsEnabled);
  text->setUpdatesEnabled(record.redrawEnabled);
  if (record.SelectionStart() != shownStart || record.SelectionEnd() != shownEnd) {
    ShowSelection();
  }
}

void CRecordPage::ShowSelection() {
  const std::string& all = record.Text();
  shownStart = record.SelectionStart();
  shownEnd = record.SelectionEnd();
  QTextCursor cursor(text->document());
  cursor.setPosition(std::min(shownText.ToPosition(all, shownStart), shownText.Length()));
  cursor.setPosition(std::min(shownText.ToPosition(all, shownEnd), shownText.Length()),
                     QTextCursor::KeepAnchor);
  text->setTextCursor(cursor);
  text->ensureCursorVisible();
}

void CRecordPage::PushSelection() {
  const std::string& all = record.Text();
  QTextCursor cursor = text->textCursor();
  shownStart = shownText.ToOffset(all, cursor.selectionStart());
  shownEnd = shownText.ToOffset(all, cursor.selectionEnd());
  record.SetSelection(shownStart, shownEnd);
}

void CRecordPage::Copy() {
  PushSelection();
  record.Copy();
}

void CRecordPage::FindText() {
  PushSelection();
  record.FindText();
}

void CRecordPage::FindNext() {
  record.FindNext();
}

void CRecordPage::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  LayoutControls();
}

void CRecordPage::LayoutControls() {
  QRect area = contentsRect();
  int textWidth = std::max(0, area.width() - kRightMargin);
  text->setGeometry(area.left(), area.top(), textWidth, std::max(0, area.height() - kBottomMargin));
  int y = text->geometry().bottom() + 1 + kButtonTopGap;
  int x = area.left();
  for (QPushButton* button : {print, copyText, saveMail}) {
    QSize size = button->sizeHint();
    button->setGeometry(x, y, size.width(), size.height());
    x += size.width() + kButtonGap;
  }
  // Help stands near the middle, but never on top of Save/Mail.
  QSize size = help->sizeHint();
  int helpLeft = std::max(area.left() + textWidth / 2 - 10, x);
  help->setGeometry(helpLeft, y, size.width(), size.height());
}
