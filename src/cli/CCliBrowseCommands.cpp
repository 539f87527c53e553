#include "cli/CCliBrowseCommands.h"

#include <ostream>

#include "cli/CArgScanner.h"
#include "cli/CCliSession.h"
#include "doc/CDocBrowse.h"
#include "doc/CMainView.h"
#include "doc/CTmsfrmDoc.h"
#include "search/CSearchForm.h"

namespace {

bool ParseKey(const std::string& word, CBrowseList::Key& key) {
  static const struct {
    const char* name;
    CBrowseList::Key key;
  } kKeys[] = {{"up", CBrowseList::Key::Up},         {"down", CBrowseList::Key::Down},
               {"pageup", CBrowseList::Key::PageUp}, {"pagedown", CBrowseList::Key::PageDown},
               {"home", CBrowseList::Key::Home},     {"end", CBrowseList::Key::End}};
  for (const auto& entry : kKeys) {
    if (word == entry.name) {
      key = entry.key;
      return true;
    }
  }
  return false;
}

// ENTRY [ctrl]: a 0-based entry number. False when the arguments are bad.
bool ParseClick(CArgScanner& args, int& entry, bool& ctrl) {
  auto number = args.Next();
  auto modifier = args.Next();
  if (!number || number->empty() || number->size() > 9 ||
      number->find_first_not_of("0123456789") != std::string::npos ||
      (modifier && *modifier != "ctrl") || !args.AtEnd()) {
    return false;
  }
  entry = std::stoi(*number);
  ctrl = modifier.has_value();
  return true;
}

bool BasicPageOffered(CTmsfrmDoc& doc) {
  const auto& tabs = doc.MainView().Tabs();
  return static_cast<int>(tabs.size()) > CMainView::PAGE_BASIC &&
         tabs[CMainView::PAGE_BASIC].enabled;
}

}  // namespace

CliCommandTable CCliBrowseCommands::Table() {
  return {
      {"browse", Browse, "browse [LIST]",
       "browse the current row's list (LIST answers the List Selection) and print it"},
      {"browse-type", BrowseType, "browse-type TEXT",
       "type TEXT into the List Browser's text box, jump, print the browser"},
      {"browse-key", BrowseKey, "browse-key up|down|pageup|pagedown|home|end",
       "a key in the List Browser's text box; print the browser"},
      {"browse-click", BrowseClick, "browse-click ENTRY [ctrl]",
       "click entry ENTRY (0-based) of the List Browser; print the browser"},
      {"browse-ok", BrowseOk, "browse-ok", "OK in the List Browser; print the row's term"},
      {"browse-cancel", BrowseCancel, "browse-cancel", "Cancel in the List Browser"},
      {"basic", Basic, "basic", "print the basic mode page's buttons and mode line"},
      {"basic-field", BasicField, "basic-field N", "press basic mode field button N (1-5)"},
      {"basic-type", BasicType, "basic-type TEXT", "type TEXT into the basic mode text box"},
      {"basic-click", BasicClick, "basic-click ENTRY [ctrl]",
       "click entry ENTRY (0-based) of the basic mode heading list"},
      {"basic-search", BasicSearch, "basic-search", "press the basic mode Search button and wait"},
  };
}

CListBrowserDlg* CCliBrowseCommands::Browser(CCliSession& session) {
  CTmsfrmDoc* doc = session.Doc();
  return doc != nullptr ? doc->Browse().Flow().Browser() : nullptr;
}

bool CCliBrowseCommands::Settle(CCliSession& session) {
  CListBrowserDlg* browser = Browser(session);
  if (browser != nullptr && session.Doc()->Browse().TakeCloseRequest()) {
    session.Doc()->Browse().Flow().Finish(false);
    browser = nullptr;
  }
  // A broken reply closes the connection once the list has returned.
  session.Loop().ProcessEvents(0);
  return browser != nullptr && Browser(session) != nullptr;
}

void CCliBrowseCommands::PrintList(CCliSession& session, const CBrowseList& list) {
  std::ostream& out = session.Out();
  out << "heading: " << EscapeLine(list.HeadingLabel()) << '\n';
  int entry = list.First();
  for (const CBrowseReply::Entry& loaded : list.Entries()) {
    out << entry << (list.IsSelected(entry) ? "*" : "") << ' ' << EscapeLine(loaded.display)
        << '\n';
    ++entry;
  }
  out.flush();
}

int CCliBrowseCommands::Browse(CCliSession& session, CArgScanner& args) {
  auto listName = args.Next();
  if (!args.AtEnd()) {
    return session.Usage("browse");
  }
  CTmsfrmDoc* doc = session.Doc();
  if (doc == nullptr || !doc->Form().browseEnabled || Browser(session) != nullptr) {
    return session.Error("not available: browse");
  }
  CCliUi& ui = session.UiPort();
  std::size_t pending = ui.PendingAnswers();
  if (listName) {
    ui.PushFrontAnswer({CliAnswer::Text, *listName});
  }
  CListBrowserDlg* browser = doc->Browse().Flow().Start();
  if (listName && ui.PendingAnswers() > pending) {
    ui.DropFrontAnswer();
  }
  if (browser == nullptr || !Settle(session)) {
    return kCommandOk;
  }
  PrintList(session, Browser(session)->List());
  return kCommandOk;
}

int CCliBrowseCommands::BrowseType(CCliSession& session, CArgScanner& args) {
  auto text = args.Next();
  if (!text || !args.AtEnd()) {
    return session.Usage("browse-type");
  }
  CListBrowserDlg* browser = Browser(session);
  if (browser == nullptr) {
    return session.Error("not available: browse-type");
  }
  browser->List().TypeText(*text);
  // The user would wait for the jump timer.
  browser->List().JumpNow();
  if (Settle(session)) {
    PrintList(session, Browser(session)->List());
  }
  return kCommandOk;
}

int CCliBrowseCommands::BrowseKey(CCliSession& session, CArgScanner& args) {
  auto word = args.Next();
  CBrowseList::Key key{};
  if (!word || !ParseKey(*word, key) || !args.AtEnd()) {
    return session.Usage("browse-key");
  }
  CListBrowserDlg* browser = Browser(session);
  if (browser == nullptr) {
    return session.Error("not available: browse-key");
  }
  browser->List().PressKey(key);
  if (Settle(session)) {
    PrintList(session, Browser(session)->List());
  }
  return kCommandOk;
}

int CCliBrowseCommands::BrowseClick(CCliSession& session, CArgScanner& args) {
  int entry = 0;
  bool ctrl = false;
  if (!ParseClick(args, entry, ctrl)) {
    return session.Usage("browse-click");
  }
  CListBrowserDlg* browser = Browser(session);
  if (browser == nullptr || browser->List().EntryAt(entry) == nullptr) {
    return session.Error("not available: browse-click");
  }
  browser->List().Click(entry, ctrl);
  if (Settle(session)) {
    PrintList(session, Browser(session)->List());
  }
  return kCommandOk;
}

int CCliBrowseCommands::BrowseOk(CCliSession& session, CArgScanner& args) {
  if (!args.AtEnd()) {
    return session.Usage("browse-ok");
  }
  if (Browser(session) == nullptr) {
    return session.Error("not available: browse-ok");
  }
  CTmsfrmDoc& doc = *session.Doc();
  if (!doc.Browse().Flow().Finish(true)) {
    // A request is outstanding: OK is ignored and the browser stays.
    return kCommandFailed;
  }
  session.Out() << doc.Form().rowTerms[static_cast<std::size_t>(doc.Form().currentRow)] << '\n';
  session.Out().flush();
  return kCommandOk;
}

int CCliBrowseCommands::BrowseCancel(CCliSession& session, CArgScanner& args) {
  if (!args.AtEnd()) {
    return session.Usage("browse-cancel");
  }
  if (Browser(session) == nullptr) {
    return session.Error("not available: browse-cancel");
  }
  session.Doc()->Browse().Flow().Finish(false);
  return kCommandOk;
}

int CCliBrowseCommands::Basic(CCliSession& session, CArgScanner& args) {
  if (!args.AtEnd()) {
    return session.Usage("basic");
  }
  CTmsfrmDoc* doc = session.Doc();
  if (doc == nullptr) {
    return session.Error("not available: basic");
  }
  const CBasicMode& basic = doc->Browse().Basic();
  std::ostream& out = session.Out();
  for (int i = 0; i < CBasicMode::kButtons; ++i) {
    out << "button " << i + 1 << ": " << basic.buttonCaptions[static_cast<std::size_t>(i)] << '\n';
  }
  out << "mode: " << EscapeLine(basic.modeLine) << '\n';
  out.flush();
  return kCommandOk;
}

int CCliBrowseCommands::BasicField(CCliSession& session, CArgScanner& args) {
  int button = CCliSession::NumberArg(args.Next(), CBasicMode::kButtons);
  if (button == 0 || !args.AtEnd()) {
    return session.Usage("basic-field");
  }
  CTmsfrmDoc* doc = session.Doc();
  if (doc == nullptr || !BasicPageOffered(*doc) ||
      !doc->Browse().Basic().buttonEnabled[static_cast<std::size_t>(button - 1)]) {
    return session.Error("not available: basic-field");
  }
  doc->MainView().SelectPage(CMainView::PAGE_BASIC);
  doc->Browse().Basic().PressButton(button - 1);
  session.Loop().ProcessEvents(0);
  return kCommandOk;
}

int CCliBrowseCommands::BasicType(CCliSession& session, CArgScanner& args) {
  auto text = args.Next();
  if (!text || !args.AtEnd()) {
    return session.Usage("basic-type");
  }
  CTmsfrmDoc* doc = session.Doc();
  if (doc == nullptr || !doc->Browse().Basic().textEnabled) {
    return session.Error("not available: basic-type");
  }
  CBasicMode& basic = doc->Browse().Basic();
  basic.TypeText(*text);
  if (basic.basicListMode != 0) {
    basic.List().JumpNow();
  }
  session.Loop().ProcessEvents(0);
  return kCommandOk;
}

int CCliBrowseCommands::BasicClick(CCliSession& session, CArgScanner& args) {
  int entry = 0;
  bool ctrl = false;
  if (!ParseClick(args, entry, ctrl)) {
    return session.Usage("basic-click");
  }
  CTmsfrmDoc* doc = session.Doc();
  if (doc == nullptr || !doc->Browse().Basic().listEnabled ||
      doc->Browse().Basic().List().EntryAt(entry) == nullptr) {
    return session.Error("not available: basic-click");
  }
  doc->Browse().Basic().Click(entry, ctrl);
  return kCommandOk;
}

int CCliBrowseCommands::BasicSearch(CCliSession& session, CArgScanner& args) {
  if (!args.AtEnd()) {
    return session.Usage("basic-search");
  }
  CTmsfrmDoc* doc = session.Doc();
  if (doc == nullptr || !doc->Browse().Basic().searchEnabled) {
    return session.Error("not available: basic-search");
  }
  if (!doc->Browse().Basic().Search()) {
    return kCommandFailed;
  }
  session.WaitForLink();
  return kCommandOk;
}
