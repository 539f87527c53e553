#include "ui/CDateSelectionDlgView.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "search/CDateSelectionDlg.h"
#include "ui/CQtUi.h"

namespace {

QStringList ToQStrings(const std::vector<std::string>& texts) {
  QStringList list;
  for (const auto& text : texts) {
    list << CQtUi::ToQString(text);
  }
  return list;
}

std::string ToBytes(const QString& text) {
  return text.toUtf8().toStdString();
}

}  // namespace

CDateSelectionDlgView::CDateSelectionDlgView(CDateSelectionDlg& model, QWidget* parent)
    : QDialog(parent), model(model) {
  auto* layout = new QGridLayout(this);
  openEnd = new QRadioButton(this);
  specify = new QRadioButton(this);
  layout->addWidget(openEnd, 0, 0, 1, 6);
  layout->addWidget(specify, 1, 0, 1, 6);

  monthLabel = new QLabel("Month", this);
  monthList = new QComboBox(this);
  monthList->addItems(ToQStrings(CDateSelectionDlg::MonthChoices()));
  dayLabel = new QLabel("Day", this);
  dayList = new QComboBox(this);
  dayList->addItems(ToQStrings(CDateSelectionDlg::DayChoices()));
  yearLabel = new QLabel(this);
  yearBox = new QLineEdit(this);
  yearList = new QComboBox(this);
  yearList->setEditable(true);
  yearList->setInsertPolicy(QComboBox::NoInsert);
  layout->addWidget(monthLabel, 2, 0);
  layout->addWidget(monthList, 2, 1);
  layout->addWidget(dayLabel, 2, 2);
  layout->addWidget(dayList, 2, 3);
  layout->addWidget(yearLabel, 2, 4);
  // The Year box and the year list share one place; one of them shows.
  layout->addWidget(yearBox, 2, 5);
  layout->addWidget(yearList, 2, 5);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  okButton = buttons->button(QDialogButtonBox::Ok);
  layout->addWidget(buttons, 3, 0, 1, 6);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  connect(openEnd, &QRadioButton::toggled, this, [this](bool on) {
    if (on) {
      Choose(CDateSelectionDlg::kOpenEnd);
    }
  });
  connect(specify, &QRadioButton::toggled, this, [this](bool on) {
    if (on) {
      Choose(CDateSelectionDlg::kSpecify);
    }
  });
  connect(monthList, &QComboBox::currentTextChanged, this, [this](const QString& text) {
    if (!refreshing) {
      this->model.monthText = ToBytes(text);
    }
  });
  connect(dayList, &QComboBox::currentTextChanged, this, [this](const QString& text) {
    if (!refreshing) {
      this->model.dayText = ToBytes(text);
    }
  });
  connect(yearBox, &QLineEdit::textEdited, this,
          [this](const QString& text) { this->model.yearText = ToBytes(text); });
  connect(yearList, &QComboBox::editTextChanged, this, [this](const QString& text) {
    if (!refreshing) {
      this->model.yearChoiceText = ToBytes(text);
    }
  });
  Refresh();
}

void CDateSelectionDlgView::Choose(int choice) {
  if (refreshing) {
    return;
  }
  model.SetChoice(choice);
  Refresh();
}

void CDateSelectionDlgView::Refresh() {
  refreshing = true;
  openEnd->setText(CQtUi::ToQString(model.firstRadioCaption));
  specify->setText(CQtUi::ToQString(model.specifyCaption));
  openEnd->setChecked(model.choice == CDateSelectionDlg::kOpenEnd);
  specify->setChecked(model.choice == CDateSelectionDlg::kSpecify);
  monthList->setCurrentText(CQtUi::ToQString(model.monthText));
  dayList->setCurrentText(CQtUi::ToQString(model.dayText));
  yearLabel->setText(CQtUi::ToQString(model.yearLabel));
  if (yearBox->text() != CQtUi::ToQString(model.yearText)) {
    yearBox->setText(CQtUi::ToQString(model.yearText));
  }
  QStringList years = ToQStrings(model.yearList);
  QStringList shownYears;
  for (int i = 0; i < yearList->count(); ++i) {
    shownYears << yearList->itemText(i);
  }
  if (years != shownYears) {
    yearList->clear();
    yearList->addItems(years);
  }
  // Nothing is chosen in the list until the user picks or types a year.
  if (yearList->currentText() != CQtUi::ToQString(model.yearChoiceText)) {
    yearList->setCurrentIndex(-1);
    yearList->setEditText(CQtUi::ToQString(model.yearChoiceText));
  }
  monthLabel->setVisible(model.monthShown);
  monthList->setVisible(model.monthShown);
  dayLabel->setVisible(model.dayShown);
  dayList->setVisible(model.dayShown);
  yearLabel->setVisible(model.yearLabelShown);
  yearBox->setVisible(model.yearBoxShown);
  yearList->setVisible(model.yearListShown);
  refreshing = false;
}

void CDateSelectionDlgView::accept() {
  if (model.OnOk()) {
    QDialog::accept();
  }
}
