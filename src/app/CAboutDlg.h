#pragma once

#include <string>

#include "app/CDialogModel.h"

// "About Tamsel": the program's name, version and maker, with an OK button.
class CAboutDlg : public CDialogModel {
 public:
  static constexpr const char* kCaption = "About Tamsel";
  // Where the program's picture sits in the dialog.
  static constexpr int kPictureX = 5;
  static constexpr int kPictureY = 5;

  const char* Kind() const override { return "about"; }
  std::string Caption() const override { return kCaption; }
  bool NeedsAnswer() const override { return false; }

  std::string FullName() const;
  // "Version", then the version text.
  std::string VersionLabel() const;
  std::string VersionText() const;
  std::string Copyright() const;
  std::string Description() const;
  std::string Contact() const;
  std::string Documentation() const;
};
