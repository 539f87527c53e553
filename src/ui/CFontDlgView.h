#pragma once

#include <QFontDialog>

#include "app/CFontDlg.h"

// The font chooser over Qt's own font dialog, starting from the model's
// font; OK hands the choice back to the model.
class CFontDlgView : public QFontDialog {
  Q_OBJECT

 public:
  CFontDlgView(CFontDlg& model, QWidget* parent);

  // The result windows' font description as a Qt font, and back; `dpi` turns
  // point sizes into the pixel heights the settings keep.
  static QFont ToQFont(const FontDesc& desc);
  static FontDesc ToFontDesc(const QFont& font, double dpi);

 public slots:
  void accept() override;

 private:
  CFontDlg& model;
};
