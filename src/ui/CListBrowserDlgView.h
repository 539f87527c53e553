#pragma once

#include <QDialog>

#include "app/Signal.h"

class CBrowseListWidget;
class CListBrowserDlg;
class QLabel;
class QLineEdit;
class QPushButton;

// The List Browser: the jump text box with OK, Help and Cancel in a row at
// the top, the "Browse Headings" label and the heading list below. The
// list's keys typed in the text box move the list; Enter is OK, Esc Cancel.
class CListBrowserDlgView : public QDialog {
  Q_OBJECT

 public:
  CListBrowserDlgView(CListBrowserDlg& model, QWidget* parent);

  QLineEdit* TextBox() const { return text; }
  CBrowseListWidget* ListWidget() const { return listWidget; }
  QLabel* HeadingLabel() const { return heading; }
  QPushButton* OkButton() const { return okButton; }
  QPushButton* CancelButton() const { return cancelButton; }

 public slots:
  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Refresh();

  CListBrowserDlg& model;
  QLineEdit* text = nullptr;
  QPushButton* okButton = nullptr;
  QPushButton* helpButton = nullptr;
  QPushButton* cancelButton = nullptr;
  QLabel* heading = nullptr;
  CBrowseListWidget* listWidget = nullptr;
  ConnectionBag connections;
};
