#pragma once

#include <QDialog>
#include <array>
#include <vector>

class CRecordFormatDlg;
class QCheckBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QRadioButton;

// "Record Format Options": field labels, the header, "Save as Default" and,
// when the model offers them, the field check boxes in its grid. Every click
// goes to the model; OK closes only when the model agrees.
class CRecordFormatDlgView : public QDialog {
  Q_OBJECT

 public:
  CRecordFormatDlgView(CRecordFormatDlg& model, QWidget* parent);

  // 0 expanded, 1 abbreviated.
  QRadioButton* LabelRadio(int value) const { return labelRadios[value]; }
  // 0 None, 1 Brief, 2 Full.
  QRadioButton* HeaderRadio(int mode) const { return headerRadios[mode]; }
  QCheckBox* SaveAsDefaultBox() const { return saveAsDefault; }
  // The field section; null when the model hides it.
  QLabel* FieldHeading() const { return fieldHeading; }
  QGridLayout* FieldGrid() const { return grid; }
  const std::vector<QCheckBox*>& FieldBoxes() const { return boxes; }
  QPushButton* SelectAllButton() const { return selectAll; }
  QPushButton* ClearAllButton() const { return clearAll; }
  QPushButton* DefaultFieldsButton() const { return defaultFields; }
  QPushButton* OkButton() const { return okButton; }

 public slots:
  void accept() override;

 private:
  void AddFieldSection(QLayout* layout);
  void RefreshBoxes();

  CRecordFormatDlg& model;
  std::array<QRadioButton*, 2> labelRadios{};
  std::array<QRadioButton*, 3> headerRadios{};
  QCheckBox* saveAsDefault = nullptr;
  QLabel* fieldHeading = nullptr;
  QGridLayout* grid = nullptr;
  std::vector<QCheckBox*> boxes;
  QPushButton* selectAll = nullptr;
  QPushButton* clearAll = nullptr;
  QPushButton* defaultFields = nullptr;
  QPushButton* okButton = nullptr;
};
