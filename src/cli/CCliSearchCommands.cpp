// The search form commands of the command-line client.

#include <cstdlib>
#include <ostream>

#include "cli/CCliDateValue.h"
#include "cli/CCliSession.h"
#include "config/CDBDescRec.h"
#include "doc/CTmsfrmDoc.h"
#include "search/CSearchForm.h"

int CCliSession::NumberArg(const std::optional<std::string>& arg, int max) {
  if (!arg || arg->empty() || arg->size() > 6 ||
      arg->find_first_not_of("0123456789") != std::string::npos) {
    return 0;
  }
  int n = std::atoi(arg->c_str());
  return n >= 1 && n <= max ? n : 0;
}

int CCliSession::CmdFields(CArgScanner& args) {
  if (!args.AtEnd()) {
    return Usage("fields");
  }
  if (!doc) {
    return Error("not available: fields");
  }
  const CSearchForm& form = doc->Form();
  for (int r = 0; r < CSearchForm::kRows; ++r) {
    const auto& row = form.rows[static_cast<size_t>(r)];
    if (!row.listShown) {
      continue;
    }
    out << "row " << r + 1 << ": " << row.listText;
    if (row.rangeShown) {
      out << " FROM " << form.fromLabels[static_cast<size_t>(r)] << " TO "
          << form.toLabels[static_cast<size_t>(r)];
    } else if (!form.rowTerms[static_cast<size_t>(r)].empty()) {
      out << " = " << form.rowTerms[static_cast<size_t>(r)];
    }
    out << '\n';
  }
  for (int b = 0; b < CSearchForm::kLimitBoxes; ++b) {
    if (!form.limitShown[static_cast<size_t>(b)]) {
      continue;
    }
    out << "limit " << b + 1 << ": [" << (form.limitChecked[static_cast<size_t>(b)] ? "X" : " ")
        << "] " << form.limitCaptions[static_cast<size_t>(b)] << '\n';
  }
  return 0;
}

int CCliSession::CmdRow(CArgScanner& args) {
  int row = NumberArg(args.Next(), CSearchForm::kRows);
  auto field = args.Next();
  if (row == 0 || !field) {
    return Usage("row");
  }
  auto term = args.Rest();
  if (!doc) {
    return Error("not available: row");
  }
  if (!doc->Form().SelectRowField(row - 1, *field)) {
    const CSearchForm::RowControls& controls = doc->Form().rows[static_cast<size_t>(row - 1)];
    if (!controls.listShown || !controls.listEnabled || doc->Form().fieldEntries.empty()) {
      return Error("not available: row");
    }
    // The list is there but holds no such field: say which it holds.
    std::string names;
    for (const auto& entry : doc->Form().fieldEntries) {
      names += (names.empty() ? "" : ", ") + entry.name;
    }
    return Error("no field " + *field + " in row " + std::to_string(row) + "; it offers: " + names);
  }
  if (term && !doc->Form().SetTerm(row - 1, *term)) {
    return Error("not available: row");
  }
  doc->Form().OnTermFocus(row - 1);
  return 0;
}

int CCliSession::CmdTerm(CArgScanner& args) {
  int row = NumberArg(args.Next(), CSearchForm::kRows);
  if (row == 0) {
    return Usage("term");
  }
  std::string text = args.Rest().value_or("");
  if (!doc || !doc->Form().SetTerm(row - 1, text)) {
    return Error("not available: term");
  }
  return 0;
}

int CCliSession::RangeEnd(CArgScanner& args, const char* name, const char* endWord) {
  int row = NumberArg(args.Next(), CSearchForm::kRows);
  auto value = args.Rest();
  if (row == 0 || !value) {
    return Usage(name);
  }
  std::optional<std::string> answer = CCliDateValue::DialogAnswer(*value);
  if (!answer) {
    return Error("not a date: " + *value + " (use " + CCliDateValue::kAcceptedForms + ")");
  }
  if (!doc || !doc->Form().rows[static_cast<size_t>(row - 1)].rangeShown ||
      !doc->Form().rows[static_cast<size_t>(row - 1)].rangeEnabled) {
    return Error(std::string("not available: ") + name);
  }
  size_t pending = ui.PendingAnswers();
  ui.PushFrontAnswer({CliAnswer::Text, *answer});
  doc->Form().SelectRangeEnd(row - 1, endWord);
  if (ui.PendingAnswers() > pending) {
    ui.DropFrontAnswer();
  }
  return 0;
}

int CCliSession::CmdFrom(CArgScanner& args) {
  return RangeEnd(args, "from", "Oldest");
}

int CCliSession::CmdTo(CArgScanner& args) {
  return RangeEnd(args, "to", "Newest");
}

int CCliSession::CmdLimit(CArgScanner& args) {
  int box = NumberArg(args.Next(), CSearchForm::kLimitBoxes);
  auto state = args.Next();
  if (box == 0 || !state || (*state != "on" && *state != "off") || !args.AtEnd()) {
    return Usage("limit");
  }
  if (!doc || !doc->Form().SetLimit(box - 1, *state == "on")) {
    return Error("not available: limit");
  }
  return 0;
}

int CCliSession::CmdClear(CArgScanner& args) {
  if (!args.AtEnd()) {
    return Usage("clear");
  }
  if (!doc || !doc->Form().viewEnabled) {
    return Error("not available: clear");
  }
  doc->Form().Clear();
  return 0;
}

int CCliSession::CmdClearAll(CArgScanner& args) {
  if (!args.AtEnd()) {
    return Usage("clear-all");
  }
  if (!doc || !doc->Form().viewEnabled) {
    return Error("not available: clear-all");
  }
  doc->Form().ClearAll();
  return 0;
}

int CCliSession::CmdSearch(CArgScanner& args) {
  if (!args.AtEnd()) {
    return Usage("search");
  }
  if (!doc || !doc->Form().CanSearch()) {
    return Error("not available: search");
  }
  // The driver refuses a search with an error status, which cancels it; a
  // fatal one also closes the database.
  bool cancelled = false;
  Connection watch = app.statusChanged.Connect(
      [&cancelled](const std::string& text) { cancelled |= text == "Search Cancelled"; });
  doc->Form().Search();
  WaitForLink();
  if (cancelled || doc->LinkStateValue() < LINK_IDLE) {
    return kCommandFailed;
  }
  return kCommandOk;
}
