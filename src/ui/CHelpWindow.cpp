#include "ui/CHelpWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "external/CHelpTopics.h"
#include "ui/CQtUi.h"

namespace {

constexpr const char* kNoHelpText = "The help pages were not found.";

}  // namespace

CHelpWindow& CHelpWindow::Instance() {
  static CHelpWindow* window = nullptr;
  if (window == nullptr) {
    std::string exe = QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    window =
        new CHelpWindow(CHelpTopics::FindHelpDirectory(CHelpTopics::CandidateDirectories(exe)));
    // Goes with the application, like its other top-level windows.
    window->setAttribute(Qt::WA_QuitOnClose, false);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, window, &QObject::deleteLater);
  }
  return *window;
}

CHelpWindow::CHelpWindow(std::string directory)
    : QWidget(nullptr), directory(std::move(directory)) {
  setWindowTitle(CHelpTopics::kHelpWindowCaption);
  auto* layout = new QVBoxLayout(this);
  auto* bar = new QHBoxLayout;
  back = new QToolButton(this);
  back->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
  back->setToolTip("Back");
  forward = new QToolButton(this);
  forward->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
  forward->setToolTip("Forward");
  auto* home = new QToolButton(this);
  home->setIcon(style()->standardIcon(QStyle::SP_DirHomeIcon));
  home->setToolTip("Contents");
  auto* searchLabel = new QLabel("&Search:", this);
  search = new QLineEdit(this);
  search->setClearButtonEnabled(true);
  searchLabel->setBuddy(search);
  bar->addWidget(back);
  bar->addWidget(forward);
  bar->addWidget(home);
  bar->addStretch();
  bar->addWidget(searchLabel);
  bar->addWidget(search);
  layout->addLayout(bar);
  browser = new QTextBrowser(this);
  browser->setOpenExternalLinks(true);
  layout->addWidget(browser);
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(back, &QToolButton::clicked, browser, &QTextBrowser::backward);
  connect(forward, &QToolButton::clicked, browser, &QTextBrowser::forward);
  connect(home, &QToolButton::clicked, this, [this] { Open(CHelpTopics::kIndexPage); });
  connect(browser, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
  connect(browser, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);
  connect(search, &QLineEdit::returnPressed, this, [this] { FindText(search->text()); });
  resize(640, 520);
}

void CHelpWindow::ShowTopic(int topic) {
  ShowPage(CHelpTopics::PageForTopic(topic));
}

void CHelpWindow::ShowPage(const std::string& page) {
  CHelpWindow& window = Instance();
  // Asked for from a dialog, the help comes over it: a window opened beside
  // a modal dialog would take no input until the dialog closes.
  QWidget* modal = QApplication::activeModalWidget();
  bool overDialog = modal != nullptr && modal != &window;
  Qt::WindowModality modality = overDialog ? Qt::ApplicationModal : Qt::NonModal;
  if (window.windowModality() != modality) {
    window.hide();
    window.setWindowModality(modality);
  }
  window.Open(page);
  window.show();
  window.raise();
  window.activateWindow();
}

void CHelpWindow::Open(const std::string& page) {
  if (directory.empty()) {
    browser->setPlainText(kNoHelpText);
    return;
  }
  browser->setSource(QUrl::fromLocalFile(CQtUi::ToQString(directory + "/" + page)));
}

bool CHelpWindow::FindText(const QString& text) {
  if (text.isEmpty()) {
    return false;
  }
  if (browser->find(text)) {
    return true;
  }
  // From the top once more, so a second Enter goes round the page.
  QTextCursor cursor = browser->textCursor();
  cursor.movePosition(QTextCursor::Start);
  browser->setTextCursor(cursor);
  return browser->find(text);
}
