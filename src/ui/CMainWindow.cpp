#include "ui/CMainWindow.h"

#include <QAction>
#include <QApplication>
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
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <algorithm>

#include "app/AppNames.h"
#include "app/CAppState.h"
#include "doc/CTmsfrmDoc.h"
#include "driver/CDriverLink.h"
#include "driver/CListSummary.h"
#include "driver/LinkState.h"
#include "output/CRecordFormat.h"
#include "platform/CTempFiles.h"
#include "ui/CBusyWindow.h"
#include "ui/CDocumentWindow.h"
#include "ui/CQtUi.h"

namespace {

constexpr const char* kOpenRemoteText = "Open Remote...";
constexpr const char* kOpenRemotePrompt = "Open remote configuration file\nOpen remote config";
constexpr const char* kConnectMenuText = "&Connect";
constexpr const char* kConnectText = "&Connect to Database...";
constexpr const char* kConnectPrompt = "Opens a dialog for selecting a database\nOpen Database";
constexpr const char* kDisconnectText = "&Disconnect from Database...";
constexpr const char* kAboutDatabaseText = "About the &Database";
constexpr const char* kEchoText = "Driver &Echo";
constexpr const char* kEchoPrompt = "Set echo for the driver;";
constexpr const char* kEditMenuText = "&Edit";
constexpr const char* kOptionsMenuText = "&Options";
constexpr const char* kRecordFormatText = "Record Format...";
constexpr const char* kRecordFormatPrompt = "Specify format options";
constexpr const char* kSaveFormatText = "&Save Format Options";

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

// A command prompt is the status bar text, then after a line feed the
// toolbar tip; without a line feed it is the status text alone.
void SetPrompt(QAction* action, const char* prompt) {
  QString text = QString::fromLatin1(prompt);
  qsizetype split = text.indexOf('\n');
  action->setStatusTip(text.left(split));
  if (split >= 0) {
    action->setToolTip(text.mid(split + 1));
  }
}

}  // namespace

CMainWindow::CMainWindow(CAppState& app, CSettingsStore& settings, Ui& ui, EventLoop& loop,
                         QWidget* parent)
    : QMainWindow(parent), app(app), settings(settings), ui(ui), loop(loop), model(app, settings) {
  setWindowTitle(kAppTitle);
  mdiArea = new QMdiArea(this);
  setCentralWidget(mdiArea);
  connect(mdiArea, &QMdiArea::subWindowActivated, this, [this] { UpdateActions(); });
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  UpdateActions();
  setAcceptDrops(true);

  QFontMetrics metrics(font());
  setMinimumSize(CMainFrameModel::MinimumWidth(metrics.averageCharWidth()),
                 CMainFrameModel::MinimumHeight(metrics.height()));
  QScreen* screen = QGuiApplication::primaryScreen();
  ApplyPlacement(screen != nullptr ? screen->geometry().width() : 0);
}

CMainWindow::~CMainWindow() {
  statusLine.Disconnect();
  // Document windows go before the documents they show, and the busy windows
  // before their documents (the entries' order).
  for (auto& [window, entry] : documents) {
    entry.changed.Disconnect();
    SetWaitCursor(entry, false);
    QObject::disconnect(window, nullptr, this, nullptr);
    delete window;
  }
  documents.clear();
}

void CMainWindow::CreateMenus() {
  QMenu* fileMenu = menuBar()->addMenu(CMainFrameModel::kFileMenuText);
  // The Ctrl+O in the menu text is only shown: the key itself belongs to
  // Open Remote.
  openLocalAction = fileMenu->addAction(CMainFrameModel::kOpenLocalText);
  connect(openLocalAction, &QAction::triggered, this, [this] { OpenLocalCommand(); });
  openRemoteAction = fileMenu->addAction(kOpenRemoteText);
  openRemoteAction->setIcon(style()->standardIcon(QStyle::SP_DriveNetIcon));
  SetPrompt(openRemoteAction, kOpenRemotePrompt);
  connect(openRemoteAction, &QAction::triggered, this, [this] { OpenRemoteCommand(); });
  auto* openRemoteKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this);
  connect(openRemoteKey, &QShortcut::activated, openRemoteAction, &QAction::trigger);
  fileMenu->addSeparator();
  exitAction = fileMenu->addAction(CMainFrameModel::kExitText);
  exitAction->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
  exitAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
  exitAction->setShortcutContext(Qt::ApplicationShortcut);
  connect(exitAction, &QAction::triggered, this, &QWidget::close);

  QMenu* connectMenu = menuBar()->addMenu(kConnectMenuText);
  // Some states change without a word from the document; the menu looks again.
  connect(connectMenu, &QMenu::aboutToShow, this, [this] { UpdateActions(); });
  connectAction = connectMenu->addAction(kConnectText);
  connectAction->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  SetPrompt(connectAction, kConnectPrompt);
  connect(connectAction, &QAction::triggered, this, [this] {
    if (CTmsfrmDoc* doc = ActiveDocument()) {
      doc->ConnectToDatabaseCommand();
    }
  });
  disconnectAction = connectMenu->addAction(kDisconnectText);
  disconnectAction->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
  connect(disconnectAction, &QAction::triggered, this, [this] {
    if (CTmsfrmDoc* doc = ActiveDocument()) {
      doc->DisconnectCommand();
    }
  });
  connectMenu->addSeparator();
  aboutDatabaseAction = connectMenu->addAction(kAboutDatabaseText);
  connect(aboutDatabaseAction, &QAction::triggered, this, [this] {
    if (CTmsfrmDoc* doc = ActiveDocument()) {
      doc->ShowDatabaseInfoCommand();
    }
  });
  connectMenu->addSeparator();
  echoAction = connectMenu->addAction(kEchoText);
  echoAction->setCheckable(true);
  echoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  SetPrompt(echoAction, kEchoPrompt);
  connect(echoAction, &QAction::triggered, this, [this] {
    if (CTmsfrmDoc* doc = ActiveDocument()) {
      doc->Link().ToggleEcho();
    }
    UpdateActions();
  });
  CreateDocumentMenus();
}

void CMainWindow::CreateDocumentMenus() {
  // The keys in these texts are taken by the document window itself, ahead
  // of the widgets, so the actions carry no shortcuts of their own.
  struct Entry {
    CDocumentWindow::Command command;
    const char* text;
    const char* prompt;
  };
  const Entry entries[] = {
      {CDocumentWindow::Command::Copy, "&Copy\tCtrl+C",
       "Copy the selection and put it on the Clipboard\nCopy"},
      {CDocumentWindow::Command::ClearAll, "C&lear All", "Clear all and reset to defaults"},
      {CDocumentWindow::Command::FindText, "Find Text\tAlt+F3", "Find text\nFind"},
      {CDocumentWindow::Command::FindNext, "Find Next\tF3", "Find next \nFind Next"},
      {CDocumentWindow::Command::ChangeFont, "Change Font", "Change the fonts for this window;"},
  };
  // The document's menus: shown only while a document is open.
  editMenu = new QMenu(kEditMenuText, this);
  menuBar()->addMenu(editMenu);
  connect(editMenu, &QMenu::aboutToShow, this, [this] { UpdateActions(); });
  for (const Entry& entry : entries) {
    if (entry.command == CDocumentWindow::Command::FindText ||
        entry.command == CDocumentWindow::Command::ChangeFont) {
      editMenu->addSeparator();
    }
    QAction* action = editMenu->addAction(entry.text);
    SetPrompt(action, entry.prompt);
    CDocumentWindow::Command command = entry.command;
    connect(action, &QAction::triggered, this, [this, command] { RunDocumentCommand(command); });
    commandActions[command] = action;
  }

  optionsMenu = new QMenu(kOptionsMenuText, this);
  menuBar()->addMenu(optionsMenu);
  connect(optionsMenu, &QMenu::aboutToShow, this, [this] { UpdateActions(); });
  recordFormatAction = optionsMenu->addAction(kRecordFormatText);
  SetPrompt(recordFormatAction, kRecordFormatPrompt);
  connect(recordFormatAction, &QAction::triggered, this, [this] {
    if (CTmsfrmDoc* doc = ActiveDocument()) {
      doc->RecordFormatCommand();
    }
  });
  saveFormatAction = optionsMenu->addAction(kSaveFormatText);
  connect(saveFormatAction, &QAction::triggered, this, [this] {
    if (CTmsfrmDoc* doc = ActiveDocument()) {
      doc->RecordFormat().SaveRecordFormat();
    }
  });
}

void CMainWindow::RunDocumentCommand(CDocumentWindow::Command command) {
  if (CDocumentWindow* page = PageOf(mdiArea->currentSubWindow())) {
    page->Run(command);
  }
  UpdateActions();
}

void CMainWindow::CreateToolBar() {
  toolBar = addToolBar("Toolbar");
  toolBar->setObjectName("Toolbar");
  toolBar->addAction(openRemoteAction);
  toolBar->addAction(exitAction);
  toolBar->addSeparator();
  toolBar->addAction(connectAction);
  toolBar->addAction(disconnectAction);
}

void CMainWindow::CreateStatusBar() {
  messagePane = new QLabel(this);
  messagePane->setMinimumWidth(
      messagePane->fontMetrics().horizontalAdvance(CMainFrameModel::kMessagePaneSizingText));
  messagePane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  statusBar()->addPermanentWidget(messagePane);
  statusLine = app.statusChanged.Connect([this](const std::string&) { UpdateMessagePane(); });
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
  CTmsfrmDoc* shown = doc.get();
  auto* page = new CDocumentWindow(*shown);
  QMdiSubWindow* window = mdiArea->addSubWindow(page);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowIcon(style()->standardIcon(QStyle::SP_FileIcon));
  window->setWindowTitle(CQtUi::ToQString(shown->Title()));
  // Child windows open at three quarters of the frame's area, as the
  // platform's cascade would place them.
  QSize area = mdiArea->viewport()->size();
  window->resize(std::max(area.width() * 3 / 4, window->sizeHint().width()),
                 std::max(area.height() * 3 / 4, window->sizeHint().height()));
  DocumentEntry& entry = documents[window];
  entry.doc = std::move(doc);
  entry.page = page;
  entry.busy = std::make_unique<CBusyWindow>(shown->Link().Busy(), this);
  entry.changed = shown->onChanged.Connect([this, window] { DocumentChanged(window); });
  connect(window, &QObject::destroyed, this, [this, window] { ForgetDocument(window); });
  window->show();
  UpdateActions();
  // The first choice of a database may connect or ask; either way the
  // document's window is up first.
  QTimer::singleShot(0, window, [shown] { shown->FirstSelection(); });
  return true;
}

void CMainWindow::ForgetDocument(QMdiSubWindow* window) {
  auto found = documents.find(window);
  if (found == documents.end()) {
    return;
  }
  found->second.changed.Disconnect();
  SetWaitCursor(found->second, false);
  documents.erase(found);
  UpdateActions();
}

void CMainWindow::DocumentChanged(QMdiSubWindow* window) {
  auto found = documents.find(window);
  if (found == documents.end()) {
    return;
  }
  DocumentEntry& entry = found->second;
  window->setWindowTitle(CQtUi::ToQString(entry.doc->Title()));
  entry.page->Refresh();
  SetWaitCursor(entry, entry.doc->Summary().ShowsWaitCursor());
  UpdateActions();
}

void CMainWindow::SetWaitCursor(DocumentEntry& entry, bool wait) {
  if (entry.waitCursor == wait) {
    return;
  }
  entry.waitCursor = wait;
  if (wait) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void CMainWindow::UpdateActions() {
  CTmsfrmDoc* doc = ActiveDocument();
  connectAction->setEnabled(doc != nullptr && doc->Link().CanConnect());
  disconnectAction->setEnabled(doc != nullptr && doc->Link().CanDisconnect());
  aboutDatabaseAction->setEnabled(doc != nullptr && doc->CanShowDatabaseInfo());
  echoAction->setEnabled(doc != nullptr);
  echoAction->setChecked(doc != nullptr && doc->Link().EchoEnabled());
  CDocumentWindow* page = PageOf(mdiArea->currentSubWindow());
  for (auto& [command, action] : commandActions) {
    action->setEnabled(page != nullptr && page->CanRun(command));
  }
  editMenu->menuAction()->setVisible(doc != nullptr);
  optionsMenu->menuAction()->setVisible(doc != nullptr);
  recordFormatAction->setEnabled(doc != nullptr);
  saveFormatAction->setEnabled(doc != nullptr);
}

const CMainWindow::DocumentEntry* CMainWindow::EntryOf(QMdiSubWindow* window) const {
  auto found = documents.find(window);
  return found != documents.end() ? &found->second : nullptr;
}

CTmsfrmDoc* CMainWindow::DocumentOf(QMdiSubWindow* window) const {
  const DocumentEntry* entry = EntryOf(window);
  return entry != nullptr ? entry->doc.get() : nullptr;
}

CBusyWindow* CMainWindow::BusyWindowOf(QMdiSubWindow* window) const {
  const DocumentEntry* entry = EntryOf(window);
  return entry != nullptr ? entry->busy.get() : nullptr;
}

CDocumentWindow* CMainWindow::PageOf(QMdiSubWindow* window) const {
  const DocumentEntry* entry = EntryOf(window);
  return entry != nullptr ? entry->page : nullptr;
}

CTmsfrmDoc* CMainWindow::ActiveDocument() const {
  // The current child stays current while another program has the focus.
  return DocumentOf(mdiArea->currentSubWindow());
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

void CMainWindow::OpenRemoteCommand() {
  app.remoteOpenPending = true;
  app.askForUrl = true;
  // The document is named like the copy the fetch will make.
  OpenDocument(CTempFiles::ConfigCopyName(app.privateDirectory, app.tempConfigCounter));
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
