#pragma once

#include <QHash>
#include <QMainWindow>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/CMainFrameModel.h"
#include "app/Signal.h"
#include "ui/CDocumentWindow.h"

class CAppState;
class CBusyWindow;
class CSettingsStore;
class CTmsfrmDoc;
class EventLoop;
class QAction;
class QLabel;
class QMenu;
class QPrinter;
class QMdiArea;
class QMdiSubWindow;
class QToolBar;
class Ui;

// The program's main window: one MDI child per opened configuration, the
// menus (one set without a document, one while a document is open), the
// toolbar and the status bar. What it shows and
// where it opens come from CMainFrameModel, the application state and the
// documents; the commands are passed on to them.
class CMainWindow : public QMainWindow {
  Q_OBJECT

 public:
  CMainWindow(CAppState& app, CSettingsStore& settings, Ui& ui, EventLoop& loop,
              QWidget* parent = nullptr);
  ~CMainWindow() override;

  // Opens the configuration `path` as a new document window; false when the
  // open failed (the document has said why). Once the window is up, the
  // document makes its first choice of a database.
  bool OpenDocument(const std::string& path);
  // "&Open Local ...".
  void OpenLocalCommand();
  // Opens each file as a local configuration, like a command-line path.
  void OpenLocalFiles(const std::vector<std::string>& paths);
  // "Open Remote...": the document asks for the URL and fetches it.
  void OpenRemoteCommand();

  // Places and sizes the frame from the settings for a screen this wide.
  void ApplyPlacement(int screenWidth);

  // The document of the current child window, or nullptr.
  CTmsfrmDoc* ActiveDocument() const;
  CTmsfrmDoc* DocumentOf(QMdiSubWindow* window) const;
  CBusyWindow* BusyWindowOf(QMdiSubWindow* window) const;
  CDocumentWindow* PageOf(QMdiSubWindow* window) const;

  QMdiArea* MdiArea() const { return mdiArea; }
  QLabel* MessagePane() const { return messagePane; }
  QToolBar* ToolBar() const { return toolBar; }
  QAction* OpenLocalAction() const { return openLocalAction; }
  QAction* OpenRemoteAction() const { return openRemoteAction; }
  QAction* ExitAction() const { return exitAction; }
  QAction* ConnectAction() const { return connectAction; }
  QAction* DisconnectAction() const { return disconnectAction; }
  QAction* AboutDatabaseAction() const { return aboutDatabaseAction; }
  QAction* EchoAction() const { return echoAction; }
  // The action of a command id (app/CommandIds.h), or nullptr.
  QAction* CommandAction(int commandId) const;
  // Runs command `commandId` as its menu item would, when it is enabled.
  void RunCommand(int commandId);
  // The enabling and check rules of the frame's commands.
  bool CommandEnabled(int commandId) const;
  bool CommandChecked(int commandId) const;
  // The menus shown without a document and while one is open.
  const std::vector<QMenu*>& FrameMenus() const { return frameMenus; }
  const std::vector<QMenu*>& DocumentMenus() const { return documentMenus; }
  CMainFrameModel& Model() { return model; }

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // What the frame keeps for one document window. The busy window is
  // declared after the document so it goes first.
  struct DocumentEntry {
    std::unique_ptr<CTmsfrmDoc> doc;
    // The document's change notification, released before the document.
    Connection changed;
    std::unique_ptr<CBusyWindow> busy;
    CDocumentWindow* page = nullptr;
    bool waitCursor = false;
  };

  void CreateMenus();
  void TogglePacketTrace();
  // One menu of the model, its actions shared with the other set of menus.
  QMenu* BuildMenu(const std::string& title, const std::vector<MenuItem>& items,
                   QMenu* parentMenu = nullptr);
  QAction* ActionFor(const MenuItem& item);
  void CreateShortcuts();
  // Undo, Cut and Paste act on the text box that has the focus.
  bool TextBoxCan(int commandId) const;
  void SaveWindowPositionCommand();
  void PrintSetupCommand();
  void AboutCommand();
  // Passes an Edit menu command to the page in front of the current child.
  void RunDocumentCommand(CDocumentWindow::Command command);
  void CreateToolBar();
  void CreateStatusBar();
  void UpdateMessagePane();
  // The message pane's least width (its sizing text's) and its height.
  void MeasureMessagePane();
  // Enabled and checked states of the document commands.
  void UpdateActions();
  void DocumentChanged(QMdiSubWindow* window);
  void ForgetDocument(QMdiSubWindow* window);
  static void SetWaitCursor(DocumentEntry& entry, bool wait);
  const DocumentEntry* EntryOf(QMdiSubWindow* window) const;

  CAppState& app;
  CSettingsStore& settings;
  Ui& ui;
  EventLoop& loop;
  CMainFrameModel model;
  QMdiArea* mdiArea = nullptr;
  QLabel* messagePane = nullptr;
  int messagePaneWidth = 0;
  int messagePaneHeight = 0;
  // The width each recent message asks for, measured once.
  static constexpr int kMessagePaneWidthsKept = 32;
  QHash<QString, int> messagePaneWidths;
  QToolBar* toolBar = nullptr;
  QAction* openLocalAction = nullptr;
  QAction* openRemoteAction = nullptr;
  QAction* exitAction = nullptr;
  QAction* connectAction = nullptr;
  QAction* disconnectAction = nullptr;
  QAction* aboutDatabaseAction = nullptr;
  QAction* echoAction = nullptr;
  std::map<int, QAction*> actions;
  std::vector<QMenu*> frameMenus;
  std::vector<QMenu*> documentMenus;
  std::unique_ptr<QPrinter> printer;
  Connection statusLine;
  Connection settingsFailures;
  std::map<QMdiSubWindow*, DocumentEntry> documents;
};
