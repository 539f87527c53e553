#include "ui/CListBrowserDlgView.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "external/CHelpTopics.h"
#include "search/CListBrowserDlg.h"
#include "ui/CBrowseListWidget.h"
#include "ui/CHelpWindow.h"
#include "ui/CQtUi.h"

CListBrowserDlgView::CListBrowserDlgView(CListBrowserDlg& model, QWidget* parent)
    : QDialog(parent), model(model) {
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  text = new QLineEdit(this);
  text->installEventFilter(this);
  okButton = new QPushButton("OK", this);
  okButton->setDefault(true);
  helpButton = new QPushButton("Help", this);
  connect(helpButton, &QPushButton::clicked, this,
          [] { CHelpWindow::ShowTopic(CHelpTopics::kListBrowserTopic); });
  helpButton->setAutoDefault(false);
  cancelButton = new QPushButton("Cancel", this);
  cancelButton->setAutoDefault(false);
  top->addWidget(text, 1);
  top->addWidget(okButton);
  top->addWidget(helpButton);
  top->addWidget(cancelButton);
  layout->addLayout(top);
  layout->addWidget(new QLabel("Browse Headings", this));
  heading = new QLabel(this);
  heading->setTextFormat(Qt::PlainText);
  QFont fixed = heading->font();
  fixed.setBold(true);
  heading->setFont(fixed);
  layout->addWidget(heading);
  listWidget = new CBrowseListWidget(model.List(), this);
  layout->addWidget(listWidget, 1);
  resize(520, 420);

  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(text, &QLineEdit::textEdited, this, [this](const QString& typed) {
    this->model.List().TypeText(typed.toUtf8().toStdString());
  });
  connect(listWidget, &CBrowseListWidget::entryDoubleClicked, this, [this](int entry) {
    if (this->model.DoubleClick(entry)) {
      QDialog::accept();
    }
  });
  QPointer<CListBrowserDlgView> self(this);
  connections += model.List().changed.Connect([self] {
    if (self) {
      self->Refresh();
    }
  });
  connections += model.closeRequested.Connect([self] {
    if (self) {
      self->reject();
    }
  });
  Refresh();
  text->setFocus();
}

void CListBrowserDlgView::Refresh() {
  heading->setText(CQtUi::ToQString(model.List().HeadingLabel()));
}

void CListBrowserDlgView::accept() {
  if (model.OnOk()) {
    QDialog::accept();
  }
}

bool CListBrowserDlgView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == text && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() == Qt::NoModifier && listWidget->HandleKey(key->key())) {
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}
