#pragma once

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <string>

#include "GuiFrame.h"
#include "TestDriver.h"
#include "doc/CTmsfrmDoc.h"
#include "driver/LinkState.h"
#include "ui/CDocumentWindow.h"

inline std::string Z(const std::string& text) {
  return text + std::string(1, '\0');
}

// A document window connected to a test driver: a title field, a year field
// with a span, a number field, a limit box and a full-record field list.
struct SearchSession {
  TestDriver driver;
  GuiFrame f;
  QMdiSubWindow* child = nullptr;
  CTmsfrmDoc* doc = nullptr;
  CDocumentWindow* window = nullptr;

  static std::string FieldList() {
    return Z("\1TI") + Z("Title") + Z(std::string(1, '\0') + "AB") + Z("Abstract") + Z("\1AU") +
           Z("Author");
  }

  // More lines for the title field (a browse list, say).
  std::string titleLines;

  // Opens the configuration; the open connects by itself. False when the
  // driver never became idle.
  bool Open() {
    driver.OnRequest(MSG_OPEN, {{TestDriver::Packet(MSG_CONNECTED) +
                                 TestDriver::Packet(MSG_DATABASE_INFO, FieldList(), 1, 3)}});
    driver.SetFieldListSent(true);
    std::string config =
        "conf_version = 1.1\ndb_tag = cat\ndb_name = Catalogue\n"
        "driver = socket:127.0.0.1:" +
        std::to_string(driver.Port()) +
        "\ndb_int_name = cat\nsummary_fields = S\ntitle_fields = T\nno_info = 1\n"
        "t_field_name = Title\nt_field_cmd = ti\ndflt_at = 1\n" +
        titleLines +
        "t_field_name = Year\nt_field_cmd = py\nt_range_type = YEAR\n"
        "t_year_range = 1990-1995\ndflt_at = 2\n"
        "t_field_name = Size\nt_field_cmd = sz\nt_range_type = NUMERIC\n"
        "l_field_name = English\nl_field_cmd = la=en\n";
    if (!f.window->OpenDocument(f.dir.Write("cat.tcf", config))) {
      return false;
    }
    child = f.Child();
    doc = f.window->DocumentOf(child);
    window = f.window->PageOf(child);
    return WaitIdle() && QTest::qWaitFor([this] { return doc->Link().FieldCount() == 3; }, 10000);
  }

  // A menu entry as the user finds it: the menu opens (and brings its
  // entries up to date) first.
  QAction* MenuAction(const QString& menuTitle, const QString& text) {
    for (QAction* entry : f.window->menuBar()->actions()) {
      QMenu* menu = entry->menu();
      if (menu == nullptr || menu->title() != menuTitle) {
        continue;
      }
      emit menu->aboutToShow();
      for (QAction* action : menu->actions()) {
        if (action->text() == text) {
          return action;
        }
      }
    }
    return nullptr;
  }

  // The main window active, as the user's clicks and keys find it.
  bool Activate() {
    return f.Activate() &&
           QTest::qWaitFor([this] { return QApplication::activeWindow() == f.window.get(); });
  }

  bool WaitIdle() {
    return QTest::qWaitFor([this] { return doc->LinkStateValue() == LINK_IDLE; }, 10000);
  }

  // The next search finds `count` matches; each of the first `titles` title
  // requests is answered with "Title n".
  void ScriptSearch(int count, int titles) {
    driver.OnRequest(MSG_SEARCH, {{TestDriver::Packet(MSG_HIT_COUNT, "", 0, count)}});
    for (int n = 1; n <= titles; ++n) {
      driver.OnRequest(MSG_GET_TITLE,
                       {{TestDriver::Packet(MSG_TITLE, Z("Title " + std::to_string(n)), n)}});
    }
  }

  // A key pressed where the main window's keyboard focus is. The busy
  // window and dialogs take the activation away for a while; the key still
  // goes where the user's would.
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = f.window->focusWidget();
    QTest::keyClick(target != nullptr ? target : f.window.get(), key, modifiers);
  }

  std::vector<TestDriver::Request> RequestsOf(std::uint32_t type) {
    std::vector<TestDriver::Request> found;
    for (const auto& request : driver.Requests()) {
      if (request.header.type == type) {
        found.push_back(request);
      }
    }
    return found;
  }
};
