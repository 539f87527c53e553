#pragma once

#include <QDialog>

class CAboutDatabaseDlg;
class QPlainTextEdit;
class QPushButton;

// "About the Database": the driver's description of its database, read-only,
// and OK.
class CAboutDatabaseDlgView : public QDialog {
  Q_OBJECT

 public:
  CAboutDatabaseDlgView(CAboutDatabaseDlg& model, QWidget* parent);

  QPlainTextEdit* Text() const { return text; }
  QPushButton* OkButton() const { return okButton; }

 private:
  QPlainTextEdit* text = nullptr;
  QPushButton* okButton = nullptr;
};
