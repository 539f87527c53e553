#pragma once

#include "cli/CliCommand.h"
#include "search/CSavedQueries.h"

class CArgScanner;
class CCliSession;

// The Queries menu of the command-line client: naming, choosing and deleting
// saved queries, and query list files. The command's argument answers the
// query name dialog or the file chooser.
class CCliQueryCommands {
 public:
  static CliCommandTable Table();

  static int Queries(CCliSession& session, CArgScanner& args);
  static int QueryName(CCliSession& session, CArgScanner& args);
  static int QuerySelect(CCliSession& session, CArgScanner& args);
  static int QueryDelete(CCliSession& session, CArgScanner& args);
  static int QueryDeleteAll(CCliSession& session, CArgScanner& args);
  static int QuerySave(CCliSession& session, CArgScanner& args);
  static int QueryLoad(CCliSession& session, CArgScanner& args);

 private:
  // Runs `command` with `answer` ahead of the queued answers for its dialog
  // or file chooser; an answer its question never came for is taken back.
  // A command that ran counts as failed only when `failedIsError`.
  static int RunWithAnswer(CCliSession& session, CArgScanner& args, const char* name,
                           CSavedQueries::Command command, bool failedIsError);
};
