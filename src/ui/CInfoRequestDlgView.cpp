#include "ui/CInfoRequestDlgView.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "driver/CInfoRequestDlg.h"
#include "ui/CQtUi.h"

CInfoRequestDlgView::CInfoRequestDlgView(CInfoRequestDlg& model, QWidget* parent)
    : QDialog(parent), model(model) {
  auto* layout = new QGridLayout(this);
  prompt = new QLabel(CQtUi::ToQString(model.prompt), this);
  prompt->setTextFormat(Qt::PlainText);
  prompt->setWordWrap(true);
  layout->addWidget(prompt, 0, 0);

  // Both edits take the same place; the one not in use is hidden, disabled
  // and empty.
  plainEdit = NewEdit(model.plainEditVisible, QLineEdit::Normal);
  hiddenEdit = NewEdit(model.hiddenEditVisible, QLineEdit::Password);
  layout->addWidget(plainEdit, 1, 0);
  layout->addWidget(hiddenEdit, 1, 0);

  auto* buttons = new QVBoxLayout;
  okButton = new QPushButton(CQtUi::ToQString(model.OkLabel()), this);
  okButton->setDefault(true);
  cancelButton = new QPushButton(CQtUi::ToQString(model.CancelLabel()), this);
  buttons->addWidget(okButton);
  buttons->addWidget(cancelButton);
  buttons->addStretch(1);
  layout->addLayout(buttons, 0, 1, 3, 1);
  layout->setColumnStretch(0, 1);
  layout->setRowStretch(2, 1);
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  setMinimumWidth(fontMetrics().averageCharWidth() * 60);
}

QLineEdit* CInfoRequestDlgView::NewEdit(bool visible, QLineEdit::EchoMode mode) {
  auto* edit = new QLineEdit(this);
  edit->setEchoMode(mode);
  edit->setVisible(visible);
  edit->setEnabled(visible);
  if (visible) {
    edit->setText(CQtUi::ToQString(model.editText));
    edit->selectAll();
    connect(edit, &QLineEdit::textEdited, this, [this](const QString& text) {
      this->model.SetAnswerText(text.toUtf8().toStdString());
    });
  }
  return edit;
}

void CInfoRequestDlgView::accept() {
  if (model.OnOk()) {
    QDialog::accept();
  }
}
