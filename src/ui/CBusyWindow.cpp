#include "ui/CBusyWindow.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include "driver/CBusyDialog.h"
#include "ui/CQtUi.h"

namespace {

// The window's layout is given in dialog units: a quarter of the average
// character width across, an eighth of the character height down.
struct DialogUnits {
  explicit DialogUnits(const QFontMetrics& metrics)
      : x(metrics.averageCharWidth()), y(metrics.height()) {}
  int X(int units) const { return (units * x + 2) / 4; }
  int Y(int units) const { return (units * y + 4) / 8; }
  QRect Rect(int left, int top, int width, int height) const {
    return QRect(X(left), Y(top), X(width), Y(height));
  }
  int x;
  int y;
};

}  // namespace

CBusyWindow::CBusyWindow(CBusyDialog& busy, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), busy(busy) {
  setWindowTitle("Message...");
  setModal(false);
  DialogUnits du(fontMetrics());
  setFixedSize(du.X(230), du.Y(42));
  text = new QLabel(this);
  text->setTextFormat(Qt::PlainText);
  text->setWordWrap(true);
  text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  text->setGeometry(du.Rect(41, 3, 121, 26));
  text->setAccessibleName("Progress");
  cancel = new QPushButton("Cancel", this);
  cancel->setGeometry(du.Rect(172, 6, 50, 14));
  connect(cancel, &QPushButton::clicked, this, [this] { this->busy.Cancel(); });
  connections += busy.onChanged.Connect([this] { Refresh(); });
  Refresh();
}

CBusyWindow::~CBusyWindow() = default;

void CBusyWindow::Refresh() {
  text->setText(CQtUi::ToQString(busy.Text()));
  if (busy.IsShown() && !isVisible()) {
    show();
  } else if (!busy.IsShown() && isVisible()) {
    hide();
  }
  if (shownFrame != busy.Frame()) {
    update(AnimationRect());
  }
}

void CBusyWindow::reject() {
  // The model closes the window once the cancel has run.
  busy.Cancel();
}

void CBusyWindow::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  shownFrame = busy.Frame();
  DrawFrame(painter, AnimationRect(), shownFrame, palette());
}

void CBusyWindow::DrawFrame(QPainter& painter, const QRect& rect, int frame,
                            const QPalette& palette) {
  // A ring of sixteen segments; the segment of the frame is dark and the
  // three before it fade out behind it, so the ring seems to turn.
  const int frames = CBusyDialog::kFrames;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  QRectF outer = QRectF(rect).adjusted(1, 1, -1, -1);
  QRectF inner = outer.adjusted(outer.width() / 4, outer.height() / 4, -outer.width() / 4,
                                -outer.height() / 4);
  const double step = 360.0 / frames;
  for (int i = 0; i < frames; ++i) {
    int behind = (frame - i + frames) % frames;
    QColor colour = palette.color(QPalette::Mid);
    if (behind < 4) {
      colour = palette.color(QPalette::Highlight);
      colour.setAlpha(255 - behind * 55);
    }
    // Clockwise from twelve o'clock; Qt's angles run counter-clockwise from three.
    double start = 90.0 - (i + 1) * step + 1.5;
    double span = step - 3.0;
    QPainterPath path;
    path.arcMoveTo(outer, start);
    path.arcTo(outer, start, span);
    path.arcTo(inner, start + span, -span);
    path.closeSubpath();
    painter.fillPath(path, colour);
  }
  painter.restore();
}
