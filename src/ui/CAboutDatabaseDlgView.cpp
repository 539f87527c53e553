#include "ui/CAboutDatabaseDlgView.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "driver/CAboutDatabaseDlg.h"
#include "ui/CQtUi.h"

CAboutDatabaseDlgView::CAboutDatabaseDlgView(CAboutDatabaseDlg& model, QWidget* parent)
    : QDialog(parent) {
  auto* layout = new QVBoxLayout(this);
  text = new QPlainTextEdit(this);
  text->setReadOnly(true);
  // The text comes with CR LF line ends.
  text->setPlainText(CQtUi::ToQString(model.text).replace("\r\n", "\n"));
  layout->addWidget(text);
  okButton = new QPushButton("OK", this);
  okButton->setDefault(true);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(okButton);
  row->addStretch(1);
  layout->addLayout(row);
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
  resize(fontMetrics().averageCharWidth() * 70, fontMetrics().lineSpacing() * 16);
}
