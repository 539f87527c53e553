#include "cli/CCliOptionsCommands.h"

#include <ostream>

#include "app/CMainFrameModel.h"
#include "cli/CArgScanner.h"
#include "cli/CCliSession.h"
#include "cli/CCliUi.h"
#include "config/CDefaultUrlCommand.h"
#include "doc/CDocExternal.h"
#include "doc/CTmsfrmDoc.h"
#include "driver/CListSummary.h"
#include "external/CExtensionPrograms.h"
#include "external/CRetrievalMethodDlg.h"
#include "external/CWebBrowser.h"
#include "output/CAbstract.h"

namespace {

// The command's argument answers the dialog it opens; an answer the dialog
// did not take is not left for the next question.
template <typename Run>
auto AnswerWith(CCliSession& session, const std::string& text, Run run) {
  CCliUi& ui = session.UiPort();
  std::size_t pending = ui.PendingAnswers();
  ui.PushFrontAnswer({CliAnswer::Text, text});
  auto result = run();
  if (ui.PendingAnswers() > pending) {
    ui.DropFrontAnswer();
  }
  return result;
}

}  // namespace

CliCommandTable CCliOptionsCommands::Table() {
  return {
      {"extension", Extension, "extension LABEL [N[,N...]]",
       "Retrieve Full through the extension program LABEL (full: Abstract)"},
      {"db-info", DbInfo, "db-info KEY",
       "print the information text of a database tag or submenu key"},
      {"help-url", HelpUrl, "help-url", "print the database help URL"},
      {"database-help", DatabaseHelp, "database-help",
       "Database Help: open the help page in the browser"},
      {"default-url", DefaultUrl, "default-url URL", "Default Configuration URL"},
      {"mail-host", MailHost, "mail-host HOST", "Default Mailhost"},
      {"browser", Browser, "browser PATH", "Web Browser"},
      {"splash", Splash, "splash", "Splash On (toggle)"},
  };
}

int CCliOptionsCommands::Extension(CCliSession& session, CArgScanner& args) {
  auto label = args.Next();
  auto list = args.Next();
  if (!label || !args.AtEnd()) {
    return session.Usage("extension");
  }
  CTmsfrmDoc* doc = session.Doc();
  const CDBDescRec* database = doc != nullptr ? doc->Config().currentDatabase : nullptr;
  if (database == nullptr || database->extensions.empty()) {
    return session.Error("not available: extension");
  }
  bool abstract = *label == "full";
  if (!abstract && CExtensionPrograms::FindProgram(database->extensions, *label).empty()) {
    return session.Error("no extension program labelled: " + *label);
  }
  if (list) {
    std::vector<int> indexes;
    if (!CCliSession::ParseTitleList(*list, static_cast<int>(doc->Summary().Titles().size()),
                                     indexes)) {
      return session.Usage("extension");
    }
    doc->Summary().SetSelection(indexes);
  }
  AnswerWith(session, abstract ? CRetrievalMethodDlg::kAbstractText : *label, [doc] {
    doc->Summary().RetrieveFull();
    return true;
  });
  session.WaitForLink();
  if (abstract) {
    session.Out() << doc->Abstract().Text();
    return kCommandOk;
  }
  return doc->External().LastOutcome().started ? kCommandOk : kCommandFailed;
}

int CCliOptionsCommands::DbInfo(CCliSession& session, CArgScanner& args) {
  auto key = args.Next();
  if (!key || !args.AtEnd()) {
    return session.Usage("db-info");
  }
  CTmsfrmDoc* doc = session.Doc();
  if (doc == nullptr) {
    return session.Error("not available: db-info");
  }
  doc->InfoTexts().LoadInformationTexts(doc->Config(), doc->Loader(), doc->Fetcher(), doc->Lexer(),
                                        session.UiPort());
  const std::string* text = doc->InfoTexts().Find(*key);
  if (text != nullptr && !text->empty()) {
    session.Out() << *text << '\n';
  }
  return kCommandOk;
}

int CCliOptionsCommands::HelpUrl(CCliSession& session, CArgScanner& args) {
  if (!args.AtEnd()) {
    return session.Usage("help-url");
  }
  CTmsfrmDoc* doc = session.Doc();
  if (doc == nullptr || !doc->External().DatabaseHelpEnabled()) {
    return session.Error("not available: help-url");
  }
  std::string url = doc->External().DatabaseHelpUrl();
  if (!url.empty()) {
    session.Out() << url << '\n';
  }
  return kCommandOk;
}

int CCliOptionsCommands::DatabaseHelp(CCliSession& session, CArgScanner& args) {
  if (!args.AtEnd()) {
    return session.Usage("database-help");
  }
  CTmsfrmDoc* doc = session.Doc();
  if (doc == nullptr || !doc->External().DatabaseHelpEnabled()) {
    return session.Error("not available: database-help");
  }
  return doc->External().DatabaseHelpCommand() ? kCommandOk : kCommandFailed;
}

int CCliOptionsCommands::DefaultUrl(CCliSession& session, CArgScanner& args) {
  auto url = args.Next();
  if (!url || !args.AtEnd()) {
    return session.Usage("default-url");
  }
  CDefaultUrlCommand command(session.UiPort(), session.Settings());
  bool done = AnswerWith(session, *url, [&command] { return command.Run(); });
  return done ? kCommandOk : kCommandFailed;
}

int CCliOptionsCommands::MailHost(CCliSession& session, CArgScanner& args) {
  auto host = args.Next();
  if (!host || !args.AtEnd()) {
    return session.Usage("mail-host");
  }
  CMainFrameModel model(session.App(), session.Settings());
  bool done = AnswerWith(session, *host, [&model, &session] {
    return model.DefaultMailhostCommand(session.UiPort());
  });
  return done ? kCommandOk : kCommandFailed;
}

int CCliOptionsCommands::Browser(CCliSession& session, CArgScanner& args) {
  auto path = args.Rest();
  if (!path) {
    return session.Usage("browser");
  }
  CWebBrowser browser(session.UiPort(), session.Settings());
  bool done = AnswerWith(session, *path, [&browser] { return browser.ChooseBrowser(); });
  return done ? kCommandOk : kCommandFailed;
}

int CCliOptionsCommands::Splash(CCliSession& session, CArgScanner& args) {
  if (!args.AtEnd()) {
    return session.Usage("splash");
  }
  CMainFrameModel model(session.App(), session.Settings());
  model.ToggleSplash();
  return kCommandOk;
}
