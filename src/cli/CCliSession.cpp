#include "cli/CCliSession.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <sstream>
#include <vector>

#include "app/SettingsNames.h"
#include "cli/CCliBrowseCommands.h"
#include "cli/CCliOptionsCommands.h"
#include "cli/CCliOutputCommands.h"
#include "cli/CCliQueryCommands.h"
#include "cli/CCliTraceCommands.h"
#include "config/CConfigLexer.h"
#include "doc/CTmsfrmDoc.h"

CCliSession::CCliSession(std::ostream& out, std::ostream& err, Ask ask)
    : out(out),
      err(err),
      settings(CSettingsStore::DefaultPath()),
      ui(err, std::move(ask)),
      startup(app, settings, ui) {
  startup.Prepare([](const char* name) { return std::getenv(name); });
  CCliTraceCommands::StartFromEnvironment(*this);
  // A line each time the text changes; setting the same text again is no
  // change.
  statusLines = app.statusChanged.Connect([this](const std::string& text) {
    if (text != lastStatusLine) {
      lastStatusLine = text;
      this->err << "status: " << EscapeLine(text) << std::endl;
    }
  });
  settingsFailures = settings.writeFailed.Connect([this](CSettingsStore::WriteStatus status) {
    ui.MessageBox(settings.WriteFailedText(status), CSettingsStore::kWriteFailedCaption,
                  MsgButtons::Ok, MsgIcon::Warning);
  });
}

CCliSession::~CCliSession() {
  busyLines.Disconnect();
  doc.reset();
  statusLines.Disconnect();
  startup.Exit();
  settingsFailures.Disconnect();
}

namespace {

CliCommand Member(const char* name, int (CCliSession::*handler)(CArgScanner&), const char* usage,
                  const char* summary) {
  return {name,
          [handler](CCliSession& session, CArgScanner& args) { return (session.*handler)(args); },
          usage, summary};
}

}  // namespace

// The commands of the session itself: configurations, the link, the form,
// the results, answers and settings.
CliCommandTable CCliSession::OwnCommands() {
  return {
      Member("answer", &CCliSession::CmdAnswer, "answer yes|no|cancel|ok|text TEXT",
             "queue an answer for the next question"),
      Member("get-setting", &CCliSession::CmdGetSetting, "get-setting SECTION ENTRY",
             "print a stored setting (empty line when absent)"),
      Member("set-setting", &CCliSession::CmdSetSetting, "set-setting SECTION ENTRY VALUE",
             "store a setting"),
      Member("lex", &CCliSession::CmdLex, "lex PATH",
             "print the keyword lines of a configuration file"),
      Member("status", &CCliSession::CmdStatus, "status",
             "print the link state, database and status"),
      Member("wait", &CCliSession::CmdWait, "wait [SECONDS]", "process events"),
      Member("quit", &CCliSession::CmdQuit, "quit", "end"),
      Member("help", &CCliSession::CmdHelp, "help [COMMAND]", "list the commands, or explain one"),
      Member("open", &CCliSession::CmdOpen, "open PATH", "open a local configuration"),
      Member("open-remote", &CCliSession::CmdOpenRemote, "open-remote [URL]",
             "open a configuration from a URL"),
      Member("close", &CCliSession::CmdClose, "close", "close the document"),
      Member("check", &CCliSession::CmdCheck, "check PATH",
             "load a configuration and print its menu and databases"),
      Member("databases", &CCliSession::CmdDatabases, "databases",
             "print the database menu of the current document"),
      Member("connect", &CCliSession::CmdConnect, "connect NAME", "connect to a database"),
      Member("disconnect", &CCliSession::CmdDisconnect, "disconnect",
             "disconnect from the database"),
      Member("info", &CCliSession::CmdInfo, "info", "print the database information text"),
      Member("echo", &CCliSession::CmdEcho, "echo on|off", "the driver echo switch"),
      Member("fields", &CCliSession::CmdFields, "fields", "print the search form"),
      Member("row", &CCliSession::CmdRow, "row N FIELD [TERM]",
             "choose a row's field, type its term"),
      Member("term", &CCliSession::CmdTerm, "term N TEXT", "type into a row's term box"),
      Member("from", &CCliSession::CmdFrom, "from N VALUE", "set a range row's From end"),
      Member("to", &CCliSession::CmdTo, "to N VALUE", "set a range row's To end"),
      Member("limit", &CCliSession::CmdLimit, "limit N on|off", "check or uncheck a limit box"),
      Member("clear", &CCliSession::CmdClear, "clear", "Clear"),
      Member("clear-all", &CCliSession::CmdClearAll, "clear-all", "Clear All"),
      Member("search", &CCliSession::CmdSearch, "search", "press Search and wait"),
      Member("titles", &CCliSession::CmdTitles, "titles", "print the title list"),
      Member("more", &CCliSession::CmdMore, "more", "press the More button and wait"),
      Member("select", &CCliSession::CmdSelect, "select N[,N...]",
             "select titles and print their summaries"),
      Member("full", &CCliSession::CmdFull, "full [N[,N...]]",
             "retrieve full records and print the record window"),
      Member("summary-text", &CCliSession::CmdSummaryText, "summary-text",
             "print the summary window's text"),
      Member("record-text", &CCliSession::CmdRecordText, "record-text",
             "print the full record window's text"),
      Member("find", &CCliSession::CmdFind, "find WORD", "Find Text in the full record window"),
      Member("find-next", &CCliSession::CmdFindNext, "find-next", "Find Next"),
      Member("format", &CCliSession::CmdFormat,
             "format [labels abbreviated|expanded] [header none|brief|full] [fields ...]",
             "the Record Format dialog"),
      Member("save-format", &CCliSession::CmdSaveFormat, "save-format", "Save Format Options"),
      Member("header", &CCliSession::CmdHeader, "header brief|full",
             "print the header of the last search"),
  };
}

const std::map<std::string, CliCommand>& CCliSession::Commands() {
  static const std::map<std::string, CliCommand> commands = [] {
    std::map<std::string, CliCommand> all;
    for (const CliCommandTable& group :
         {OwnCommands(), CCliQueryCommands::Table(), CCliOptionsCommands::Table(),
          CCliOutputCommands::Table(), CCliBrowseCommands::Table(), CCliTraceCommands::Table()}) {
      for (const CliCommand& command : group) {
        all.emplace(command.name, command);
      }
    }
    return all;
  }();
  return commands;
}

std::string CCliSession::HelpText() {
  std::ostringstream text;
  for (const auto& [name, command] : Commands()) {
    std::string usage = command.usage;
    text << "  " << usage;
    for (size_t i = usage.size(); i < 36; ++i) {
      text << ' ';
    }
    text << ' ' << command.summary << '\n';
  }
  return text.str();
}

int CCliSession::Execute(const std::string& line) {
  CArgScanner args(line);
  auto name = args.Next();
  if (!name) {
    return 0;
  }
  auto it = Commands().find(*name);
  if (it == Commands().end()) {
    std::string nearest = interactive ? NearestCommand(*name) : std::string();
    if (!nearest.empty()) {
      return Error("unknown command: " + *name + " (did you mean " + nearest + "?)");
    }
    return Error("unknown command: " + *name);
  }
  return it->second.handler(*this, args);
}

int CCliSession::Error(const std::string& text) {
  err << "error: " << text << std::endl;
  return 1;
}

int CCliSession::Usage(const std::string& name) {
  return Error("usage: " + Commands().at(name).usage);
}

int CCliSession::OpenStartConfiguration(const std::string& path) {
  return OpenDocument(path);
}

int CCliSession::CmdAnswer(CArgScanner& args) {
  auto word = args.Next();
  CliAnswer answer{CliAnswer::Cancel, ""};
  if (!word) {
    return Usage("answer");
  }
  std::optional<std::string> text = *word == "text" ? args.Rest() : std::nullopt;
  if (*word != "text" && !args.AtEnd()) {
    return Usage("answer");
  }
  if (!CCliUi::ParseAnswer(*word, text, answer)) {
    return Usage("answer");
  }
  ui.QueueAnswer(answer);
  return 0;
}

int CCliSession::CmdGetSetting(CArgScanner& args) {
  auto section = args.Next();
  auto entry = args.Next();
  if (!section || !entry || !args.AtEnd()) {
    return Usage("get-setting");
  }
  out << settings.ReadSettingText(*section, *entry, "") << '\n';
  return 0;
}

int CCliSession::CmdSetSetting(CArgScanner& args) {
  auto section = args.Next();
  auto entry = args.Next();
  if (!section || !entry) {
    return Usage("set-setting");
  }
  std::string value = args.Rest().value_or("");
  bool stored = CSettingsStore::IsIntegerSetting(*section, *entry)
                    ? settings.WriteSettingInt(*section, *entry, std::atoi(value.c_str()))
                    : settings.WriteSettingText(*section, *entry, value);
  if (!stored) {
    Error(CSettingsStore::DescribeWriteStatus(settings.LastWriteStatus()));
    return kCommandFailed;
  }
  return kCommandOk;
}

int CCliSession::CmdLex(CArgScanner& args) {
  auto path = args.Rest();
  if (!path) {
    return Usage("lex");
  }
  if (!LexConfigurationFile(ui, *path, out)) {
    return Error("cannot open " + *path);
  }
  return 0;
}

int CCliSession::CmdStatus(CArgScanner& args) {
  if (!args.AtEnd()) {
    return Usage("status");
  }
  out << "link: " << (doc ? doc->LinkStateValue() : -1) << '\n';
  out << "database: " << (doc ? doc->ConnectedName() : std::string()) << '\n';
  out << "status: " << app.StatusMessage() << '\n';
  return 0;
}

int CCliSession::CmdWait(CArgScanner& args) {
  auto seconds = args.Next();
  if (!args.AtEnd()) {
    return Usage("wait");
  }
  if (!seconds) {
    WaitForLink();
    return 0;
  }
  char* end = nullptr;
  double value = std::strtod(seconds->c_str(), &end);
  if (end == seconds->c_str() || *end != '\0' || value < 0) {
    return Usage("wait");
  }
  bool done = false;
  int timer = loop.StartTimer(static_cast<int>(value * 1000), false, [&done] { done = true; });
  while (!done && loop.ProcessEvents(-1)) {
  }
  loop.StopTimer(timer);
  return 0;
}

int CCliSession::CmdHelp(CArgScanner& args) {
  auto name = args.Next();
  if (!args.AtEnd()) {
    return Usage("help");
  }
  if (!name) {
    out << HelpText();
    return kCommandOk;
  }
  auto it = Commands().find(*name);
  if (it == Commands().end()) {
    std::string nearest = NearestCommand(*name);
    return Error("unknown command: " + *name +
                 (nearest.empty() ? std::string() : " (did you mean " + nearest + "?)"));
  }
  out << "usage: " << it->second.usage << '\n' << it->second.summary << '\n';
  return kCommandOk;
}

namespace {

// Levenshtein distance: insertions, deletions and substitutions count one.
size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) {
    row[j] = j;
  }
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

std::string CCliSession::NearestCommand(const std::string& name) {
  // Further than a third of the name away is a different word, not a typo.
  size_t best = std::max<size_t>(1, name.size() / 3) + 1;
  std::string nearest;
  for (const auto& [candidate, command] : Commands()) {
    size_t distance = EditDistance(name, candidate);
    if (distance < best) {
      best = distance;
      nearest = candidate;
    }
  }
  return nearest;
}

int CCliSession::CmdQuit(CArgScanner& args) {
  if (!args.AtEnd()) {
    return Usage("quit");
  }
  quitRequested = true;
  return 0;
}
