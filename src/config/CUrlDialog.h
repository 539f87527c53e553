#pragma once

#include <string>
#include <vector>

#include "app/CDialogModel.h"

// The URL dialog: a prompt over an editable drop-down list of URLs. The
// caller chooses caption and prompt, so the same dialog serves opening a
// remote configuration and setting the default URL.
class CUrlDialog : public CDialogModel {
 public:
  CUrlDialog(std::string caption, std::string prompt);

  const char* Kind() const override { return "url"; }
  std::string Caption() const override { return caption; }
  const std::string& Prompt() const { return prompt; }

  // Shows the first entry of the list unless the caller put a text in already.
  void OnInit() override;
  // An empty text is no URL: the dialog stays open.
  bool OnOk() override { return !text.empty(); }
  void SetAnswerText(const std::string& answer) { text = answer; }

  // The drop-down's entries, and the edit box's text.
  std::vector<std::string> list;
  std::string text;

 private:
  std::string caption;
  std::string prompt;
};
