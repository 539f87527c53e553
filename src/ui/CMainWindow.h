#pragma once

#include <QMainWindow>
#include <map>
#include <memory>
#include <string>

#include "app/CMainFrameModel.h"

class CAppState;
class CSettingsStore;
class CTmsfrmDoc;
class EventLoop;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class Ui;

// The program's main window: one MDI child per opened configuration, the
// File menu and the status bar. What it shows and where it opens come from
// CMainFrameModel and the application state.
class CMainWindow : public QMainWindow {
  Q_OBJECT

 public:
  CMainWindow(CAppState& app, CSettingsStore& settings, Ui& ui, EventLoop& loop,
              QWidget* parent = nullptr);
  ~CMainWindow() override;

  // Opens the configuration `path` as a new document window; false when the
  // open failed (the document has said why).
  bool OpenDocument(const std::string& path);
  // "&Open Local ...".
  void OpenLocalCommand();
  // Opens each file as a local configuration, like a command-line path.
  void OpenLocalFiles(const std::vector<std::string>& paths);

  // Places and sizes the frame from the settings for a screen this wide.
  void ApplyPlacement(int screenWidth);

  QMdiArea* MdiArea() const { return mdiArea; }
  QLabel* MessagePane() const { return messagePane; }
  QAction* OpenLocalAction() const { return openLocalAction; }
  QAction* ExitAction() const { return exitAction; }
  CMainFrameModel& Model() { return model; }

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateMenus();
  void CreateStatusBar();
  void UpdateMessagePane();

  CAppState& app;
  CSettingsStore& settings;
  Ui& ui;
  EventLoop& loop;
  CMainFrameModel model;
  QMdiArea* mdiArea = nullptr;
  QLabel* messagePane = nullptr;
  QAction* openLocalAction = nullptr;
  QAction* exitAction = nullptr;
  int statusObserver = 0;
  std::map<QMdiSubWindow*, std::unique_ptr<CTmsfrmDoc>> documents;
};
