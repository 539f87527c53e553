#include "ui/CDocumentWindow.h"

#include <QLabel>
#include <QVBoxLayout>

#include "doc/CTmsfrmDoc.h"
#include "ui/CQtUi.h"

CDocumentWindow::CDocumentWindow(const CTmsfrmDoc& doc, QWidget* parent)
    : QWidget(parent), doc(doc) {
  auto* layout = new QVBoxLayout(this);
  heading = new QLabel(this);
  heading->setTextFormat(Qt::PlainText);
  heading->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  QFont font = heading->font();
  font.setBold(true);
  heading->setFont(font);
  layout->addWidget(heading);
  layout->addStretch(1);
  Refresh();
}

void CDocumentWindow::Refresh() {
  heading->setText(CQtUi::ToQString(doc.Heading()));
}
