#include "ui/CMailHostDlgView.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/CMailHostDlg.h"
#include "ui/CQtUi.h"

CMailHostDlgView::CMailHostDlgView(CMailHostDlg& model, QWidget* parent)
    : QDialog(parent), model(model) {
  auto* layout = new QVBoxLayout(this);
  auto* prompt = new QLabel(model.Prompt(), this);
  layout->addWidget(prompt);
  host = new QLineEdit(CQtUi::ToQString(model.text), this);
  prompt->setBuddy(host);
  layout->addWidget(host);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CMailHostDlgView::accept() {
  model.text = host->text().toUtf8().toStdString();
  if (model.OnOk()) {
    QDialog::accept();
  }
}
