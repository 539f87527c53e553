#include "ui/CListSelectionDlgView.h"

#include <QDialogButtonBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "search/CListSelectionDlg.h"
#include "ui/CQtUi.h"

CListSelectionDlgView::CListSelectionDlgView(CListSelectionDlg& model, QWidget* parent)
    : QDialog(parent), model(model) {
  auto* layout = new QVBoxLayout(this);
  const std::vector<std::string>& names = model.Buttons();
  for (std::size_t i = 0; i < names.size(); ++i) {
    // A list name's "&" is text, not a mnemonic.
    auto* button =
        new QRadioButton(CQtUi::ToQString(names[i]).replace('&', QLatin1String("&&")), this);
    button->setChecked(static_cast<int>(i) == model.Choice());
    connect(button, &QRadioButton::toggled, this, [this, i](bool on) {
      if (on) {
        this->model.SetChoice(static_cast<int>(i));
      }
    });
    layout->addWidget(button);
    buttons.push_back(button);
  }
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(box);
  connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  int buttonHeight = buttons.empty() ? 20 : buttons.front()->sizeHint().height();
  setMinimumHeight(model.DialogHeight(buttonHeight) + box->sizeHint().height());
}

void CListSelectionDlgView::accept() {
  if (model.OnOk()) {
    QDialog::accept();
  }
}
