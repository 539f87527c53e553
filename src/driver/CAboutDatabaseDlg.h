#pragma once

#include <string>

#include "app/CDialogModel.h"

// "About the Database": the driver's description of the connected database,
// read-only, with an OK button.
class CAboutDatabaseDlg : public CDialogModel {
 public:
  explicit CAboutDatabaseDlg(std::string text) : text(std::move(text)) {}
  const char* Kind() const override { return "about-database"; }
  std::string Caption() const override { return "About the Database"; }
  bool NeedsAnswer() const override { return false; }

  std::string text;
};
