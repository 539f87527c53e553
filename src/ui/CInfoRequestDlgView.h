#pragma once

#include <QDialog>
#include <QLineEdit>

class CInfoRequestDlg;
class QLabel;
class QPushButton;

// "Request for Information": the driver's prompt with a plain edit, a hidden
// (password) edit or no edit at all, and the OK and Cancel labels the driver
// chose. What is typed goes to the model as it is typed.
class CInfoRequestDlgView : public QDialog {
  Q_OBJECT

 public:
  CInfoRequestDlgView(CInfoRequestDlg& model, QWidget* parent);

  QLabel* PromptLabel() const { return prompt; }
  QLineEdit* PlainEdit() const { return plainEdit; }
  QLineEdit* HiddenEdit() const { return hiddenEdit; }
  QPushButton* OkButton() const { return okButton; }
  QPushButton* CancelButton() const { return cancelButton; }

 public slots:
  void accept() override;

 private:
  QLineEdit* NewEdit(bool visible, QLineEdit::EchoMode mode);

  CInfoRequestDlg& model;
  QLabel* prompt = nullptr;
  QLineEdit* plainEdit = nullptr;
  QLineEdit* hiddenEdit = nullptr;
  QPushButton* okButton = nullptr;
  QPushButton* cancelButton = nullptr;
};
