#pragma once

#include <QDialog>
#include <vector>

class CRetrievalMethodDlg;
class QRadioButton;

// "Retrieval Method": "Retrieve:" over one radio button for "Abstract" and
// one per extension program, with OK and Cancel.
class CRetrievalMethodDlgView : public QDialog {
  Q_OBJECT

 public:
  CRetrievalMethodDlgView(CRetrievalMethodDlg& model, QWidget* parent);

  const std::vector<QRadioButton*>& Choices() const { return choices; }

 public slots:
  void accept() override;

 private:
  CRetrievalMethodDlg& model;
  std::vector<QRadioButton*> choices;
};
