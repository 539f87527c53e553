#pragma once

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <memory>
#include <string>

#include "RecordingQtUi.h"
#include "TempDir.h"
#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "driver/CDriverLink.h"
#include "ui/CMainWindow.h"
#include "ui/CQtEventLoop.h"

// A shown main window over the real Qt Ui and event loop, with settings,
// state and a private directory of its own.
struct GuiFrame {
  TempDir dir;
  CAppState app;
  CSettingsStore settings{dir.File("Tamsel.conf")};
  RecordingQtUi ui;
  CQtEventLoop loop;
  std::unique_ptr<CMainWindow> window;

  GuiFrame() {
    app.privateDirectory = dir.Path() + "/";
    window = std::make_unique<CMainWindow>(app, settings, ui, loop);
    ui.SetMainWindow(window.get());
    window->show();
    window->activateWindow();
  }
  ~GuiFrame() { window.reset(); }

  // Modal dialogs and the busy window take the activation away.
  bool Activate() {
    window->activateWindow();
    return QTest::qWaitForWindowActive(window.get());
  }

  QList<QMdiSubWindow*> Children() const { return window->MdiArea()->subWindowList(); }
  QMdiSubWindow* Child() const {
    QList<QMdiSubWindow*> children = Children();
    return children.isEmpty() ? nullptr : children.last();
  }
};

// One database section whose driver listens on `port`.
inline std::string DatabaseSection(const std::string& tag, const std::string& name, int port) {
  return "db_tag = " + tag + "\ndb_name = " + name +
         "\ndriver = socket:127.0.0.1:" + std::to_string(port) + "\ndb_int_name = " + tag +
         "\nsummary_fields = S\ntitle_fields = T\nt_field_name = Name\ndb_group = g\n";
}
