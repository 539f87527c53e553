#include "ui/CRecordFormatDlgView.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "output/CRecordFormatDlg.h"
#include "ui/CQtUi.h"

namespace {

// Field captions come from the driver: an "&" in them is text.
QString Caption(const std::string& text) {
  return CQtUi::ToQString(text).replace('&', QLatin1String("&&"));
}

}  // namespace

CRecordFormatDlgView::CRecordFormatDlgView(CRecordFormatDlg& model, QWidget* parent)
    : QDialog(parent), model(model) {
  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(new QLabel("Retrieve all records using:", this));
  auto* labels = new QHBoxLayout;
  auto* labelGroup = new QButtonGroup(this);
  const char* labelTexts[] = {"Expanded Field Labels", "Abbreviated Field Labels"};
  for (int value = 0; value < 2; ++value) {
    labelRadios[value] = new QRadioButton(labelTexts[value], this);
    labelGroup->addButton(labelRadios[value], value);
    labels->addWidget(labelRadios[value]);
  }
  labels->addStretch(1);
  layout->addLayout(labels);
  labelRadios[model.abbreviatedLabels != 0 ? 1 : 0]->setChecked(true);
  connect(labelGroup, &QButtonGroup::idClicked, this,
          [this](int id) { this->model.abbreviatedLabels = id; });

  auto* header = new QGroupBox("Header", this);
  auto* headerLayout = new QVBoxLayout(header);
  auto* headerGroup = new QButtonGroup(this);
  const char* headerTexts[] = {"None", "Brief (database name, date, and time)",
                               "Full (search strategy)"};
  for (int mode = 0; mode < 3; ++mode) {
    headerRadios[mode] = new QRadioButton(headerTexts[mode], header);
    headerGroup->addButton(headerRadios[mode], mode);
    headerLayout->addWidget(headerRadios[mode]);
  }
  if (model.headerMode >= 0 && model.headerMode < 3) {
    headerRadios[model.headerMode]->setChecked(true);
  }
  connect(headerGroup, &QButtonGroup::idClicked, this,
          [this](int id) { this->model.headerMode = id; });
  layout->addWidget(header);

  saveAsDefault = new QCheckBox("Save as Default", this);
  saveAsDefault->setChecked(model.saveAsDefault);
  connect(saveAsDefault, &QCheckBox::toggled, this,
          [this](bool on) { this->model.saveAsDefault = on; });
  layout->addWidget(saveAsDefault);

  if (model.fieldSectionShown) {
    AddFieldSection(layout);
  }

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  okButton = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void CRecordFormatDlgView::AddFieldSection(QLayout* layout) {
  fieldHeading = new QLabel(CQtUi::ToQString(model.FieldHeading()), this);
  fieldHeading->setTextFormat(Qt::PlainText);
  layout->addWidget(fieldHeading);

  grid = new QGridLayout;
  grid->setHorizontalSpacing(CRecordFormatDlg::kColumnGap);
  grid->setVerticalSpacing(CRecordFormatDlg::kRowGap);
  int columns = model.Columns();
  for (std::size_t i = 0; i < model.boxes.size(); ++i) {
    auto* box = new QCheckBox(Caption(model.boxes[i].caption), this);
    connect(box, &QCheckBox::toggled, this,
            [this, i](bool on) { this->model.boxes[i].checked = on; });
    int index = static_cast<int>(i);
    grid->addWidget(box, index / columns, index % columns);
    boxes.push_back(box);
  }
  layout->addItem(grid);

  auto* row = new QHBoxLayout;
  row->setSpacing(CRecordFormatDlg::kButtonGap);
  selectAll = new QPushButton("Select All", this);
  clearAll = new QPushButton("Clear All", this);
  defaultFields = new QPushButton("Default Fields", this);
  for (QPushButton* button : {selectAll, clearAll, defaultFields}) {
    // Enter belongs to OK.
    button->setAutoDefault(false);
    row->addWidget(button);
  }
  row->addStretch(1);
  layout->addItem(row);
  connect(selectAll, &QPushButton::clicked, this, [this] {
    this->model.SelectAll();
    RefreshBoxes();
  });
  connect(clearAll, &QPushButton::clicked, this, [this] {
    this->model.ClearAll();
    RefreshBoxes();
  });
  connect(defaultFields, &QPushButton::clicked, this, [this] {
    this->model.DefaultFields();
    RefreshBoxes();
  });

  auto* line = new QFrame(this);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  layout->addWidget(line);
  RefreshBoxes();
}

void CRecordFormatDlgView::RefreshBoxes() {
  for (std::size_t i = 0; i < boxes.size() && i < model.boxes.size(); ++i) {
    boxes[i]->setChecked(model.boxes[i].checked);
  }
}

void CRecordFormatDlgView::accept() {
  if (model.OnOk()) {
    QDialog::accept();
  }
}
