// The result commands of the command-line client: titles, summaries, full
// records, record format and headers.

#include <cstdlib>
#include <ostream>

#include "cli/CCliSession.h"
#include "doc/CTmsfrmDoc.h"
#include "driver/CDriverLink.h"
#include "driver/CListSummary.h"
#include "external/CRetrievalMethodDlg.h"
#include "output/CAbstract.h"
#include "output/CRecordFormat.h"
#include "output/CResultHeaders.h"

bool CCliSession::ParseTitleList(const std::string& text, int count, std::vector<int>& indexes) {
  indexes.clear();
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    std::string part =
        text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    size_t dash = part.find('-');
    int first = NumberArg(part.substr(0, dash), count);
    int last = dash == std::string::npos ? first : NumberArg(part.substr(dash + 1), count);
    if (first == 0 || last == 0 || last < first) {
      return false;
    }
    for (int n = first; n <= last; ++n) {
      indexes.push_back(n - 1);
    }
    if (comma == std::string::npos) {
      break;
    }
    start = comma + 1;
  }
  return !indexes.empty();
}

namespace {

// Why a title list that names no listed title cannot be used; empty when it
// is no title list at all.
std::string TitleListProblem(const CListSummary& summary, const std::string& list) {
  std::vector<int> indexes;
  if (summary.Titles().empty()) {
    return summary.total > 0 ? "no titles listed yet" : "no titles: there are no search results";
  }
  if (CCliSession::ParseTitleList(list, summary.total, indexes)) {
    return "not all of " + list + " listed: titles 1-" + std::to_string(summary.Titles().size()) +
           " of " + std::to_string(summary.total) + " are (more lists the next ones)";
  }
  return {};
}

}  // namespace

int CCliSession::CmdTitles(CArgScanner& args) {
  if (!args.AtEnd()) {
    return Usage("titles");
  }
  if (doc) {
    for (const auto& title : doc->Summary().Titles()) {
      out << title << '\n';
    }
  }
  return 0;
}

int CCliSession::CmdMore(CArgScanner& args) {
  if (!args.AtEnd()) {
    return Usage("more");
  }
  // Every match listed (the list's limit is another matter: there the
  // button is simply disabled).
  if (doc && doc->Summary().total > 0 && doc->Summary().current >= doc->Summary().total &&
      doc->Summary().total < CListSummary::kMaxTitles) {
    return Error("no more titles: all " + std::to_string(doc->Summary().total) + " are listed");
  }
  if (!doc || !doc->Summary().More()) {
    return Error("not available: more");
  }
  WaitForLink();
  return 0;
}

int CCliSession::CmdSelect(CArgScanner& args) {
  auto list = args.Next();
  if (!list || !args.AtEnd()) {
    return Usage("select");
  }
  if (!doc) {
    return Error("not available: select");
  }
  std::vector<int> indexes;
  if (!ParseTitleList(*list, static_cast<int>(doc->Summary().Titles().size()), indexes)) {
    std::string problem = TitleListProblem(doc->Summary(), *list);
    return problem.empty() ? Usage("select") : Error(problem);
  }
  doc->Summary().SetSelection(indexes);
  // The click timer fires inside the command.
  if (doc->Summary().ClickTimerRunning()) {
    doc->Summary().FetchSummaries();
  }
  WaitForLink();
  out << doc->Summary().SummaryText();
  return 0;
}

int CCliSession::CmdFull(CArgScanner& args) {
  auto list = args.Next();
  if (!args.AtEnd()) {
    return Usage("full");
  }
  if (!doc) {
    return Error("not available: full");
  }
  if (list) {
    std::vector<int> indexes;
    if (!ParseTitleList(*list, static_cast<int>(doc->Summary().Titles().size()), indexes)) {
      std::string problem = TitleListProblem(doc->Summary(), *list);
      return problem.empty() ? Usage("full") : Error(problem);
    }
    doc->Summary().SetSelection(indexes);
  } else if (doc->Summary().Titles().empty()) {
    return Error(TitleListProblem(doc->Summary(), ""));
  } else if (doc->Summary().Selection().empty()) {
    return Error("no titles selected: give their numbers or select them first");
  }
  // With extension programs Retrieve Full asks for the retrieval method:
  // `full` is the "Abstract" choice (`extension` makes the others).
  std::size_t pending = ui.PendingAnswers();
  ui.PushFrontAnswer({CliAnswer::Text, CRetrievalMethodDlg::kAbstractText});
  doc->Summary().RetrieveFull();
  if (ui.PendingAnswers() > pending) {
    ui.DropFrontAnswer();
  }
  WaitForLink();
  out << doc->Abstract().Text();
  return 0;
}

int CCliSession::CmdSummaryText(CArgScanner& args) {
  if (!args.AtEnd()) {
    return Usage("summary-text");
  }
  if (doc) {
    out << doc->Summary().SummaryText();
  }
  return 0;
}

int CCliSession::CmdRecordText(CArgScanner& args) {
  if (!args.AtEnd()) {
    return Usage("record-text");
  }
  if (doc) {
    out << doc->Abstract().Text();
  }
  return 0;
}

void CCliSession::PrintFound(std::size_t messagesBefore) {
  const CAbstract& record = doc->Abstract();
  if (static_cast<std::size_t>(ui.messageCount) == messagesBefore &&
      record.SelectionEnd() > record.SelectionStart()) {
    out << "found " << record.SelectionStart() << ' '
        << record.SelectionEnd() - record.SelectionStart() << '\n';
  }
}

int CCliSession::CmdFind(CArgScanner& args) {
  auto word = args.Rest();
  if (!word) {
    return Usage("find");
  }
  // The command acts on the full record window, whichever page is in front.
  if (!doc ||
      !doc->EditCommands().Available(CEditCommands::Command::FindText, CMainView::PAGE_RECORD)) {
    return Error("not available: find");
  }
  std::size_t before = static_cast<std::size_t>(ui.messageCount);
  doc->Abstract().Find(*word);
  PrintFound(before);
  return 0;
}

int CCliSession::CmdFindNext(CArgScanner& args) {
  if (!args.AtEnd()) {
    return Usage("find-next");
  }
  if (!doc ||
      !doc->EditCommands().Available(CEditCommands::Command::FindNext, CMainView::PAGE_RECORD)) {
    return Error("not available: find-next");
  }
  std::size_t before = static_cast<std::size_t>(ui.messageCount);
  doc->Abstract().FindNext();
  PrintFound(before);
  return 0;
}

int CCliSession::CmdFormat(CArgScanner& args) {
  std::string words = args.Rest().value_or("");
  if (!doc || !doc->Link().IsIdle()) {
    return Error("not available: format");
  }
  // The arguments fill the dialog; an unusable one is an error.
  size_t pending = ui.PendingAnswers();
  ui.PushFrontAnswer({CliAnswer::Text, words});
  doc->RecordFormatCommand();
  if (ui.PendingAnswers() > pending) {
    ui.DropFrontAnswer();
  }
  const std::string& problem = doc->RecordFormat().lastArgumentError;
  if (!problem.empty()) {
    return Error(problem);
  }
  return 0;
}

int CCliSession::CmdSaveFormat(CArgScanner& args) {
  if (!args.AtEnd()) {
    return Usage("save-format");
  }
  if (!doc || doc->Config().currentDatabase == nullptr) {
    return Error("not available: save-format");
  }
  doc->RecordFormat().SaveRecordFormat();
  return 0;
}

int CCliSession::CmdHeader(CArgScanner& args) {
  auto which = args.Next();
  if (!which || (*which != "brief" && *which != "full") || !args.AtEnd()) {
    return Usage("header");
  }
  if (doc) {
    out << (*which == "brief" ? doc->Headers().briefHeader : doc->Headers().fullHeader);
  }
  return 0;
}
