#include "ui/CSaveMailDlgView.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "external/CHelpTopics.h"
#include "output/CSaveMailDlg.h"
#include "ui/CHelpWindow.h"
#include "ui/CQtUi.h"

namespace {

std::string ToStd(const QString& text) {
  return text.toUtf8().toStdString();
}

}  // namespace

CSaveMailDlgView::CSaveMailDlgView(CSaveMailDlg& model, QWidget* parent)
    : QDialog(parent), model(model) {
  setWindowTitle(CQtUi::ToQString(model.Caption()));
  auto* layout = new QVBoxLayout(this);

  auto* top = new QHBoxLayout;
  auto* choiceGroup = new QGroupBox(this);
  auto* choices = new QVBoxLayout(choiceGroup);
  saveChoice = new QRadioButton(CSaveMailDlg::kSaveLabel, choiceGroup);
  mailChoice = new QRadioButton(CSaveMailDlg::kMailLabel, choiceGroup);
  choices->addWidget(saveChoice);
  choices->addWidget(mailChoice);
  top->addWidget(choiceGroup, 1);
  auto* buttons = new QVBoxLayout;
  ok = new QPushButton("OK", this);
  cancel = new QPushButton("Cancel", this);
  help = new QPushButton("Help", this);
  ok->setDefault(true);
  connect(help, &QPushButton::clicked, this,
          [] { CHelpWindow::ShowTopic(CHelpTopics::kSaveMailTopic); });
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(help);
  buttons->addStretch(1);
  top->addLayout(buttons);
  layout->addLayout(top);

  toLabel = new QLabel(CSaveMailDlg::kToLabel, this);
  toBox = new QLineEdit(this);
  subjectLabel = new QLabel(CSaveMailDlg::kSubjectLabel, this);
  subjectBox = new QLineEdit(this);
  hostLabel = new QLabel(CSaveMailDlg::kHostLabel, this);
  hostBox = new QLineEdit(this);
  for (QLabel* label : {toLabel, subjectLabel, hostLabel}) {
    label->setTextFormat(Qt::PlainText);
  }
  toLabel->setBuddy(toBox);
  subjectLabel->setBuddy(subjectBox);
  hostLabel->setBuddy(hostBox);
  for (QWidget* widget : std::initializer_list<QWidget*>{toLabel, toBox, subjectLabel, subjectBox,
                                                         hostLabel, hostBox}) {
    layout->addWidget(widget);
  }
  layout->addStretch(1);

  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(saveChoice, &QRadioButton::clicked, this, [this] { this->model.ChooseSave(); });
  connect(mailChoice, &QRadioButton::clicked, this, [this] { this->model.ChooseMail(); });
  connect(toBox, &QLineEdit::textEdited, this,
          [this](const QString& text) { this->model.to = ToStd(text); });
  connect(subjectBox, &QLineEdit::textEdited, this,
          [this](const QString& text) { this->model.subject = ToStd(text); });
  connect(hostBox, &QLineEdit::textEdited, this,
          [this](const QString& text) { this->model.host = ToStd(text); });
  connections += model.layoutChanged.Connect([this] { ShowLayout(); });

  // The full height: the template's, or what the controls need if more.
  QFontMetrics metrics(font());
  int dluX = std::max(1, metrics.averageCharWidth());
  int dluY = std::max(1, metrics.height());
  int templateWidth = CSaveMailDlg::kWidthDlu * dluX / 4;
  int templateHeight = CSaveMailDlg::kHeightDlu * dluY / 8;
  fullHeight = std::max(templateHeight, layout->sizeHint().height());
  resize(std::max(templateWidth, layout->sizeHint().width()), fullHeight);
  ShowLayout();
}

void CSaveMailDlgView::ShowLayout() {
  saveChoice->setChecked(model.choice == CSaveMailDlg::kChoiceSave);
  mailChoice->setChecked(model.choice == CSaveMailDlg::kChoiceMail);
  bool mail = model.MailFieldsShown();
  for (QWidget* widget :
       std::initializer_list<QWidget*>{toLabel, toBox, subjectLabel, subjectBox}) {
    widget->setVisible(mail);
  }
  hostLabel->setVisible(model.HostFieldShown());
  hostBox->setVisible(model.HostFieldShown());
  toBox->setText(CQtUi::ToQString(model.to));
  subjectBox->setText(CQtUi::ToQString(model.subject));
  hostBox->setText(CQtUi::ToQString(model.host));
  // Never shorter than what the shown controls need.
  layout()->activate();
  int height = std::max(fullHeight - model.HeightReduction(), minimumSizeHint().height());
  setFixedHeight(height);
  if (mail) {
    toBox->setFocus();
  }
}

void CSaveMailDlgView::accept() {
  if (model.OnOk()) {
    QDialog::accept();
  }
}
