#pragma once

#include <memory>
#include <string>

#include "FakeUi.h"
#include "ManualEventLoop.h"
#include "TempDir.h"
#include "TestDriver.h"
#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "doc/CTmsfrmDoc.h"
#include "driver/CDriverLink.h"

// A configuration document over a scripted loopback driver, with settings,
// state and a recording Ui of its own: the setup the link, result, form and
// extension tests share. The members go in reverse order, the document first.
struct LoopbackDocument {
  TempDir dir;
  FakeUi ui;
  CAppState app;
  CSettingsStore settings{dir.File("Tamsel.conf")};
  ManualEventLoop loop;
  TestDriver driver;
  std::unique_ptr<CTmsfrmDoc> doc;

  // One database, "Catalogue" (tag cat), served by `driver`; `extra` lines
  // follow its first lines.
  std::string CatalogueConfig(const std::string& extra) const {
    return "conf_version = 1.1\ndb_tag = cat\ndb_name = Catalogue\ndriver = socket:127.0.0.1:" +
           std::to_string(driver.Port()) +
           "\ndb_int_name = abc\nsummary_fields = S\ntitle_fields = T\n" + extra;
  }
  // A new document with `config` (written as c.tcf) opened in it.
  bool OpenConfig(const std::string& config) {
    doc = std::make_unique<CTmsfrmDoc>(app, settings, ui, loop);
    return doc->OpenDocumentConfig(dir.Write("c.tcf", config));
  }
  // Connects the document to `name`, the driver answering "connected";
  // false when the link did not become idle.
  bool Connect(const std::string& name = "Catalogue") {
    driver.OnRequest(MSG_OPEN, {{TestDriver::Packet(MSG_CONNECTED)}});
    doc->ConnectToDatabase(name);
    return loop.RunUntil([&] { return doc->Link().State() == LINK_IDLE; });
  }
};
