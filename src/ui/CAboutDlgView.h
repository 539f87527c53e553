#pragma once

#include <QDialog>

class CAboutDlg;

// "About Tamsel": the program's picture, name, version, copyright and maker
// texts, and OK.
class CAboutDlgView : public QDialog {
  Q_OBJECT

 public:
  CAboutDlgView(CAboutDlg& model, QWidget* parent);
};
