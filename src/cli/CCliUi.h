#pragma once

#include <deque>
#include <functional>
#include <iosfwd>
#include <string>

#include "app/Ui.h"

// One queued answer of the `answer` command.
struct CliAnswer {
  enum Kind { Yes, No, Cancel, Ok, Text } kind;
  std::string text;
};

// The Ui port of the command-line client: every message box becomes a
// "message:" line on standard error; questions take the queued answers, ask
// on a terminal, or are cancelled.
class CCliUi : public Ui {
 public:
  // `ask` reads one answer line from the terminal; empty function: no terminal.
  CCliUi(std::ostream& err, std::function<std::optional<std::string>(const std::string&)> ask);

  MsgAnswer MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                       MsgIcon icon) override;
  bool RunDialog(CDialogModel& dialog) override;
  std::optional<std::string> ChooseFile(const FileChooserRequest& request) override;
  void SetClipboardText(const std::string& text) override { clipboard = text; }
  void BringToFront() override {}

  void QueueAnswer(CliAnswer answer) { answers.push_back(std::move(answer)); }
  // An answer a command's own argument gives, ahead of the queued ones.
  void PushFrontAnswer(CliAnswer answer) { answers.push_front(std::move(answer)); }
  // Takes back such an answer when its question never came.
  size_t PendingAnswers() const { return answers.size(); }
  void DropFrontAnswer() {
    if (!answers.empty()) {
      answers.pop_front();
    }
  }
  // The next queued answer, left in the queue; null when none is queued.
  const CliAnswer* QueuedAnswer() const { return answers.empty() ? nullptr : &answers.front(); }
  // The next answer as a dialog takes it: queued, or asked on a terminal.
  std::optional<CliAnswer> TakeAnswer(const std::string& prompt) { return NextAnswer(prompt); }
  // Parses "yes", "no", "cancel", "ok" or "text TEXT"; false when unknown.
  static bool ParseAnswer(const std::string& word, const std::optional<std::string>& text,
                          CliAnswer& answer);

  std::string clipboard;
  // Message boxes shown so far.
  int messageCount = 0;

 private:
  std::optional<CliAnswer> NextAnswer(const std::string& prompt);

  std::ostream& err;
  std::function<std::optional<std::string>(const std::string&)> ask;
  std::deque<CliAnswer> answers;
};
