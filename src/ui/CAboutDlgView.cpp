#include "ui/CAboutDlgView.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QStyle>

#include "app/CAboutDlg.h"
#include "ui/CQtUi.h"

CAboutDlgView::CAboutDlgView(CAboutDlg& model, QWidget* parent) : QDialog(parent) {
  auto* layout = new QGridLayout(this);
  auto* picture = new QLabel(this);
  picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
  picture->setContentsMargins(CAboutDlg::kPictureX, CAboutDlg::kPictureY, 0, 0);
  layout->addWidget(picture, 0, 0, 4, 1, Qt::AlignTop);
  int row = 0;
  auto addLine = [&](const std::string& text) {
    auto* label = new QLabel(CQtUi::ToQString(text), this);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label, row++, 1);
  };
  addLine(model.FullName());
  addLine(model.VersionLabel() + " " + model.VersionText());
  addLine(model.Copyright());
  addLine(model.Description());
  addLine(model.Contact());
  addLine(model.Documentation());
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  layout->addWidget(buttons, row, 0, 1, 2);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
}
