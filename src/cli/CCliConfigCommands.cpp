// The configuration commands of the command-line client.

#include <ostream>
#include <sstream>

#include "cli/CCliSession.h"
#include "config/CConfiguration.h"
#include "doc/CTmsfrmDoc.h"

namespace {

// The menu as an indented tree: "+ TEXT [TAG]" opens a submenu whose lines are
// indented two more blanks, "- NAME [TAG]" is a database.
void PrintMenu(const CConfiguration& config, std::ostream& out) {
  size_t depth = 0;
  for (const auto& entry : config.menuEntries) {
    if (entry.kind == "endmenu") {
      if (depth > 0) {
        --depth;
      }
      continue;
    }
    out << std::string(depth * 2, ' ') << (entry.kind == "menu" ? "+ " : "- ") << entry.text << " ["
        << entry.tag << "]\n";
    if (entry.kind == "menu") {
      ++depth;
    }
  }
}

const char* RangeName(int rangeType) {
  switch (rangeType) {
    case RANGE_NUMERIC:
      return "NUMERIC";
    case RANGE_YEAR:
      return "YEAR";
    case RANGE_MONTH:
      return "MONTH";
    case RANGE_DAY:
      return "DAY";
    default:
      return "";
  }
}

void PrintSearchField(const CDBFieldDescRec& field, int number, std::ostream& out) {
  out << "  search field " << number << ": " << field.name << " = " << field.command;
  if (field.rangeType != RANGE_NONE) {
    out << " range " << RangeName(field.rangeType);
    if (field.yearLow != 0) {
      out << " " << field.yearLow << "-" << field.yearHigh;
    }
  }
  if (field.isLimit != 0) {
    out << " limit";
  }
  if (field.basicOnly != 0) {
    out << " basic-only";
  } else if (field.basicField != 0) {
    out << " basic";
  }
  for (int i = 0; i < field.listCount; ++i) {
    out << (i == 0 ? " lists: " : ", ") << field.listNames[static_cast<size_t>(i)];
  }
  if (field.listHierarchical != 0) {
    out << " (hierarchical)";
  }
  out << '\n';
}

void PrintDatabase(const CDBDescRec& db, std::ostream& out) {
  out << "database " << db.tag << ": " << db.name << '\n';
  out << "  driver: " << db.host << ' ' << db.port << '\n';
  out << "  internal name: " << db.internalName << '\n';
  out << "  title fields: " << db.titleFields << '\n';
  out << "  summary fields: " << db.summaryFields << '\n';
  for (size_t i = 0; i < db.searchFields.size(); ++i) {
    PrintSearchField(db.searchFields[i], static_cast<int>(i + 1), out);
  }
  for (size_t i = 0; i < db.limitFields.size(); ++i) {
    out << "  limit field " << i + 1 << ": " << db.limitFields[i].name << " = "
        << db.limitFields[i].command << '\n';
  }
  out << "  rows: " << db.rowCount;
  for (int row = 0; row < CDBDescRec::kMaxRows; ++row) {
    int field = db.defaultFieldAt[static_cast<size_t>(row)];
    if (field >= 0 && static_cast<size_t>(field) < db.searchFields.size()) {
      out << ' ' << row + 1 << '=' << db.searchFields[static_cast<size_t>(field)].name;
    }
  }
  out << '\n';
  for (const auto& ext : db.extensions) {
    out << "  extension: " << ext.label << " = " << ext.program << '\n';
  }
}

}  // namespace

int CCliSession::OpenDocument(const std::string& path) {
  auto newDoc = std::make_unique<CTmsfrmDoc>(app, settings, ui, loop);
  if (!newDoc->OpenDocumentConfig(path)) {
    // The document that was open, and its connection, stay as they were.
    return kCommandFailed;
  }
  doc.reset();
  doc = std::move(newDoc);
  WatchDocument();
  doc->FirstSelection();
  WaitForLink();
  WaitForFollowUps();
  return kCommandOk;
}

int CCliSession::CmdOpen(CArgScanner& args) {
  auto path = args.Rest();
  if (!path) {
    return Usage("open");
  }
  app.remoteOpenPending = false;
  return OpenDocument(*path);
}

int CCliSession::CmdOpenRemote(CArgScanner& args) {
  auto url = args.Rest();
  size_t pending = ui.PendingAnswers();
  if (url) {
    ui.PushFrontAnswer({CliAnswer::Text, *url});
  }
  app.remoteOpenPending = true;
  app.askForUrl = true;
  // The document is named like the copy the fetch will make.
  int result =
      OpenDocument(CTempFiles::ConfigCopyName(app.privateDirectory, app.tempConfigCounter));
  if (url && ui.PendingAnswers() > pending) {
    ui.DropFrontAnswer();
  }
  return result;
}

int CCliSession::CmdClose(CArgScanner& args) {
  if (!args.AtEnd()) {
    return Usage("close");
  }
  if (!doc) {
    return Error("not available: close");
  }
  doc.reset();
  return 0;
}

int CCliSession::CmdCheck(CArgScanner& args) {
  auto path = args.Rest();
  if (!path) {
    return Usage("check");
  }
  bool pending = app.remoteOpenPending;
  app.remoteOpenPending = false;
  // Every message the load shows reports a fault in the configuration.
  int messagesBefore = ui.messageCount;
  CTmsfrmDoc scratch(app, settings, ui, loop);
  bool opened = scratch.OpenDocumentConfig(*path);
  app.remoteOpenPending = pending;
  if (!opened) {
    return kCommandFailed;
  }
  out << "menu:\n";
  PrintMenu(scratch.Config(), out);
  // Databases kept in files of their own are read as a selection would.
  for (const auto& name : std::vector<std::string>(scratch.Config().databaseNames)) {
    scratch.SelectDatabase(name);
  }
  for (const auto& [tag, db] : scratch.Config().databases) {
    PrintDatabase(*db, out);
  }
  return ui.messageCount != messagesBefore ? kCommandFailed : kCommandOk;
}

int CCliSession::CmdDatabases(CArgScanner& args) {
  if (!args.AtEnd()) {
    return Usage("databases");
  }
  if (!doc) {
    return Error("not available: databases");
  }
  PrintMenu(doc->Config(), out);
  return 0;
}
