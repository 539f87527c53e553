#include "cli/CCliOutputCommands.h"

#include <ostream>

#include "cli/CArgScanner.h"
#include "cli/CCliSession.h"
#include "cli/CCliUi.h"
#include "doc/CDocOutput.h"
#include "doc/CTmsfrmDoc.h"
#include "output/CSaveMailDlg.h"

using Source = CResultOutput::Source;
using Outcome = CResultOutput::Outcome;

CliCommandTable CCliOutputCommands::Table() {
  return {
      {"save", &CCliOutputCommands::Save, "save records|summary|list|selected PATH",
       "Save/Mail to the file PATH"},
      {"mail", &CCliOutputCommands::Mail, "mail records|summary|list|selected TO [SUBJECT]",
       "Save/Mail by mail to TO"},
      {"print-pages", &CCliOutputCommands::PrintPages, "print-pages summary|list|selected",
       "print the summary window's printed pages"},
  };
}

std::optional<Source> CCliOutputCommands::ParseSource(const std::string& word) {
  if (word == "records") {
    return Source::Records;
  }
  if (word == "summary") {
    return Source::Summary;
  }
  if (word == "list") {
    return Source::List;
  }
  if (word == "selected") {
    return Source::Selected;
  }
  return std::nullopt;
}

int CCliOutputCommands::Save(CCliSession& session, CArgScanner& args) {
  auto word = args.Next();
  auto path = args.Next();
  std::optional<Source> source = word ? ParseSource(*word) : std::nullopt;
  if (!source || !path || !args.AtEnd()) {
    return session.Usage("save");
  }
  CTmsfrmDoc* doc = session.Doc();
  if (doc == nullptr || !doc->Output().CanSaveMail(*source)) {
    return session.Error("not available: save");
  }
  CDocOutput& output = doc->Output();
  CResultOutput::Content content = output.ContentOf(*source);
  // Save/Mail Selected List does nothing at all without a selection.
  if (*source == Source::Selected && content.selection.empty()) {
    return kCommandFailed;
  }
  CResultOutput& result = output.Output();
  result.BeginCommand();
  CSaveMailDlg dialog(session.Settings(), session.UiPort());
  result.PrepareDialog(dialog);
  dialog.choice = CSaveMailDlg::kChoiceSave;
  dialog.OnInit();
  dialog.ChooseSave();
  dialog.OnOk();
  CCliUi& ui = session.UiPort();
  size_t pending = ui.PendingAnswers();
  ui.PushFrontAnswer({CliAnswer::Text, *path});
  Outcome outcome = result.SaveToFile(content, output.Header());
  if (ui.PendingAnswers() > pending) {
    ui.DropFrontAnswer();
  }
  return outcome == Outcome::Saved ? kCommandOk : kCommandFailed;
}

int CCliOutputCommands::Mail(CCliSession& session, CArgScanner& args) {
  auto word = args.Next();
  auto to = args.Next();
  std::optional<std::string> subject = args.AtEnd() ? std::nullopt : args.Rest();
  std::optional<Source> source = word ? ParseSource(*word) : std::nullopt;
  if (!source || !to) {
    return session.Usage("mail");
  }
  CTmsfrmDoc* doc = session.Doc();
  if (doc == nullptr || !doc->Output().CanSaveMail(*source)) {
    return session.Error("not available: mail");
  }
  CDocOutput& output = doc->Output();
  CResultOutput::Content content = output.ContentOf(*source);
  if (*source == Source::Selected && content.selection.empty()) {
    return kCommandFailed;
  }
  CResultOutput& result = output.Output();
  CCliUi& ui = session.UiPort();
  result.BeginCommand();
  CSaveMailDlg dialog(session.Settings(), ui);
  result.PrepareDialog(dialog);
  dialog.choice = CSaveMailDlg::kChoiceMail;
  dialog.OnInit();
  dialog.ChooseMail();
  dialog.to = *to;
  if (subject) {
    dialog.subject = *subject;
  }
  // With no host stored the host box shows its proposal; a queued text
  // answer is what the user typed there instead.
  const CliAnswer* queued = ui.QueuedAnswer();
  if (dialog.HostFieldShown() && queued != nullptr && queued->kind == CliAnswer::Text) {
    dialog.host = queued->text;
    ui.DropFrontAnswer();
  }
  // A refused OK keeps the dialog open for the next answer.
  while (!dialog.OnOk()) {
    auto answer = ui.TakeAnswer(dialog.Caption() + " (ok, cancel or text TEXT)? ");
    if (!answer || answer->kind == CliAnswer::Cancel || answer->kind == CliAnswer::No) {
      dialog.OnCancel();
      return kCommandFailed;
    }
    if (answer->kind == CliAnswer::Text) {
      dialog.SetAnswerText(answer->text);
    }
  }
  Outcome outcome = result.Mail(content, output.Header(), dialog.to, dialog.subject, dialog.host);
  return outcome == Outcome::Mailed ? kCommandOk : kCommandFailed;
}

int CCliOutputCommands::PrintPages(CCliSession& session, CArgScanner& args) {
  auto word = args.Next();
  std::optional<Source> source = word ? ParseSource(*word) : std::nullopt;
  if (!source || *source == Source::Records || !args.AtEnd()) {
    return session.Usage("print-pages");
  }
  CTmsfrmDoc* doc = session.Doc();
  if (doc == nullptr || !doc->Output().CanPrint(*source)) {
    return session.Error("not available: print-pages");
  }
  CDocOutput& output = doc->Output();
  output.Output().BeginCommand();
  // Positions are what the page shows; one unit per line keeps y readable.
  std::vector<CPrintLayout::Page> pages = output.PrintPages(*source, 1);
  std::ostream& out = session.Out();
  int number = 0;
  for (const CPrintLayout::Page& page : pages) {
    out << "--- page " << ++number << '\n';
    int previous = -1;
    for (const CPrintLayout::Line& line : page.lines) {
      // A skipped position (the empty line under the header) prints empty.
      for (int gap = previous + 1; previous >= 0 && gap < line.position; ++gap) {
        out << '\n';
      }
      out << line.text << '\n';
      previous = line.position;
    }
  }
  output.Output().Printed(*source);
  return kCommandOk;
}
