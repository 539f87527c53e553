#pragma once

#include <string>
#include <utility>

#include "app/CDialogModel.h"

// "Set Mailhost Option": one line for the mail host ("host" or "host:port").
class CMailHostDlg : public CDialogModel {
 public:
  static constexpr const char* kCaption = "Set Mailhost Option";
  static constexpr const char* kPromptText = "Enter new mailhost";

  explicit CMailHostDlg(std::string text) : text(std::move(text)) {}

  const char* Kind() const override { return "mail-host"; }
  std::string Caption() const override { return kCaption; }
  const char* Prompt() const { return kPromptText; }
  // No host is no answer: the dialog stays open.
  bool OnOk() override { return !text.empty(); }
  void SetAnswerText(const std::string& answer) { text = answer; }

  std::string text;
};
