#include "ui/CFontDlgView.h"

#include <QFontInfo>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "ui/CQtUi.h"

CFontDlgView::CFontDlgView(CFontDlg& model, QWidget* parent) : QFontDialog(parent), model(model) {
  // A native dialog would close without asking the model.
  setOption(QFontDialog::DontUseNativeDialog);
  // A face that is not installed starts the list at the stand-in in use.
  QFont font = ToQFont(model.font);
  font.setFamily(QFontInfo(font).family());
  setCurrentFont(font);
}

QFont CFontDlgView::ToQFont(const FontDesc& desc) {
  QFont font(CQtUi::ToQString(desc.faceName));
  if (desc.fixedPitch) {
    // Lets fontconfig find a fixed-pitch stand-in for a missing face.
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
  }
  // The stored height is a character height in pixels; 0 keeps the default.
  if (desc.height != 0) {
    font.setPixelSize(std::abs(desc.height));
  }
  font.setWeight(static_cast<QFont::Weight>(std::clamp(desc.weight, 1, 1000)));
  font.setItalic(desc.italic);
  font.setUnderline(desc.underline);
  font.setStrikeOut(desc.strikeOut);
  return font;
}

FontDesc CFontDlgView::ToFontDesc(const QFont& font, double dpi) {
  FontDesc desc;
  desc.faceName = font.family().toUtf8().toStdString();
  int pixels = font.pixelSize() > 0 ? font.pixelSize()
                                    : static_cast<int>(std::lround(font.pointSizeF() * dpi / 72.0));
  desc.height = -std::max(1, pixels);
  desc.weight = font.weight();
  desc.italic = font.italic();
  desc.underline = font.underline();
  desc.strikeOut = font.strikeOut();
  desc.fixedPitch = QFontInfo(font).fixedPitch();
  return desc;
}

void CFontDlgView::accept() {
  model.font = ToFontDesc(currentFont(), logicalDpiY());
  if (model.OnOk()) {
    QFontDialog::accept();
  }
}
