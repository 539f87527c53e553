#include "ui/CDocumentWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "doc/CDocBrowse.h"
#include "doc/CDocOutput.h"
#include "doc/CTmsfrmDoc.h"
#include "driver/CBusyDialog.h"
#include "driver/CDriverLink.h"
#include "driver/CListSummary.h"
#include "output/CAbstract.h"
#include "ui/CBasicModePage.h"
#include "ui/CMainViewWidget.h"
#include "ui/CRecordPage.h"
#include "ui/CResultOutputActions.h"
#include "ui/CSearchFormPage.h"
#include "ui/CSummaryPage.h"
#include "ui/CTitleListView.h"

namespace {

char KeyLetter(Qt::Key key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) {
    return static_cast<char>('A' + (key - Qt::Key_A));
  }
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    return static_cast<char>('0' + (key - Qt::Key_0));
  }
  return 0;
}

}  // namespace

CDocumentWindow::CDocumentWindow(CTmsfrmDoc& doc, QWidget* parent)
    : QWidget(parent), doc(doc), pendingKey(Qt::Key_unknown) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  view = new CMainViewWidget(doc.MainView(), this);
  layout->addWidget(view);

  searchPage = new CSearchFormPage(doc.Form());
  basicPage = new CBasicModePage(doc.Browse().Basic());
  summaryPage = new CSummaryPage(doc.Summary());
  recordPage = new CRecordPage(doc.Abstract());
  view->SetPage(CMainView::PAGE_CRITERIA, searchPage, searchPage->RowControls(0).termBox);
  view->SetPage(CMainView::PAGE_BASIC, basicPage, basicPage->TextBox());
  connect(searchPage->BrowseButton(), &QPushButton::clicked, this,
          [this] { this->doc.Browse().BrowseCommand(); });
  view->SetPage(CMainView::PAGE_SUMMARY, summaryPage, summaryPage->TitleList());
  view->SetPage(CMainView::PAGE_RECORD, recordPage, recordPage->Text());
  outputActions = new CResultOutputActions(doc.Output(), doc.Summary(), doc.Abstract(), summaryPage,
                                           recordPage, this);
  setFocusProxy(view);
  qApp->installEventFilter(this);
  Refresh();
}

CDocumentWindow::~CDocumentWindow() {
  qApp->removeEventFilter(this);
}

void CDocumentWindow::Refresh() {
  searchPage->Refresh();
}

QLabel* CDocumentWindow::HeadingLabel() const {
  return searchPage->StatusLine();
}

bool CDocumentWindow::CanRun(Command command) const {
  QWidget* focus = window()->focusWidget();
  bool textBoxFocused =
      qobject_cast<QLineEdit*>(focus) != nullptr && searchPage->isAncestorOf(focus);
  return doc.EditCommands().Available(command, textBoxFocused);
}

void CDocumentWindow::Run(Command command) {
  if (!CanRun(command)) {
    return;
  }
  int page = doc.MainView().Selected();
  switch (command) {
    case Command::Copy:
      if (page == CMainView::PAGE_CRITERIA) {
        // The search page's boxes copy for themselves.
        qobject_cast<QLineEdit*>(window()->focusWidget())->copy();
      } else if (page == CMainView::PAGE_SUMMARY) {
        summaryPage->Copy();
      } else {
        recordPage->Copy();
      }
      break;
    case Command::ClearAll:
      if (page == CMainView::PAGE_CRITERIA) {
        doc.Form().ClearAll();
      } else if (page == CMainView::PAGE_SUMMARY) {
        doc.Summary().Reset();
      } else {
        doc.Abstract().ClearText();
      }
      break;
    case Command::FindText:
      recordPage->FindText();
      break;
    case Command::FindNext:
      recordPage->FindNext();
      break;
    case Command::ChangeFont:
      doc.ChangeResultFont(page == CMainView::PAGE_SUMMARY ? doc.Summary().font
                                                           : doc.Abstract().font);
      break;
  }
}

std::function<void()> CDocumentWindow::MnemonicAction(Qt::Key key) {
  char letter = KeyLetter(key);
  if (letter == 0) {
    return {};
  }
  // The page's own buttons come first, as in a dialog.
  QWidget* page = view->CurrentPage();
  if (page != nullptr) {
    QKeySequence wanted(Qt::ALT | key);
    for (QAbstractButton* button : page->findChildren<QAbstractButton*>()) {
      if (button->isVisible() && button->isEnabled() &&
          QKeySequence::mnemonic(button->text()) == wanted) {
        return [target = QPointer<QAbstractButton>(button)] {
          if (target) {
            target->click();
          }
        };
      }
    }
  }
  // A tab that takes the letter has already come to the front.
  if (doc.MainView().AltKey(letter)) {
    return [] {};
  }
  return {};
}

std::function<void()> CDocumentWindow::KeyAction(QKeyCombination key) {
  Qt::KeyboardModifiers mods = key.keyboardModifiers() & ~Qt::KeypadModifier;
  Qt::Key k = key.key();
  int page = doc.MainView().Selected();
  auto command = [this](Command c) -> std::function<void()> {
    if (!CanRun(c)) {
      return {};
    }
    return [this, c] { Run(c); };
  };
  // The busy window does not take the keyboard from the page, so Escape
  // here is its Cancel.
  if (mods == Qt::NoModifier && k == Qt::Key_Escape && doc.Link().Busy().IsShown()) {
    return [this] { doc.Link().Busy().Cancel(); };
  }
  if (mods == Qt::AltModifier && k == Qt::Key_F3) {
    return command(Command::FindText);
  }
  if (mods == Qt::NoModifier && k == Qt::Key_F3) {
    return command(Command::FindNext);
  }
  if (mods == (Qt::AltModifier | Qt::ShiftModifier) && k == Qt::Key_C) {
    return command(Command::ClearAll);
  }
  if (mods == Qt::ControlModifier && k == Qt::Key_C && page != CMainView::PAGE_CRITERIA) {
    return command(Command::Copy);
  }
  if (mods == Qt::ControlModifier && k == Qt::Key_T && page == CMainView::PAGE_CRITERIA &&
      doc.Form().browseEnabled) {
    return [this] { doc.Browse().BrowseCommand(); };
  }
  if (mods == Qt::ControlModifier && (k == Qt::Key_3 || k == Qt::Key_M) &&
      page == CMainView::PAGE_SUMMARY) {
    return [this] { doc.Summary().More(); };
  }
  if (mods == Qt::AltModifier) {
    return MnemonicAction(k);
  }
  return {};
}

bool CDocumentWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && pendingAction) {
    auto* key = static_cast<QKeyEvent*>(event);
    std::function<void()> action = std::move(pendingAction);
    pendingAction = nullptr;
    if (key->keyCombination() == pendingKey) {
      key->accept();
      action();
      return true;
    }
    return false;
  }
  if (event->type() != QEvent::ShortcutOverride) {
    return false;
  }
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || (widget != this && !isAncestorOf(widget))) {
    return false;
  }
  auto* key = static_cast<QKeyEvent*>(event);
  std::function<void()> action = KeyAction(key->keyCombination());
  if (!action) {
    return false;
  }
  // Claimed: no shortcut or menu sees the key, and the press that follows
  // carries out the command.
  pendingAction = std::move(action);
  pendingKey = key->keyCombination();
  key->accept();
  return true;
}
