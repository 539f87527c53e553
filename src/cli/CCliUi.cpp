#include "cli/CCliUi.h"

#include <ostream>

#include "app/CDialogModel.h"
#include "cli/CArgScanner.h"
#include "cli/CCliDialogAnswers.h"

CCliUi::CCliUi(std::ostream& err, std::function<std::optional<std::string>(const std::string&)> ask)
    : err(err), ask(std::move(ask)) {}

bool CCliUi::ParseAnswer(const std::string& word, const std::optional<std::string>& text,
                         CliAnswer& answer) {
  if (word == "yes" || word == "no" || word == "cancel" || word == "ok") {
    if (text) {
      return false;
    }
    answer.kind = word == "yes"  ? CliAnswer::Yes
                  : word == "no" ? CliAnswer::No
                  : word == "ok" ? CliAnswer::Ok
                                 : CliAnswer::Cancel;
    return true;
  }
  if (word == "text") {
    answer.kind = CliAnswer::Text;
    answer.text = text.value_or("");
    return true;
  }
  return false;
}

std::optional<CliAnswer> CCliUi::NextAnswer(const std::string& prompt) {
  if (!answers.empty()) {
    CliAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  if (!ask) {
    return std::nullopt;
  }
  auto line = ask(prompt);
  if (!line) {
    return std::nullopt;
  }
  CArgScanner scanner(*line);
  auto word = scanner.Next();
  CliAnswer answer{CliAnswer::Cancel, ""};
  if (!word || !ParseAnswer(*word, scanner.Rest(), answer)) {
    return std::nullopt;
  }
  return answer;
}

MsgAnswer CCliUi::MessageBox(const std::string& text, const std::string& caption,
                             MsgButtons buttons, MsgIcon /*icon*/) {
  ++messageCount;
  err << "message: " << EscapeLine(caption) << ": " << EscapeLine(text) << std::endl;
  if (buttons == MsgButtons::Ok) {
    return MsgAnswer::Ok;
  }
  const char* choices = buttons == MsgButtons::OkCancel ? "ok/cancel"
                        : buttons == MsgButtons::YesNo  ? "yes/no"
                                                        : "yes/no/cancel";
  auto answer = NextAnswer(std::string("answer (") + choices + ")? ");
  if (!answer) {
    return MsgAnswer::Cancel;
  }
  switch (answer->kind) {
    case CliAnswer::Yes:
      return MsgAnswer::Yes;
    case CliAnswer::No:
      return MsgAnswer::No;
    case CliAnswer::Ok:
    case CliAnswer::Text:
      return buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::Yes;
    case CliAnswer::Cancel:
      break;
  }
  return MsgAnswer::Cancel;
}

bool CCliUi::RunDialog(CDialogModel& dialog) {
  dialog.OnInit();
  if (!dialog.NeedsAnswer()) {
    return dialog.OnOk();
  }
  // A refused OK keeps the dialog open for the next answer.
  for (;;) {
    auto answer = NextAnswer(dialog.Caption() + " (ok, cancel or text TEXT)? ");
    if (!answer || answer->kind == CliAnswer::Cancel || answer->kind == CliAnswer::No) {
      dialog.OnCancel();
      return false;
    }
    if (answer->kind == CliAnswer::Text) {
      if (const auto* typeText = CCliDialogAnswers::All().Find(dialog)) {
        (*typeText)(dialog, answer->text);
      }
    }
    if (dialog.OnOk()) {
      return true;
    }
  }
}

std::optional<std::string> CCliUi::ChooseFile(const FileChooserRequest& request) {
  auto answer = NextAnswer(request.caption + " (text PATH or cancel)? ");
  if (!answer || answer->kind != CliAnswer::Text) {
    return std::nullopt;
  }
  return answer->text;
}
