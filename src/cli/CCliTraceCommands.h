#pragma once

#include "cli/CliCommand.h"

// The packet trace of the command-line client.
class CCliTraceCommands {
 public:
  static CliCommandTable Table();

  // trace PATH|off
  static int Trace(CCliSession& session, CArgScanner& args);
  // TAMSEL_TRACE at start: an error line when its file cannot be opened.
  static void StartFromEnvironment(CCliSession& session);
};
