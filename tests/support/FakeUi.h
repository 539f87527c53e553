#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Ui.h"

// A scripted Ui for tests: records every message box and dialog, and answers
// from queues filled by the test. Unscripted questions are cancelled.
class FakeUi : public Ui {
 public:
  struct Message {
    std::string text;
    std::string caption;
    MsgButtons buttons;
    MsgIcon icon;
  };

  MsgAnswer MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                       MsgIcon icon) override;
  bool RunDialog(CDialogModel& dialog) override;
  std::optional<std::string> ChooseFile(const FileChooserRequest& request) override;
  void SetClipboardText(const std::string& text) override { clipboard = text; }
  void BringToFront() override { ++broughtToFront; }

  // Answers for message boxes with more than an OK button, in order.
  void QueueAnswer(MsgAnswer answer) { answers.push_back(answer); }
  // A dialog script: called with the running dialog (already initialised);
  // returns true to press OK (OnOk is then asked), false to cancel.
  void QueueDialog(std::function<bool(CDialogModel&)> script) { dialogScripts.push_back(script); }
  void QueueFile(std::optional<std::string> path) { files.push_back(std::move(path)); }

  // Just the texts of the recorded messages, for compact assertions.
  std::vector<std::string> Texts() const;

  std::vector<Message> messages;
  std::vector<std::string> dialogKinds;
  std::vector<FileChooserRequest> fileRequests;
  std::string clipboard;
  int broughtToFront = 0;

 private:
  std::deque<MsgAnswer> answers;
  std::deque<std::function<bool(CDialogModel&)>> dialogScripts;
  std::deque<std::optional<std::string>> files;
};
