#include "ui/CSplashWindow.h"

#include <QApplication>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>

#include "app/AboutTexts.h"
#include "app/AppNames.h"
#include "app/CMainFrameModel.h"

namespace {

bool IsClosingInput(QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
      return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick: {
      Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
      return button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton;
    }
    default:
      return false;
  }
}

}  // namespace

CSplashWindow::CSplashWindow(QWidget* frame, Clock clock)
    : QDialog(frame, Qt::Dialog | Qt::FramelessWindowHint), frame(frame), clock(std::move(clock)) {
  setWindowTitle(kProgramFullName);
  setAttribute(Qt::WA_ShowWithoutActivating);

  auto* border = new QFrame(this);
  border->setFrameStyle(QFrame::Box | QFrame::Raised);
  border->setLineWidth(2);
  auto* outer = new QGridLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(border);

  auto* layout = new QGridLayout(border);
  layout->setContentsMargins(16, 16, 24, 16);
  layout->setHorizontalSpacing(16);
  auto* icon = new QLabel(border);
  icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
  icon->setAlignment(Qt::AlignTop);
  layout->addWidget(icon, 0, 0, 4, 1);

  auto* name = new QLabel(kProgramFullName, border);
  QFont nameFont = name->font();
  nameFont.setBold(true);
  nameFont.setPointSizeF(nameFont.pointSizeF() * 1.4);
  name->setFont(nameFont);
  layout->addWidget(name, 0, 1, 1, 2);
  layout->addWidget(new QLabel(kVersionLabel, border), 1, 1);
  layout->addWidget(new QLabel(kVersionText, border), 1, 2);
  layout->addWidget(new QLabel(kMakerCopyrightText, border), 2, 1, 1, 2);
  layout->addWidget(new QLabel(kMakerDescriptionText, border), 3, 1, 1, 2);
  // "Version" keeps to its own width; the version text follows it.
  layout->setColumnStretch(2, 1);

  idleTimer.setInterval(CSplashModel::kIdleTimerMs);
  connect(&idleTimer, &QTimer::timeout, this, &CSplashWindow::CheckIdle);
}

CSplashWindow::~CSplashWindow() {
  qApp->removeEventFilter(this);
}

void CSplashWindow::ShowSplash() {
  move(frame->x() + CMainFrameModel::kSplashOffsetX, frame->y() + CMainFrameModel::kSplashOffsetY);
  show();
  idleTimer.start();
  // Input anywhere in the program closes the window, not only input aimed at it.
  qApp->installEventFilter(this);
  model.Shown(clock());
}

void CSplashWindow::CheckIdle() {
  if (model.OnIdle(clock())) {
    CloseSplash();
  }
}

bool CSplashWindow::eventFilter(QObject* watched, QEvent* event) {
  if (IsClosingInput(event) && model.OnInput()) {
    CloseSplash();
  }
  // The press still goes where it was aimed.
  (void)watched;
  return false;
}

void CSplashWindow::CloseSplash() {
  idleTimer.stop();
  qApp->removeEventFilter(this);
  close();
}
