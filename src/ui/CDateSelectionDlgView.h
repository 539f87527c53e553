#pragma once

#include <QDialog>

class CDateSelectionDlg;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Date Selection": keep the open end or specify a value. Which inputs show
// and what the captions say come from the model; what is chosen or typed
// goes to it at once.
class CDateSelectionDlgView : public QDialog {
  Q_OBJECT

 public:
  CDateSelectionDlgView(CDateSelectionDlg& model, QWidget* parent);

  QRadioButton* OpenEndRadio() const { return openEnd; }
  QRadioButton* SpecifyRadio() const { return specify; }
  QComboBox* MonthList() const { return monthList; }
  QComboBox* DayList() const { return dayList; }
  QLabel* YearLabel() const { return yearLabel; }
  QLineEdit* YearBox() const { return yearBox; }
  QComboBox* YearList() const { return yearList; }
  QPushButton* OkButton() const { return okButton; }

 public slots:
  void accept() override;

 private:
  void Refresh();
  void Choose(int choice);

  CDateSelectionDlg& model;
  bool refreshing = false;
  QRadioButton* openEnd = nullptr;
  QRadioButton* specify = nullptr;
  QLabel* monthLabel = nullptr;
  QComboBox* monthList = nullptr;
  QLabel* dayLabel = nullptr;
  QComboBox* dayList = nullptr;
  QLabel* yearLabel = nullptr;
  QLineEdit* yearBox = nullptr;
  QComboBox* yearList = nullptr;
  QPushButton* okButton = nullptr;
};
