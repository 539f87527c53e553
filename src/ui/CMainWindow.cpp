#include "ui/CMainWindow.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>

#include "app/AppNames.h"
#include "app/CAppState.h"
#include "doc/CTmsfrmDoc.h"
#include "ui/CQtUi.h"

namespace {

std::vector<std::string> LocalFiles(const QMimeData* mime) {
  std::vector<std::string> paths;
  if (mime == nullptr || !mime->hasUrls()) {
    return paths;
  }
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile()) {
      paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    }
  }
  return paths;
}

}  // namespace

CMainWindow::CMainWindow(CAppState& app, CSettingsStore& settings, Ui& ui, EventLoop& loop,
                         QWidget* parent)
    : QMainWindow(parent), app(app), settings(settings), ui(ui), loop(loop), model(app, settings) {
  setWindowTitle(kAppTitle);
  mdiArea = new QMdiArea(this);
  setCentralWidget(mdiArea);
  CreateMenus();
  CreateStatusBar();
  setAcceptDrops(true);

  QFontMetrics metrics(font());
  setMinimumSize(CMainFrameModel::MinimumWidth(metrics.averageCharWidth()),
                 CMainFrameModel::MinimumHeight(metrics.height()));
  QScreen* screen = QGuiApplication::primaryScreen();
  ApplyPlacement(screen != nullptr ? screen->geometry().width() : 0);
}

CMainWindow::~CMainWindow() {
  app.RemoveStatusObserver(statusObserver);
  // Document windows go before the documents they show.
  for (auto& [window, doc] : documents) {
    doc->onChanged = nullptr;
    QObject::disconnect(window, nullptr, this, nullptr);
    delete window;
  }
}

void CMainWindow::CreateMenus() {
  QMenu* fileMenu = menuBar()->addMenu(CMainFrameModel::kFileMenuText);
  // The Ctrl+O in the menu text is only shown: the key itself belongs to
  // Open Remote.
  openLocalAction = fileMenu->addAction(CMainFrameModel::kOpenLocalText);
  connect(openLocalAction, &QAction::triggered, this, [this] { OpenLocalCommand(); });
  fileMenu->addSeparator();
  exitAction = fileMenu->addAction(CMainFrameModel::kExitText);
  exitAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
  exitAction->setShortcutContext(Qt::ApplicationShortcut);
  connect(exitAction, &QAction::triggered, this, &QWidget::close);
}

void CMainWindow::CreateStatusBar() {
  messagePane = new QLabel(this);
  messagePane->setMinimumWidth(
      messagePane->fontMetrics().horizontalAdvance(CMainFrameModel::kMessagePaneSizingText));
  messagePane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  statusBar()->addPermanentWidget(messagePane);
  statusObserver = app.AddStatusObserver([this](const std::string&) { UpdateMessagePane(); });
  UpdateMessagePane();
}

void CMainWindow::UpdateMessagePane() {
  messagePane->setText(CQtUi::ToQString(model.StatusPaneText()));
}

void CMainWindow::ApplyPlacement(int screenWidth) {
  FramePlacement placement = model.InitialPlacement(screenWidth);
  // The position is the frame's outer corner, the size the window's own area,
  // as a saved normal geometry gives them back.
  move(placement.x, placement.y);
  resize(placement.width, placement.height);
}

bool CMainWindow::OpenDocument(const std::string& path) {
  auto doc = std::make_unique<CTmsfrmDoc>(app, settings, ui, loop);
  if (!doc->OpenDocumentConfig(path)) {
    return false;
  }
  auto* content = new QWidget;
  QMdiSubWindow* window = mdiArea->addSubWindow(content);
  window->setAttribute(Qt::WA_DeleteOnClose);
  CTmsfrmDoc* shown = doc.get();
  window->setWindowTitle(CQtUi::ToQString(shown->Title()));
  shown->onChanged = [window, shown] { window->setWindowTitle(CQtUi::ToQString(shown->Title())); };
  connect(window, &QObject::destroyed, this, [this, window] {
    auto found = documents.find(window);
    if (found != documents.end()) {
      found->second->onChanged = nullptr;
      documents.erase(found);
    }
  });
  documents[window] = std::move(doc);
  window->show();
  return true;
}

void CMainWindow::OpenLocalCommand() {
  std::optional<std::string> path = ui.ChooseFile(model.OpenLocalRequest());
  if (path) {
    OpenLocalFiles({*path});
  }
}

void CMainWindow::OpenLocalFiles(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    model.PrepareLocalOpen();
    OpenDocument(path);
  }
}

void CMainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!LocalFiles(event->mimeData()).empty()) {
    event->acceptProposedAction();
  }
}

void CMainWindow::dropEvent(QDropEvent* event) {
  std::vector<std::string> paths = LocalFiles(event->mimeData());
  if (paths.empty()) {
    return;
  }
  event->acceptProposedAction();
  // Opened once the drop is over: an open may ask questions, and the program
  // the files came from should not wait for them.
  QMetaObject::invokeMethod(
      this, [this, paths] { OpenLocalFiles(paths); }, Qt::QueuedConnection);
}
