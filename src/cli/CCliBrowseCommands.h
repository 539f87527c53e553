#pragma once

#include "cli/CliCommand.h"

class CListBrowserDlg;
class CBrowseList;

// The browse lists and the basic mode page of the command-line client.
class CCliBrowseCommands {
 public:
  static CliCommandTable Table();

  static int Browse(CCliSession& session, CArgScanner& args);
  static int BrowseType(CCliSession& session, CArgScanner& args);
  static int BrowseKey(CCliSession& session, CArgScanner& args);
  static int BrowseClick(CCliSession& session, CArgScanner& args);
  static int BrowseOk(CCliSession& session, CArgScanner& args);
  static int BrowseCancel(CCliSession& session, CArgScanner& args);
  static int Basic(CCliSession& session, CArgScanner& args);
  static int BasicField(CCliSession& session, CArgScanner& args);
  static int BasicType(CCliSession& session, CArgScanner& args);
  static int BasicClick(CCliSession& session, CArgScanner& args);
  static int BasicSearch(CCliSession& session, CArgScanner& args);

 private:
  // The open List Browser, or none.
  static CListBrowserDlg* Browser(CCliSession& session);
  // Ends a browser that asked to close (no data, broken reply), then lets
  // the work that was put off until the list returned run. False when the
  // browser is gone.
  static bool Settle(CCliSession& session);
  static void PrintList(CCliSession& session, const CBrowseList& list);
};
