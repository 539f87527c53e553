#pragma once

#include <QDialog>

class CMailHostDlg;
class QLineEdit;

// "Set Mailhost Option": the prompt over one line for the host.
class CMailHostDlgView : public QDialog {
  Q_OBJECT

 public:
  CMailHostDlgView(CMailHostDlg& model, QWidget* parent);

  QLineEdit* HostEdit() const { return host; }

 public slots:
  void accept() override;

 private:
  CMailHostDlg& model;
  QLineEdit* host = nullptr;
};
