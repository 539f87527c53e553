#include "search/CSavedQueries.h"

#include <sys/stat.h>

#include "app/FormatText.h"
#include "platform/CAtomicFile.h"
#include "search/CQueryList.h"
#include "search/CQueryListFile.h"
#include "search/CQueryNameDlg.h"
#include "search/CSearchForm.h"

namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

// As the file dialogs do: a name typed without an extension gets ".qry".
std::string WithExtension(const std::string& path) {
  std::string base = CAtomicFile::BaseNameOf(path);
  if (base.empty() || base.find('.') != std::string::npos) {
    return path;
  }
  return path + "." + CSavedQueries::kExtension;
}

FileChooserRequest QueryFileRequest(const char* caption, bool save) {
  FileChooserRequest request;
  request.caption = caption;
  request.filters = {{"Query Lists (*.qry)", "*.qry"}, {"All Files (*)", "*"}};
  request.save = save;
  return request;
}

}  // namespace

const std::array<CSavedQueries::MenuItem, 6>& CSavedQueries::MenuItems() {
  static const std::array<MenuItem, 6> items = {{
      {Command::Name, "&Name current query...", "Name the current query and add to list"},
      {Command::Delete, "&Delete a query name from list...",
       "Delete a query from the current list"},
      {Command::DeleteAll, "Delete &All queries from list", ""},
      {Command::Select, "S&elect query...", "Select a query from the currently loaded list"},
      {Command::Retrieve, "&Retrieve a query list...", "Open a file of saved queries"},
      {Command::Save, "&Save current query list...", "Save the current query list to a file"},
  }};
  return items;
}

CSavedQueries::CSavedQueries(CQueryList& queries, CSearchForm& form, Ui& ui)
    : queries(queries), form(form), ui(ui) {}

bool CSavedQueries::IsEnabled(Command command) const {
  return command != Command::Select || !form.connectedDbName.empty();
}

bool CSavedQueries::Run(Command command) {
  switch (command) {
    case Command::Name:
      return NameCurrentQuery();
    case Command::Delete:
      return DeleteQuery();
    case Command::DeleteAll:
      DeleteAllQueries();
      return true;
    case Command::Select:
      return SelectQuery();
    case Command::Retrieve:
      return RetrieveQueryList();
    case Command::Save:
      return SaveQueryList();
  }
  return false;
}

std::optional<std::string> CSavedQueries::AskName(bool naming) {
  CQueryNameDlg dialog(naming ? CQueryNameDlg::Mode::Naming : CQueryNameDlg::Mode::Choosing,
                       queries, ui);
  if (!ui.RunDialog(dialog)) {
    return std::nullopt;
  }
  return dialog.ChosenName();
}

bool CSavedQueries::NameCurrentQuery() {
  auto name = AskName(true);
  return name && form.CaptureQuery(*name);
}

bool CSavedQueries::DeleteQuery() {
  auto name = AskName(false);
  return name && queries.Delete(*name);
}

void CSavedQueries::DeleteAllQueries() {
  queries.DeleteAll();
}

bool CSavedQueries::SelectQuery() {
  if (!IsEnabled(Command::Select)) {
    return false;
  }
  auto name = AskName(false);
  return name && form.ApplyQuery(*name);
}

FileChooserRequest CSavedQueries::OpenRequest() {
  return QueryFileRequest("Open", false);
}

FileChooserRequest CSavedQueries::SaveRequest() {
  return QueryFileRequest("Save As", true);
}

std::optional<std::string> CSavedQueries::AskSavePath() {
  // Like the system dialog, "No" to the overwrite question goes back to the
  // chooser.
  for (;;) {
    auto chosen = ui.ChooseFile(SaveRequest());
    if (!chosen || chosen->empty()) {
      return std::nullopt;
    }
    std::string path = WithExtension(*chosen);
    if (!Exists(path)) {
      return path;
    }
    std::string question =
        FormatText("%s already exists.\nDo you want to replace it?", path.c_str());
    if (ui.MessageBox(question, "Save As", MsgButtons::YesNo, MsgIcon::Warning) == MsgAnswer::Yes) {
      return path;
    }
  }
}

bool CSavedQueries::SaveQueryList() {
  auto path = AskSavePath();
  return path && CQueryListFile::Save(*path, queries, ui);
}

bool CSavedQueries::RetrieveQueryList() {
  auto chosen = ui.ChooseFile(OpenRequest());
  if (!chosen || chosen->empty()) {
    return false;
  }
  std::string path = *chosen;
  if (!Exists(path) && Exists(WithExtension(path))) {
    path = WithExtension(path);
  }
  return CQueryListFile::Load(path, queries, ui);
}
