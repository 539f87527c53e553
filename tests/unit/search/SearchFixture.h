#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "FakeUi.h"
#include "ManualEventLoop.h"
#include "app/CAppState.h"
#include "config/CConfiguration.h"
#include "config/CInfoTexts.h"
#include "driver/CDriverLink.h"
#include "search/CQueryList.h"
#include "search/CSearchForm.h"

// A search form over hand-made database descriptions and a link whose socket
// is one end of a socket pair (a link without a socket refuses to send).
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

  int driverEnd = -1;
  ~SearchFixture() override {
    if (driverEnd >= 0)
      close(driverEnd);
  }

  void Connect(CDBDescRec& db) {
    if (driverEnd < 0) {
      int fds[2];
      ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
      fcntl(fds[1], F_SETFL, O_NONBLOCK);
      link.Connection().AdoptSocket(fds[0]);
      driverEnd = fds[1];
    }
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
