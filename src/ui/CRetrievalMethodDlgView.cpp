#include "ui/CRetrievalMethodDlgView.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "external/CRetrievalMethodDlg.h"
#include "ui/CQtUi.h"

CRetrievalMethodDlgView::CRetrievalMethodDlgView(CRetrievalMethodDlg& model, QWidget* parent)
    : QDialog(parent), model(model) {
  auto* layout = new QVBoxLayout(this);
  auto* prompt = new QLabel(CRetrievalMethodDlg::kPromptText, this);
  layout->addWidget(prompt);
  const std::vector<std::string>& texts = model.Choices();
  for (std::size_t i = 0; i < texts.size(); ++i) {
    auto* button = new QRadioButton(CQtUi::ToQString(texts[i]), this);
    button->setChecked(static_cast<int>(i) == model.choice);
    layout->addWidget(button);
    choices.push_back(button);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CRetrievalMethodDlgView::accept() {
  for (std::size_t i = 0; i < choices.size(); ++i) {
    if (choices[i]->isChecked()) {
      model.choice = static_cast<int>(i);
    }
  }
  if (model.OnOk()) {
    QDialog::accept();
  }
}
