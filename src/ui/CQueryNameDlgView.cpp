#include "ui/CQueryNameDlgView.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "search/CQueryNameDlg.h"
#include "ui/CQtUi.h"

namespace {

// Rows the list shows before it grows by the model's extra height.
constexpr int kBaseRows = 3;

}  // namespace

CQueryNameDlgView::CQueryNameDlgView(CQueryNameDlg& model, QWidget* parent)
    : QDialog(parent), model(model) {
  auto* layout = new QVBoxLayout(this);
  name = new QLineEdit(this);
  name->setMinimumWidth(name->fontMetrics().averageCharWidth() * 40);
  name->setText(CQtUi::ToQString(model.nameText));
  layout->addWidget(name);
  // Only the user's typing selects; the text OK puts back into the box does not.
  connect(name, &QLineEdit::textEdited, this, [this](const QString& text) {
    this->model.TypeName(text.toUtf8().toStdString());
    ShowSelection();
  });

  names = new QListWidget(this);
  names->setSelectionMode(QAbstractItemView::SingleSelection);
  for (const std::string& entry : model.list) {
    names->addItem(CQtUi::ToQString(entry));
  }
  int rowHeight = names->fontMetrics().height() + 2;
  names->setFixedHeight(kBaseRows * rowHeight + 2 * names->frameWidth() + model.ExtraHeight());
  names->setVisible(model.listShown);
  names->setEnabled(model.listEnabled);
  layout->addWidget(names);
  connect(names, &QListWidget::currentRowChanged, this,
          [this](int row) { this->model.SelectIndex(row); });
  connect(names, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { DoubleClicked(names->row(item)); });
  ShowSelection();

  buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  name->setFocus();
}

void CQueryNameDlgView::ShowSelection() {
  QSignalBlocker blocker(names);
  if (model.selectedIndex == CQueryNameDlg::kNone) {
    names->clearSelection();
    names->setCurrentRow(-1);
    return;
  }
  names->setCurrentRow(model.selectedIndex);
  if (QListWidgetItem* item = names->item(model.selectedIndex)) {
    names->scrollToItem(item);
  }
}

void CQueryNameDlgView::DoubleClicked(int row) {
  bool close = model.DoubleClickIndex(row);
  name->setText(CQtUi::ToQString(model.nameText));
  ShowSelection();
  if (close) {
    QDialog::accept();
  }
}

void CQueryNameDlgView::accept() {
  bool close = model.OnOk();
  // Choosing a selected entry puts its name into the box.
  name->setText(CQtUi::ToQString(model.nameText));
  if (close) {
    QDialog::accept();
  }
}
