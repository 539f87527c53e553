#pragma once

#include <QDialog>

#include "app/Signal.h"

class CSaveMailDlg;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Save/Mail": the choice between a file and mail, and for mail the
// recipient, the subject and, while no mail host is stored, the host. The
// model says which layout shows; the dialog is as tall as that layout asks.
class CSaveMailDlgView : public QDialog {
  Q_OBJECT

 public:
  CSaveMailDlgView(CSaveMailDlg& model, QWidget* parent);

  QRadioButton* SaveButton() const { return saveChoice; }
  QRadioButton* MailButton() const { return mailChoice; }
  QLineEdit* ToBox() const { return toBox; }
  QLineEdit* SubjectBox() const { return subjectBox; }
  QLineEdit* HostBox() const { return hostBox; }
  QPushButton* OkButton() const { return ok; }
  QPushButton* HelpButton() const { return help; }
  // The height of the full layout, with the host field, in pixels.
  int FullHeight() const { return fullHeight; }

 public slots:
  void accept() override;

 private:
  void ShowLayout();

  CSaveMailDlg& model;
  QRadioButton* saveChoice = nullptr;
  QRadioButton* mailChoice = nullptr;
  QLabel* toLabel = nullptr;
  QLineEdit* toBox = nullptr;
  QLabel* subjectLabel = nullptr;
  QLineEdit* subjectBox = nullptr;
  QLabel* hostLabel = nullptr;
  QLineEdit* hostBox = nullptr;
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
  QPushButton* help = nullptr;
  int fullHeight = 0;
  ConnectionBag connections;
};
