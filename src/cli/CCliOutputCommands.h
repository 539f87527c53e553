#pragma once

#include <optional>

#include "cli/CliCommand.h"
#include "output/CResultOutput.h"

class CArgScanner;
class CCliSession;

// Results leaving the command-line client: Save/Mail of the full record
// window and of the summary window's summary, full list and selected list,
// and the summary window's printed pages. The arguments fill the Save/Mail
// dialog; the save-file dialog is answered with the command's PATH.
class CCliOutputCommands {
 public:
  static CliCommandTable Table();

  static int Save(CCliSession& session, CArgScanner& args);
  static int Mail(CCliSession& session, CArgScanner& args);
  static int PrintPages(CCliSession& session, CArgScanner& args);

 private:
  // "records", "summary", "list" or "selected".
  static std::optional<CResultOutput::Source> ParseSource(const std::string& word);
};
