#include "ui/CMainWindow.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QWhatsThis>
#include <algorithm>

#include "app/AppNames.h"
#include "app/CAboutDlg.h"
#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "app/CommandIds.h"
#include "app/EventLoop.h"
#include "app/FormatText.h"
#include "config/CDefaultUrlCommand.h"
#include "doc/CDocExternal.h"
#include "doc/CDocOutput.h"
#include "doc/CTmsfrmDoc.h"
#include "driver/CDriverLink.h"
#include "driver/CListSummary.h"
#include "driver/CPacketTrace.h"
#include "driver/LinkState.h"
#include "external/CHelpTopics.h"
#include "external/CWebBrowser.h"
#include "output/CRecordFormat.h"
#include "platform/CTempFiles.h"
#include "search/CSavedQueries.h"
#include "ui/CBusyWindow.h"
#include "ui/CDocumentWindow.h"
#include "ui/CHelpWindow.h"
#include "ui/CQtUi.h"
#include "ui/CResultOutputActions.h"
#include "ui/SteadySize.h"

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

CSavedQueries::Command QueryCommandOf(int commandId) {
  switch (commandId) {
    case kCmdQueryName:
      return CSavedQueries::Command::Name;
    case kCmdQueryDelete:
      return CSavedQueries::Command::Delete;
    case kCmdQueryDeleteAll:
      return CSavedQueries::Command::DeleteAll;
    case kCmdQuerySelect:
      return CSavedQueries::Command::Select;
    case kCmdQueryLoad:
      return CSavedQueries::Command::Retrieve;
    default:
      return CSavedQueries::Command::Save;
  }
}

// The help topic of the page in front.
int TopicOfPage(int page) {
  switch (page) {
    case CMainView::PAGE_CRITERIA:
      return CHelpTopics::kSearchCriteriaTopic;
    case CMainView::PAGE_BASIC:
      return CHelpTopics::kBasicModeTopic;
    case CMainView::PAGE_SUMMARY:
      return CHelpTopics::kSummaryTopic;
    case CMainView::PAGE_RECORD:
      return CHelpTopics::kFullRecordTopic;
    default:
      return 0;
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

  // Said after the command that wrote, not in the middle of it.
  settingsFailures = settings.writeFailed.Connect([this](CSettingsStore::WriteStatus status) {
    std::string text = this->settings.WriteFailedText(status);
    QTimer::singleShot(0, this, [this, text] {
      this->ui.MessageBox(text, CSettingsStore::kWriteFailedCaption, MsgButtons::Ok,
                          MsgIcon::Warning);
    });
  });
}

CMainWindow::~CMainWindow() {
  statusLine.Disconnect();
  settingsFailures.Disconnect();
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
  for (const Menu& menu : CMainFrameModel::FrameMenus()) {
    frameMenus.push_back(BuildMenu(menu.text, menu.items));
  }
  for (const Menu& menu : CMainFrameModel::DocumentMenus()) {
    documentMenus.push_back(BuildMenu(menu.text, menu.items));
  }
  openLocalAction = CommandAction(kCmdOpenLocal);
  openRemoteAction = CommandAction(kCmdOpenRemote);
  exitAction = CommandAction(kCmdExit);
  connectAction = CommandAction(kCmdConnect);
  disconnectAction = CommandAction(kCmdDisconnect);
  aboutDatabaseAction = CommandAction(kCmdAboutDatabase);
  echoAction = CommandAction(kCmdEcho);
  openRemoteAction->setIcon(style()->standardIcon(QStyle::SP_DriveNetIcon));
  exitAction->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
  connectAction->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  disconnectAction->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
  CreateShortcuts();
}

QMenu* CMainWindow::BuildMenu(const std::string& title, const std::vector<MenuItem>& items,
                              QMenu* parentMenu) {
  auto* menu = new QMenu(CQtUi::ToQString(title),
                         parentMenu != nullptr ? static_cast<QWidget*>(parentMenu) : this);
  if (parentMenu != nullptr) {
    parentMenu->addMenu(menu);
  } else {
    menuBar()->addMenu(menu);
  }
  // Some states change without a word from the document; the menu looks again.
  connect(menu, &QMenu::aboutToShow, this, [this] { UpdateActions(); });
  for (const MenuItem& item : items) {
    switch (item.kind) {
      case MenuItem::Kind::Separator:
        menu->addSeparator();
        break;
      case MenuItem::Kind::Submenu:
        BuildMenu(item.text, item.items, menu);
        break;
      case MenuItem::Kind::Command:
        menu->addAction(ActionFor(item));
        break;
    }
  }
  return menu;
}

QAction* CMainWindow::ActionFor(const MenuItem& item) {
  auto found = actions.find(item.commandId);
  if (found != actions.end()) {
    return found->second;
  }
  auto* action = new QAction(CQtUi::ToQString(item.text), this);
  // A key not written in the text is shown beside it, but sent by the
  // shortcut table, never by the action: one key, one command.
  if (!item.shortcut.empty() && item.text.find('\t') == std::string::npos) {
    action->setText(CQtUi::ToQString(item.text + "\t" + item.shortcut));
  }
  action->setCheckable(item.checkable);
  SetPrompt(action, item.prompt.c_str());
  action->setWhatsThis(action->statusTip());
  int id = item.commandId;
  connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
  actions[id] = action;
  return action;
}

QAction* CMainWindow::CommandAction(int commandId) const {
  auto found = actions.find(commandId);
  return found != actions.end() ? found->second : nullptr;
}

void CMainWindow::CreateShortcuts() {
  // The page keys (Copy, Find, Clear All, More...) are taken by the document
  // window ahead of its widgets, and the text boxes have their own editing
  // keys; the frame sends the rest.
  const int frameCommands[] = {kCmdOpenRemote, kCmdExit, kCmdSaveMail,   kCmdPrintResult,
                               kCmdEcho,       kCmdHelp, kCmdContextHelp};
  for (const ShortcutKey& key : CMainFrameModel::Shortcuts()) {
    if (std::find(std::begin(frameCommands), std::end(frameCommands), key.commandId) ==
        std::end(frameCommands)) {
      continue;
    }
    auto* shortcut = new QShortcut(QKeySequence(CQtUi::ToQString(key.key)), this);
    shortcut->setContext(Qt::ApplicationShortcut);
    int id = key.commandId;
    connect(shortcut, &QShortcut::activated, this, [this, id] { RunCommand(id); });
  }
}

bool CMainWindow::TextBoxCan(int commandId) const {
  QWidget* focus = QApplication::focusWidget();
  if (auto* line = qobject_cast<QLineEdit*>(focus)) {
    if (line->isReadOnly()) {
      return false;
    }
    return commandId == kCmdUndo  ? line->isUndoAvailable()
           : commandId == kCmdCut ? line->hasSelectedText()
                                  : true;
  }
  if (auto* text = qobject_cast<QTextEdit*>(focus)) {
    if (text->isReadOnly()) {
      return false;
    }
    return commandId == kCmdUndo  ? text->document()->isUndoAvailable()
           : commandId == kCmdCut ? text->textCursor().hasSelection()
                                  : true;
  }
  return false;
}

bool CMainWindow::CommandEnabled(int commandId) const {
  CTmsfrmDoc* doc = ActiveDocument();
  CDocumentWindow* page = PageOf(mdiArea->currentSubWindow());
  auto pageCan = [page](CDocumentWindow::Command command) {
    return page != nullptr && page->CanRun(command);
  };
  switch (commandId) {
    case kCmdConnect:
      return doc != nullptr && doc->Link().CanConnect();
    case kCmdDisconnect:
      return doc != nullptr && doc->Link().CanDisconnect();
    case kCmdAboutDatabase:
      return doc != nullptr && doc->CanShowDatabaseInfo();
    case kCmdEcho:
    case kCmdRecordFormat:
    case kCmdSaveFormatOptions:
    case kCmdCloseDocument:
      return doc != nullptr;
    case kCmdUndo:
    case kCmdCut:
    case kCmdPaste:
      return doc != nullptr && TextBoxCan(commandId);
    case kCmdCopy:
      return pageCan(CDocumentWindow::Command::Copy);
    case kCmdClearAll:
      return pageCan(CDocumentWindow::Command::ClearAll);
    case kCmdFindText:
      return pageCan(CDocumentWindow::Command::FindText);
    case kCmdFindNext:
      return pageCan(CDocumentWindow::Command::FindNext);
    case kCmdChangeFont:
      return pageCan(CDocumentWindow::Command::ChangeFont);
    case kCmdQueryName:
    case kCmdQueryDelete:
    case kCmdQueryDeleteAll:
    case kCmdQuerySelect:
    case kCmdQueryLoad:
    case kCmdQuerySave:
      return doc != nullptr && doc->SavedQueries().IsEnabled(QueryCommandOf(commandId));
    case kCmdDatabaseHelp:
      return doc != nullptr && doc->External().DatabaseHelpEnabled();
    case kCmdWindowCascade:
    case kCmdWindowTile:
      return !mdiArea->subWindowList().isEmpty();
    case kCmdWindowArrange: {
      const QList<QMdiSubWindow*> windows = mdiArea->subWindowList();
      return std::any_of(windows.begin(), windows.end(),
                         [](QMdiSubWindow* w) { return w->isMinimized(); });
    }
    case kCmdSaveMail:
    case kCmdPrintResult: {
      if (doc == nullptr) {
        return false;
      }
      auto source = CDocOutput::SourceOfPage(doc->MainView().Selected());
      return source && (commandId == kCmdSaveMail ? doc->Output().CanSaveMail(*source)
                                                  : doc->Output().CanPrint(*source));
    }
    default:
      return true;
  }
}

bool CMainWindow::CommandChecked(int commandId) const {
  CTmsfrmDoc* doc = ActiveDocument();
  switch (commandId) {
    case kCmdEcho:
      return doc != nullptr && doc->Link().EchoEnabled();
    case kCmdViewToolbar:
      return toolBar != nullptr && !toolBar->isHidden();
    case kCmdViewStatusBar:
      return !statusBar()->isHidden();
    case kCmdSplashOn:
      return model.SplashChecked();
    case kCmdPacketTrace:
      return CPacketTrace::Of(app).Active();
    default:
      return false;
  }
}

void CMainWindow::RunCommand(int commandId) {
  UpdateActions();
  QAction* action = CommandAction(commandId);
  if ((action != nullptr && !action->isEnabled()) || !CommandEnabled(commandId)) {
    return;
  }
  CTmsfrmDoc* doc = ActiveDocument();
  switch (commandId) {
    case kCmdOpenLocal:
      OpenLocalCommand();
      break;
    case kCmdOpenRemote:
      OpenRemoteCommand();
      break;
    case kCmdCloseDocument:
      mdiArea->closeActiveSubWindow();
      break;
    case kCmdPrintSetup:
      PrintSetupCommand();
      break;
    case kCmdExit:
      close();
      break;
    case kCmdUndo:
    case kCmdCut:
    case kCmdPaste: {
      const char* slot = commandId == kCmdUndo ? "undo" : commandId == kCmdCut ? "cut" : "paste";
      QMetaObject::invokeMethod(QApplication::focusWidget(), slot);
      break;
    }
    case kCmdCopy:
      RunDocumentCommand(CDocumentWindow::Command::Copy);
      break;
    case kCmdClearAll:
      RunDocumentCommand(CDocumentWindow::Command::ClearAll);
      break;
    case kCmdFindText:
      RunDocumentCommand(CDocumentWindow::Command::FindText);
      break;
    case kCmdFindNext:
      RunDocumentCommand(CDocumentWindow::Command::FindNext);
      break;
    case kCmdChangeFont:
      RunDocumentCommand(CDocumentWindow::Command::ChangeFont);
      break;
    case kCmdSaveMail:
    case kCmdPrintResult:
      if (CDocumentWindow* page = PageOf(mdiArea->currentSubWindow())) {
        if (auto source = CDocOutput::SourceOfPage(doc->MainView().Selected())) {
          commandId == kCmdSaveMail ? page->OutputActions()->SaveMail(*source)
                                    : page->OutputActions()->Print(*source);
        }
      }
      UpdateActions();
      break;
    case kCmdConnect:
      doc->ConnectToDatabaseCommand();
      break;
    case kCmdDisconnect:
      doc->DisconnectCommand();
      break;
    case kCmdAboutDatabase:
      doc->ShowDatabaseInfoCommand();
      break;
    case kCmdEcho:
      doc->Link().ToggleEcho();
      break;
    case kCmdQueryName:
    case kCmdQueryDelete:
    case kCmdQueryDeleteAll:
    case kCmdQuerySelect:
    case kCmdQueryLoad:
    case kCmdQuerySave:
      doc->SavedQueries().Run(QueryCommandOf(commandId));
      break;
    case kCmdRecordFormat:
      doc->RecordFormatCommand();
      break;
    case kCmdSaveFormatOptions:
      doc->RecordFormat().SaveRecordFormat();
      break;
    case kCmdSaveWindowPosition:
      SaveWindowPositionCommand();
      break;
    case kCmdDefaultMailhost:
      model.DefaultMailhostCommand(ui);
      break;
    case kCmdDefaultUrl:
      CDefaultUrlCommand(ui, settings).Run();
      break;
    case kCmdWebBrowser:
      CWebBrowser(ui, settings).ChooseBrowser();
      break;
    case kCmdSplashOn:
      model.ToggleSplash();
      break;
    case kCmdPacketTrace:
      TogglePacketTrace();
      break;
    case kCmdViewToolbar:
      toolBar->setVisible(toolBar->isHidden());
      break;
    case kCmdViewStatusBar:
      statusBar()->setVisible(statusBar()->isHidden());
      break;
    case kCmdWindowCascade:
      mdiArea->cascadeSubWindows();
      break;
    case kCmdWindowTile:
      mdiArea->tileSubWindows();
      break;
    case kCmdWindowArrange: {
      // Minimised children in a row along the bottom, left to right.
      int x = 0;
      for (QMdiSubWindow* window : mdiArea->subWindowList()) {
        if (window->isMinimized()) {
          window->move(x, mdiArea->viewport()->height() - window->height());
          x += window->width();
        }
      }
      break;
    }
    case kCmdHelpIndex:
      CHelpWindow::ShowPage(CHelpTopics::kIndexPage);
      break;
    case kCmdUsingHelp:
      CHelpWindow::ShowPage(CHelpTopics::kUsingHelpPage);
      break;
    case kCmdHelp:
      CHelpWindow::ShowTopic(doc != nullptr ? TopicOfPage(doc->MainView().Selected()) : 0);
      break;
    case kCmdContextHelp:
      QWhatsThis::enterWhatsThisMode();
      break;
    case kCmdDatabaseHelp:
      doc->External().DatabaseHelpCommand();
      break;
    case kCmdAbout:
      AboutCommand();
      break;
    default:
      break;
  }
  UpdateActions();
}

void CMainWindow::RunDocumentCommand(CDocumentWindow::Command command) {
  if (CDocumentWindow* page = PageOf(mdiArea->currentSubWindow())) {
    page->Run(command);
  }
  UpdateActions();
}

void CMainWindow::SaveWindowPositionCommand() {
  // The normal rectangle: a maximised frame still remembers where it was.
  QRect normal = normalGeometry();
  QRect frame = isMaximized() || isMinimized() ? normal : frameGeometry();
  model.SaveWindowPosition({frame.x(), frame.y(), normal.width(), normal.height()});
}

void CMainWindow::PrintSetupCommand() {
  if (!printer) {
    printer = std::make_unique<QPrinter>();
  }
  QPageSetupDialog dialog(printer.get(), this);
  dialog.exec();
}

void CMainWindow::AboutCommand() {
  CAboutDlg about;
  ui.RunDialog(about);
}

void CMainWindow::CreateToolBar() {
  toolBar = addToolBar("Toolbar");
  toolBar->setObjectName("Toolbar");
  // Dockable on any side, or floating.
  toolBar->setMovable(true);
  toolBar->setFloatable(true);
  toolBar->setAllowedAreas(Qt::AllToolBarAreas);
  const std::map<int, QStyle::StandardPixmap> icons = {
      {kCmdSaveMail, QStyle::SP_DialogSaveButton},
      {kCmdPrintResult, QStyle::SP_FileDialogDetailedView},
      {kCmdCut, QStyle::SP_DialogDiscardButton},
      {kCmdCopy, QStyle::SP_FileDialogContentsView},
      {kCmdPaste, QStyle::SP_DialogApplyButton},
      {kCmdFindText, QStyle::SP_FileDialogListView},
      {kCmdFindNext, QStyle::SP_ArrowRight},
      {kCmdAbout, QStyle::SP_MessageBoxInformation},
      {kCmdContextHelp, QStyle::SP_TitleBarContextHelpButton},
  };
  for (const ToolbarButton& button : CMainFrameModel::ToolbarButtons()) {
    if (button.commandId == 0) {
      toolBar->addSeparator();
      continue;
    }
    QAction* action = CommandAction(button.commandId);
    if (action == nullptr) {
      // Context help has no menu item; the button and Shift+F1 send it.
      MenuItem item;
      item.commandId = button.commandId;
      item.text = button.toolTip;
      item.prompt = button.statusPrompt + "\n" + button.toolTip;
      action = ActionFor(item);
    }
    auto icon = icons.find(button.commandId);
    if (icon != icons.end() && action->icon().isNull()) {
      action->setIcon(style()->standardIcon(icon->second));
    }
    toolBar->addAction(action);
  }
}

void CMainWindow::CreateStatusBar() {
  for (const StatusPane& pane : CMainFrameModel::StatusPanes()) {
    if (pane.id == kPaneMenuPrompt) {
      continue;  // the status bar's own message area shows the prompts
    }
    auto* label = new QLabel(this);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(
        label->fontMetrics().horizontalAdvance(CQtUi::ToQString(pane.sizingText)) + 6);
    label->setAlignment(Qt::AlignCenter);
    statusBar()->addPermanentWidget(label);
    if (pane.id == kPaneMessage) {
      messagePane = label;
      MeasureMessagePane();
      messagePane->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    } else {
      // The lock keys' state is not something Qt reports portably; the
      // panes keep their place and stay empty.
      label->setEnabled(false);
    }
  }
  statusLine = app.statusChanged.Connect([this](const std::string&) { UpdateMessagePane(); });
  UpdateMessagePane();
}

void CMainWindow::MeasureMessagePane() {
  QFontMetrics metrics = messagePane->fontMetrics();
  messagePaneWidth =
      metrics.horizontalAdvance(CQtUi::ToQString(CMainFrameModel::kMessagePaneSizingText)) + 6;
  QMargins margins = messagePane->contentsMargins();
  messagePaneHeight = metrics.height() + margins.top() + margins.bottom();
}

void CMainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
    // The messages measure differently now.
    messagePaneWidths.clear();
    if (messagePane != nullptr) {
      MeasureMessagePane();
      UpdateMessagePane();
    }
  }
}

void CMainWindow::UpdateMessagePane() {
  QString text = CQtUi::ToQString(model.StatusPaneText());
  messagePane->setText(text);
  // Measuring a text is the costly part of showing it, and the pane shows
  // a few texts over and over ("Retrieving Titles..." and back). The label's
  // own size hint can't serve: it never asks for less than its fixed width.
  auto width = messagePaneWidths.constFind(text);
  if (width == messagePaneWidths.constEnd()) {
    if (messagePaneWidths.size() >= kMessagePaneWidthsKept) {
      messagePaneWidths.clear();
    }
    QFontMetrics metrics = messagePane->fontMetrics();
    QMargins margins = messagePane->contentsMargins();
    width = messagePaneWidths.insert(text, metrics.horizontalAdvance(text) + margins.left() +
                                               margins.right() + metrics.horizontalAdvance('x'));
  }
  // At least the sizing text's width, wider for a longer message.
  KeepSteadySize(messagePane, QSize(std::max(messagePaneWidth, *width), messagePaneHeight));
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
  // The only document fills the work area.
  if (mdiArea->subWindowList().size() == 1) {
    window->showMaximized();
  } else {
    window->show();
  }
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
  bool withDocument = ActiveDocument() != nullptr;
  for (QMenu* menu : frameMenus) {
    menu->menuAction()->setVisible(!withDocument);
  }
  for (QMenu* menu : documentMenus) {
    menu->menuAction()->setVisible(withDocument);
  }
  for (auto& [id, action] : actions) {
    action->setEnabled(CommandEnabled(id));
    if (action->isCheckable()) {
      action->setChecked(CommandChecked(id));
    }
  }
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

// "Packet Trace...": a file to append every packet to, or, while tracing,
// the end of the trace.
void CMainWindow::TogglePacketTrace() {
  CPacketTrace& trace = CPacketTrace::Of(app);
  if (trace.Active()) {
    trace.Stop();
    return;
  }
  FileChooserRequest request;
  request.caption = "Packet Trace";
  request.fileName = "tamsel-trace.txt";
  request.filters = {{"Text Files (*.txt)", "*.txt"}, {"All Files (*)", "*"}};
  request.save = true;
  std::optional<std::string> path = ui.ChooseFile(request);
  if (path && !trace.Start(*path, loop.NowMs())) {
    ui.Message(FormatText("Couldn't open trace file %s", path->c_str()));
  }
}
