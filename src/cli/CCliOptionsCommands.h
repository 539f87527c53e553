#pragma once

#include "cli/CliCommand.h"

class CArgScanner;
class CCliSession;

// The commands of the Options menu, the extension programs and help: the
// same core commands the main window's menus run.
class CCliOptionsCommands {
 public:
  static CliCommandTable Table();

  static int Extension(CCliSession& session, CArgScanner& args);
  static int DbInfo(CCliSession& session, CArgScanner& args);
  static int HelpUrl(CCliSession& session, CArgScanner& args);
  static int DatabaseHelp(CCliSession& session, CArgScanner& args);
  static int DefaultUrl(CCliSession& session, CArgScanner& args);
  static int MailHost(CCliSession& session, CArgScanner& args);
  static int Browser(CCliSession& session, CArgScanner& args);
  static int Splash(CCliSession& session, CArgScanner& args);
};
