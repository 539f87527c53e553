#pragma once

#include <gtest/gtest.h>

#include <string>

#include "FakeUi.h"
#include "ManualEventLoop.h"
#include "app/CAppState.h"
#include "config/CConfiguration.h"
#include "config/CInfoTexts.h"
#include "driver/CDriverLink.h"
#include "search/CQueryList.h"
#include "search/CSearchForm.h"

// A search form over hand-made database descriptions and an unconnected link.
struct SearchFixture : ::testing::Test {
  FakeUi ui;
  CAppState app;
  ManualEventLoop loop;
  CConfiguration config;
  CInfoTexts infoTexts;
  CDriverLink link{config, infoTexts, app, ui, loop, [](const std::string&) {}};
  ConnectionBag connections;
  CQueryList queries;
  CSearchForm form{config, link, app, ui, queries};

  static CDBFieldDescRec Field(const std::string& name, const std::string& command,
                               int rangeType = RANGE_NONE, int isLimit = 0) {
    CDBFieldDescRec field;
    field.name = name;
    field.command = command;
    field.rangeType = rangeType;
    field.isLimit = isLimit;
    return field;
  }
  static CDBFieldDescRec Limit(const std::string& name, const std::string& command) {
    return Field(name, command);
  }

  // A database named after its tag; row r defaults to field defaults[r].
  CDBDescRec& Db(const std::string& tag, std::vector<CDBFieldDescRec> fields,
                 std::vector<int> defaults, std::vector<CDBFieldDescRec> limits = {}) {
    CDBDescRec& db = config.FindOrCreateDatabase(tag);
    db.name = tag;
    db.searchFields = std::move(fields);
    db.searchFieldCount = static_cast<int>(db.searchFields.size());
    db.limitFields = std::move(limits);
    db.limitFieldCount = static_cast<int>(db.limitFields.size());
    db.defaultFieldAt = {-1, -1, -1, -1, -1, -1};
    for (size_t r = 0; r < defaults.size(); ++r) {
      db.defaultFieldAt[r] = defaults[r];
    }
    db.rowCount = static_cast<int>(defaults.size());
    return db;
  }

  void Connect(CDBDescRec& db) {
    config.currentDatabase = &db;
    form.OnConnect(db);
    form.SetSearchEnabled(true);
  }

  std::string Body() {
    auto request = form.BuildSearchRequest();
    return request ? request->body : std::string("<none>");
  }
};

inline std::string Bytes(const char* text, size_t size) {
  return std::string(text, size);
}
