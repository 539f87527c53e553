#pragma once

#include <optional>
#include <string>

#include "app/Ui.h"

// Random input raises messages all the time; here they go nowhere and every
// question is cancelled.
class SilentUi : public Ui {
 public:
  MsgAnswer MessageBox(const std::string&, const std::string&, MsgButtons, MsgIcon) override {
    return MsgAnswer::Cancel;
  }
  bool RunDialog(CDialogModel&) override { return false; }
  std::optional<std::string> ChooseFile(const FileChooserRequest&) override { return std::nullopt; }
  void SetClipboardText(const std::string&) override {}
  void BringToFront() override {}
};
