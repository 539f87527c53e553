#pragma once

#include <QObject>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "FakeUi.h"

// The QtTest classes of this program; each .cpp registers its own and the
// main runs them all.
class GuiTestRegistry {
 public:
  using Factory = std::function<std::unique_ptr<QObject>()>;

  static std::vector<Factory>& Tests() {
    static std::vector<Factory> tests;
    return tests;
  }

  template <typename T>
  struct Add {
    Add() {
      Tests().push_back([] { return std::make_unique<T>(); });
    }
  };
};

// A configuration the document opens without a word.
inline constexpr const char* kMinimalConfig =
    "conf_version = 1.1\n"
    "db_tag = cat\n"
    "db_name = Catalogue\n"
    "driver = socket:localhost:2100\n"
    "db_int_name = catalogue\n"
    "title_fields = Package Version\n"
    "summary_fields = Package Description\n"
    "t_field_name = Package Name\n"
    "t_field_cmd = PKG\n";

// Once its window is up, a document opened from kMinimalConfig connects to
// its only database, whose driver is not running: the socket messages of that
// connect are all it may say.
inline bool OnlyDriverMissing(const FakeUi& ui) {
  return std::all_of(ui.messages.begin(), ui.messages.end(),
                     [](const FakeUi::Message& m) { return m.caption == "Windows Socket Error"; });
}
