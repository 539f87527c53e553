#include "ui/CBasicModePage.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <algorithm>

#include "ui/CBrowseListWidget.h"
#include "ui/CQtUi.h"

namespace {

constexpr int kLeft = 10;
constexpr int kTop = 8;
constexpr int kGap = 8;
constexpr int kButtonWidth = 130;
// The list leaves this much of the page free below and to its right.
constexpr int kListBottomMargin = 20;
constexpr int kListRightMargin = 15;

QString Caption(const std::string& text) {
  return CQtUi::ToQString(text).replace('&', QLatin1String("&&"));
}

}  // namespace

CBasicModePage::CBasicModePage(CBasicMode& basic, QWidget* parent) : QFrame(parent), basic(basic) {
  for (int i = 0; i < CBasicMode::kButtons; ++i) {
    auto* button = new QPushButton(this);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, i] { this->basic.PressButton(i); });
    fieldButtons[static_cast<std::size_t>(i)] = button;
  }
  text = new QLineEdit(this);
  text->installEventFilter(this);
  searchButton = new QPushButton("Search", this);
  searchButton->setDefault(true);
  helpButton = new QPushButton("Help", this);
  helpButton->setAutoDefault(false);
  // The help pages come with the help window.
  helpButton->setEnabled(false);
  modeLine = new QLabel(this);
  modeLine->setTextFormat(Qt::PlainText);
  QFont bold = modeLine->font();
  bold.setBold(true);
  modeLine->setFont(bold);
  heading = new QLabel(this);
  heading->setTextFormat(Qt::PlainText);
  listWidget = new CBrowseListWidget(basic.List(), this);

  connect(text, &QLineEdit::textEdited, this,
          [this](const QString& typed) { this->basic.TypeText(typed.toUtf8().toStdString()); });
  connect(text, &QLineEdit::returnPressed, this, [this] {
    if (searchButton->isEnabled()) {
      this->basic.Search();
    }
  });
  connect(searchButton, &QPushButton::clicked, this, [this] { this->basic.Search(); });
  connect(listWidget, &CBrowseListWidget::entryDoubleClicked, this,
          [this](int entry) { this->basic.DoubleClick(entry); });

  QPointer<CBasicModePage> self(this);
  connections += basic.changed.Connect([self] {
    if (self) {
      self->Refresh();
    }
  });
  connections += basic.List().changed.Connect([self] {
    if (self) {
      self->heading->setText(CQtUi::ToQString(self->basic.List().HeadingLabel()));
    }
  });
  connections += basic.focusText.Connect([self] {
    if (self) {
      self->text->setFocus();
    }
  });
  Refresh();
}

void CBasicModePage::Refresh() {
  for (int i = 0; i < CBasicMode::kButtons; ++i) {
    auto index = static_cast<std::size_t>(i);
    QPushButton* button = fieldButtons[index];
    button->setText(
        Caption(basic.buttonCaptions[index].empty() ? "<disabled>" : basic.buttonCaptions[index]));
    button->setEnabled(basic.buttonEnabled[index]);
  }
  if (text->text().toUtf8().toStdString() != basic.basicText) {
    text->setText(CQtUi::ToQString(basic.basicText));
  }
  text->setVisible(basic.textShown);
  text->setEnabled(basic.textEnabled);
  searchButton->setEnabled(basic.searchEnabled);
  listWidget->setVisible(basic.listShown);
  listWidget->setEnabled(basic.listEnabled);
  heading->setVisible(basic.headingShown);
  heading->setText(CQtUi::ToQString(basic.headingShown ? basic.List().HeadingLabel() : ""));
  modeLine->setText(CQtUi::ToQString(basic.modeLine));
  listWidget->Refresh();
}

void CBasicModePage::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  LayoutControls();
}

void CBasicModePage::LayoutControls() {
  int buttonHeight = searchButton->sizeHint().height();
  int x = kLeft;
  for (QPushButton* button : fieldButtons) {
    int w = std::max(kButtonWidth, button->sizeHint().width());
    button->setGeometry(x, kTop, w, buttonHeight);
    x += w + kGap;
  }
  int y = kTop + buttonHeight + 2 * kGap;
  int textWidth = std::max(200, width() / 2);
  text->setGeometry(kLeft, y, textWidth, buttonHeight);
  int bx = kLeft + textWidth + kGap;
  searchButton->setGeometry(bx, y, 90, buttonHeight);
  helpButton->setGeometry(bx + 90 + kGap, y, 90, buttonHeight);
  y += buttonHeight + kGap;
  modeLine->setGeometry(kLeft, y, width() - 2 * kLeft, modeLine->sizeHint().height());
  y += modeLine->sizeHint().height() + kGap;
  heading->setGeometry(kLeft, y, width() - 2 * kLeft, heading->sizeHint().height());
  y += heading->sizeHint().height() + 2;
  listWidget->setGeometry(kLeft, y, std::max(50, width() - kLeft - kListRightMargin),
                          std::max(50, height() - y - kListBottomMargin));
}

bool CBasicModePage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == text && event->type() == QEvent::KeyPress && basic.basicListMode != 0) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() == Qt::NoModifier && listWidget->HandleKey(key->key())) {
      return true;
    }
  }
  return QFrame::eventFilter(watched, event);
}
