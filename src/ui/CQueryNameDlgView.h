#pragma once

#include <QDialog>

class CQueryNameDlg;
class QDialogButtonBox;
class QLineEdit;
class QListWidget;

// "Tamsel Queries": the name box over the list of saved query names. Typing
// selects the first name that begins with the text; a double click chooses
// a name; the model decides whether OK may close.
class CQueryNameDlgView : public QDialog {
  Q_OBJECT

 public:
  CQueryNameDlgView(CQueryNameDlg& model, QWidget* parent);

  QLineEdit* NameBox() const { return name; }
  QListWidget* NameList() const { return names; }
  QDialogButtonBox* Buttons() const { return buttons; }

 public slots:
  void accept() override;

 private:
  // Shows the model's selection in the list without feeding it back.
  void ShowSelection();
  void DoubleClicked(int row);

  CQueryNameDlg& model;
  QLineEdit* name = nullptr;
  QListWidget* names = nullptr;
  QDialogButtonBox* buttons = nullptr;
};
