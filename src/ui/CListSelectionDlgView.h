#pragma once

#include <QDialog>
#include <vector>

class CListSelectionDlg;
class QRadioButton;

// "List Selection": one radio button per browse list, the first chosen.
class CListSelectionDlgView : public QDialog {
  Q_OBJECT

 public:
  CListSelectionDlgView(CListSelectionDlg& model, QWidget* parent);

  const std::vector<QRadioButton*>& Buttons() const { return buttons; }

 public slots:
  void accept() override;

 private:
  CListSelectionDlg& model;
  std::vector<QRadioButton*> buttons;
};
