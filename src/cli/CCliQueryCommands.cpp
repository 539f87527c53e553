#include "cli/CCliQueryCommands.h"

#include <ostream>

#include "cli/CArgScanner.h"
#include "cli/CCliSession.h"
#include "doc/CTmsfrmDoc.h"
#include "search/CQueryList.h"

CliCommandTable CCliQueryCommands::Table() {
  return {
      {"queries", &CCliQueryCommands::Queries, "queries", "print the saved query names in order"},
      {"query-name", &CCliQueryCommands::QueryName, "query-name NAME",
       "Name current query, the dialog answered by NAME"},
      {"query-select", &CCliQueryCommands::QuerySelect, "query-select NAME",
       "Select query, the dialog answered by NAME"},
      {"query-delete", &CCliQueryCommands::QueryDelete, "query-delete NAME",
       "Delete a query name from list, the dialog answered by NAME"},
      {"query-delete-all", &CCliQueryCommands::QueryDeleteAll, "query-delete-all",
       "Delete All queries from list"},
      {"query-save", &CCliQueryCommands::QuerySave, "query-save PATH",
       "Save current query list to PATH"},
      {"query-load", &CCliQueryCommands::QueryLoad, "query-load PATH",
       "Retrieve a query list from PATH"},
  };
}

int CCliQueryCommands::Queries(CCliSession& session, CArgScanner& args) {
  if (!args.AtEnd()) {
    return session.Usage("queries");
  }
  if (CTmsfrmDoc* doc = session.Doc()) {
    for (const std::string& name : doc->Queries().queryNames) {
      session.Out() << name << '\n';
    }
  }
  return kCommandOk;
}

int CCliQueryCommands::RunWithAnswer(CCliSession& session, CArgScanner& args, const char* name,
                                     CSavedQueries::Command command, bool failedIsError) {
  auto answer = args.Next();
  if (!answer || !args.AtEnd()) {
    return session.Usage(name);
  }
  CTmsfrmDoc* doc = session.Doc();
  if (doc == nullptr || !doc->SavedQueries().IsEnabled(command)) {
    return session.Error(std::string("not available: ") + name);
  }
  CCliUi& ui = session.UiPort();
  size_t pending = ui.PendingAnswers();
  ui.PushFrontAnswer({CliAnswer::Text, *answer});
  bool done = doc->SavedQueries().Run(command);
  if (ui.PendingAnswers() > pending) {
    ui.DropFrontAnswer();
  }
  return done || !failedIsError ? kCommandOk : kCommandFailed;
}

int CCliQueryCommands::QueryName(CCliSession& session, CArgScanner& args) {
  return RunWithAnswer(session, args, "query-name", CSavedQueries::Command::Name, false);
}

int CCliQueryCommands::QuerySelect(CCliSession& session, CArgScanner& args) {
  return RunWithAnswer(session, args, "query-select", CSavedQueries::Command::Select, false);
}

int CCliQueryCommands::QueryDelete(CCliSession& session, CArgScanner& args) {
  return RunWithAnswer(session, args, "query-delete", CSavedQueries::Command::Delete, false);
}

int CCliQueryCommands::QueryDeleteAll(CCliSession& session, CArgScanner& args) {
  if (!args.AtEnd()) {
    return session.Usage("query-delete-all");
  }
  CTmsfrmDoc* doc = session.Doc();
  if (doc == nullptr) {
    return session.Error("not available: query-delete-all");
  }
  doc->SavedQueries().Run(CSavedQueries::Command::DeleteAll);
  return kCommandOk;
}

int CCliQueryCommands::QuerySave(CCliSession& session, CArgScanner& args) {
  // A list that was not written is a failure a script has to see.
  return RunWithAnswer(session, args, "query-save", CSavedQueries::Command::Save, true);
}

int CCliQueryCommands::QueryLoad(CCliSession& session, CArgScanner& args) {
  return RunWithAnswer(session, args, "query-load", CSavedQueries::Command::Retrieve, false);
}
