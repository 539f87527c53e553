#include "ui/CUrlDialogView.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "config/CUrlDialog.h"
#include "ui/CQtUi.h"

CUrlDialogView::CUrlDialogView(CUrlDialog& model, QWidget* parent) : QDialog(parent), model(model) {
  auto* layout = new QVBoxLayout(this);
  prompt = new QLabel(CQtUi::ToQString(model.Prompt()), this);
  prompt->setTextFormat(Qt::PlainText);
  layout->addWidget(prompt);

  urls = new QComboBox(this);
  urls->setEditable(true);
  // The list is the model's; Enter must not add what was typed to it.
  urls->setInsertPolicy(QComboBox::NoInsert);
  urls->setMinimumContentsLength(48);
  urls->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  for (const std::string& url : model.list) {
    urls->addItem(CQtUi::ToQString(url));
  }
  urls->setEditText(CQtUi::ToQString(model.text));
  prompt->setBuddy(urls);
  layout->addWidget(urls);
  connect(urls, &QComboBox::editTextChanged, this,
          [this](const QString& text) { this->model.SetAnswerText(text.toUtf8().toStdString()); });

  buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CUrlDialogView::accept() {
  if (model.OnOk()) {
    QDialog::accept();
  }
}
