#pragma once

#include <string>

// One line of the database menu: a submenu ("menu"), its end ("endmenu") or a
// database ("db").
struct DBMenuEntry {
  std::string kind;
  std::string text;
  std::string tag;
};
