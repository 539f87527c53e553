#include "search/CSearchForm.h"

#include <algorithm>
#include <cctype>
#include <ctime>

#include "app/AppNames.h"
#include "app/CAppState.h"
#include "app/FormatText.h"
#include "app/Ui.h"
#include "config/CConfiguration.h"
#include "driver/CDriverLink.h"
#include "search/CDateSelectionDlg.h"
#include "search/CQueryList.h"

namespace {

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
  if (prefix.size() > text.size()) {
    return false;
  }
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i]))) {
      return false;
    }
  }
  return true;
}

int LocalYear() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

// Captions a range button shows while its end is open. They give way to the
// open-end words of whatever range field the row gets next.
bool IsOpenFromCaption(const std::string& caption) {
  return caption == " " || caption == "Oldest" || caption == "Lowest";
}

bool IsOpenToCaption(const std::string& caption) {
  return caption == " " || caption == "Newest" || caption == "Highest";
}

}  // namespace

CSearchForm::CSearchForm(CConfiguration& config, CDriverLink& link, CAppState& app, Ui& ui,
                         CQueryList& queryList)
    : currentYear(LocalYear), config(config), link(link), app(app), ui(ui), queryList(queryList) {
  for (int r = 0; r < kRows; ++r) {
    rowFieldNames[r] = "Keyword";
    fromLabels[r] = "Oldest";
    toLabels[r] = "Newest";
  }
  for (int i = 0; i < kLimitBoxes; ++i) {
    limitCommands[i] = FormatText("Limit %d", i + 1);
  }
}

const CDBDescRec* CSearchForm::Db() const {
  return config.currentDatabase;
}

void CSearchForm::Changed() {
  onChanged();
}

const CDBFieldDescRec* CSearchForm::RowField(int row) const {
  const CDBDescRec* db = Db();
  if (db == nullptr || row < 0 || row >= kRows || rows[row].selection < 0) {
    return nullptr;
  }
  int index = rowFieldIndex[row];
  if (index < 0 || static_cast<size_t>(index) >= db->searchFields.size()) {
    return nullptr;
  }
  return &db->searchFields[static_cast<size_t>(index)];
}

std::string CSearchForm::RangeText(int row) const {
  const CRangeDesc& from = rangeFrom[row];
  const CRangeDesc& to = rangeTo[row];
  if (from.month == 0 && from.day == 0 && from.year == 0 && to.month == 0 && to.day == 0 &&
      to.year == 0) {
    return "";
  }
  return FormatText("%d/%d/%d %d/%d/%d", from.month, from.day, from.year, to.month, to.day,
                    to.year);
}

int CSearchForm::LimitBoxWidth(const std::string& caption, int textWidth) {
  return textWidth + (caption.size() < 8 ? 10 : 0);
}

// ---- the two directions of data exchange ----

bool CSearchForm::ReadForm() {
  for (int r = 0; r < kRows; ++r) {
    if (rows[r].listText.size() > kMaxFieldNameLength) {
      std::string text = "Please enter no more than %1 characters.";
      text.replace(text.find("%1"), 2, std::to_string(kMaxFieldNameLength));
      ui.MessageBox(text, kAppTitle, MsgButtons::Ok, MsgIcon::Warning);
      return false;
    }
    rowFieldNames[r] = rows[r].listText;
  }
  return true;
}

int CSearchForm::FindEntry(const std::string& name, bool prefixAllowed) const {
  if (name.empty()) {
    return -1;
  }
  for (size_t e = 0; e < fieldEntries.size(); ++e) {
    if (fieldEntries[e].name.size() == name.size() &&
        StartsWithIgnoringCase(fieldEntries[e].name, name)) {
      return static_cast<int>(e);
    }
  }
  // An exact name wins over an earlier field that merely begins with it.
  if (prefixAllowed) {
    for (size_t e = 0; e < fieldEntries.size(); ++e) {
      if (StartsWithIgnoringCase(fieldEntries[e].name, name)) {
        return static_cast<int>(e);
      }
    }
  }
  return -1;
}

void CSearchForm::SelectEntry(int row, int entry) {
  rows[row].selection = entry;
  rows[row].listText = entry >= 0 ? fieldEntries[static_cast<size_t>(entry)].name : "";
}

void CSearchForm::WriteForm() {
  for (int r = 0; r < kRows; ++r) {
    int entry = FindEntry(rowFieldNames[r], true);
    if (entry >= 0 || rowFieldNames[r].empty()) {
      SelectEntry(r, entry);
    }
  }
}

// ---- connect and disconnect ----

void CSearchForm::TakeDefaultField(int row, const CDBDescRec& db) {
  int field = db.defaultFieldAt[static_cast<size_t>(row)];
  std::string name;
  if (field >= 0 && static_cast<size_t>(field) < db.searchFields.size()) {
    name = db.searchFields[static_cast<size_t>(field)].name;
  }
  int entry = FindEntry(name, false);
  if (entry >= 0) {
    rowFieldNames[row] = name;
    rowFieldIndex[row] = fieldEntries[static_cast<size_t>(entry)].fieldIndex;
  } else {
    rowFieldNames[row] = "";
    rowFieldIndex[row] = 0;
  }
}

void CSearchForm::OnConnect(const CDBDescRec& db) {
  fieldEntries.clear();
  for (int r = 0; r < kRows; ++r) {
    SelectEntry(r, -1);
  }
  dropDownExtra =
      std::min(kDropDownStep * static_cast<int>(db.searchFields.size()), kDropDownMaxExtra);
  for (size_t f = 0; f < db.searchFields.size(); ++f) {
    if (db.searchFields[f].basicOnly == 0) {
      fieldEntries.push_back({db.searchFields[f].name, static_cast<int>(f)});
    }
  }
  for (int r = 0; r < kRows; ++r) {
    int entry = FindEntry(rowFieldNames[r], false);
    if (entry >= 0) {
      int field = fieldEntries[static_cast<size_t>(entry)].fieldIndex;
      if (!rowTerms[r].empty() || db.searchFields[static_cast<size_t>(field)].rangeType != 0) {
        rowFieldIndex[r] = field;
        continue;
      }
    }
    TakeDefaultField(r, db);
  }
  for (int i = 0; i < kLimitBoxes; ++i) {
    if (static_cast<size_t>(i) < db.limitFields.size()) {
      const CDBFieldDescRec& limit = db.limitFields[static_cast<size_t>(i)];
      limitEnabled[i] = limitShown[i] = true;
      // A box that now means something else starts unchecked.
      if (limitCaptions[i] != limit.name) {
        limitChecked[i] = 0;
      }
      limitCaptions[i] = limit.name;
      limitCommands[i] = limit.command;
    } else {
      limitEnabled[i] = limitShown[i] = false;
      limitCaptions[i].clear();
      limitChecked[i] = 0;
      limitCommands[i].clear();
    }
  }
  connectedDbName = db.name;
  WriteForm();
  RefreshAllRows();
  statusText = FormatText("Connected to %s Database", db.name.c_str());
  Changed();
}

void CSearchForm::OnDisconnect() {
  statusText = FormatText("Disconnected:  %s", connectedDbName.c_str());
  connectedDbName.clear();
  fieldEntries.clear();
  for (int r = 0; r < kRows; ++r) {
    SelectEntry(r, -1);
  }
  searchEnabled = false;
  for (int i = 0; i < kLimitBoxes; ++i) {
    limitEnabled[i] = limitShown[i] = false;
    limitCaptions[i].clear();
    limitChecked[i] = 0;
    limitCommands[i].clear();
  }
  WriteForm();
  ResetBrowseButton();
  Changed();
}

void CSearchForm::SetSearchEnabled(bool enabled) {
  searchEnabled = enabled;
  Changed();
}

void CSearchForm::SetViewEnabled(bool enabled) {
  viewEnabled = enabled;
  Changed();
}

// ---- rows ----

void CSearchForm::RefreshRow(int row) {
  if (row < 0 || row >= kRows) {
    return;
  }
  RowControls& c = rows[row];
  rowFieldNames[row] = c.listText;
  c.listShown = c.listEnabled = true;
  rowFieldIndex[row] =
      c.selection >= 0 ? fieldEntries[static_cast<size_t>(c.selection)].fieldIndex : 0;
  const CDBDescRec* db = Db();
  if (db == nullptr) {
    Changed();
    return;
  }
  if (row >= db->rowCount) {
    c.listShown = c.listEnabled = false;
    c.termShown = c.termEnabled = false;
    c.rangeShown = c.rangeEnabled = false;
    Changed();
    return;
  }
  const CDBFieldDescRec* field = RowField(row);
  bool rangeRow = field != nullptr && field->rangeType != RANGE_NONE;
  if (rangeRow) {
    bool numeric = field->rangeType == RANGE_NUMERIC;
    c.termShown = c.termEnabled = false;
    c.rangeShown = c.rangeEnabled = true;
    if (IsOpenFromCaption(fromLabels[row])) {
      fromLabels[row] = numeric ? "Lowest" : "Oldest";
    }
    if (IsOpenToCaption(toLabels[row])) {
      toLabels[row] = numeric ? "Highest" : "Newest";
    }
    rowTerms[row].clear();
  } else {
    // A row without a field has nothing to search in: its box takes no text.
    c.termShown = true;
    c.termEnabled = field != nullptr;
    c.rangeShown = c.rangeEnabled = false;
  }
  Changed();
  onFocus(row, rangeRow ? FocusTarget::FromButton : FocusTarget::TermBox);
}

void CSearchForm::RefreshAllRows() {
  for (int r = 1; r < kRows; ++r) {
    RefreshRow(r);
  }
  RefreshRow(0);
}

bool CSearchForm::SelectRowField(int row, int index) {
  if (row < 0 || row >= kRows || index < 0 || static_cast<size_t>(index) >= fieldEntries.size() ||
      !rows[row].listShown || !rows[row].listEnabled) {
    return false;
  }
  SelectEntry(row, index);
  RefreshRow(row);
  return true;
}

bool CSearchForm::SelectRowField(int row, const std::string& name) {
  return SelectRowField(row, FindEntry(name, true));
}

void CSearchForm::OnTermFocus(int row) {
  if (row < 0 || row >= kRows || connectedDbName.empty()) {
    return;
  }
  currentRow = row;
  UpdateBrowseButton(row);
  Changed();
}

bool CSearchForm::SetTerm(int row, const std::string& text) {
  if (row < 0 || row >= kRows || !rows[row].termShown || !rows[row].termEnabled) {
    return false;
  }
  OnTermFocus(row);
  rowTerms[row] = text;
  Changed();
  return true;
}

bool CSearchForm::SetLimit(int box, bool checked) {
  if (box < 0 || box >= kLimitBoxes || !limitShown[box] || !limitEnabled[box]) {
    return false;
  }
  limitChecked[box] = checked ? 1 : 0;
  Changed();
  return true;
}

bool CSearchForm::SelectRangeEnd(int row, const std::string& endWord) {
  const CDBFieldDescRec* field = RowField(row);
  if (field == nullptr || field->rangeType == RANGE_NONE || !rows[row].rangeShown ||
      !rows[row].rangeEnabled) {
    return false;
  }
  CDateSelectionDlg dialog(endWord, rows[row].listText.substr(0, kMaxDialogFieldNameLength),
                           field->rangeType, field->yearLow, field->yearHigh, currentYear());
  if (!ui.RunDialog(dialog)) {
    return false;
  }
  CDateSelectionDlg::Outcome outcome = dialog.Result();
  bool lowEnd = endWord == "Oldest";
  CRangeDesc& target = lowEnd ? rangeFrom[row] : rangeTo[row];
  target.SetEnd(endWord, outcome.year, outcome.day, outcome.monthName);
  // The member is the caption the user sees ("Lowest" for an open numeric end).
  (lowEnd ? fromLabels : toLabels)[row] = outcome.caption;
  Changed();
  return true;
}

void CSearchForm::ResetBrowseButton() {
  browseCaption = "<Browse List>";
  browseEnabled = false;
}

void CSearchForm::UpdateBrowseButton(int row) {
  const CDBFieldDescRec* field = RowField(row);
  if (field != nullptr && !field->listNames.empty()) {
    browseCaption = FormatText("Browse %s List", field->name.c_str());
    browseEnabled = true;
  } else {
    ResetBrowseButton();
  }
}

// ---- search ----

std::optional<CSearchForm::SearchRequest> CSearchForm::BuildFromMembers() const {
  const CDBDescRec* db = Db();
  if (db == nullptr) {
    return std::nullopt;
  }
  // Grown as needed: terms of any length go out whole.
  SearchRequest request;
  std::string limits;
  bool hasPlainTerm = false;
  int shownRows = std::min(db->rowCount, kRows);
  for (int r = 0; r < shownRows; ++r) {
    const CDBFieldDescRec* field = RowField(r);
    if (field == nullptr) {
      continue;
    }
    std::string text = field->rangeType != RANGE_NONE ? RangeText(r) : rowTerms[r];
    if (text.empty()) {
      continue;
    }
    if (field->isLimit != 0) {
      limits += text;
      limits += '\0';
      ++request.limitCount;
      continue;
    }
    request.body += static_cast<char>(field->rangeType);
    request.body += text;
    request.body += '\0';
    request.body += field->command;
    request.body += '\0';
    ++request.termCount;
    hasPlainTerm = hasPlainTerm || field->rangeType == RANGE_NONE;
  }
  request.body += limits;
  for (int i = 0; i < kLimitBoxes; ++i) {
    if (limitChecked[i] == 1) {
      request.body += limitCommands[i];
      request.body += '\0';
      ++request.limitCount;
    }
  }
  if (request.termCount == 0 || !hasPlainTerm) {
    return std::nullopt;
  }
  return request;
}

std::optional<CSearchForm::SearchRequest> CSearchForm::BuildSearchRequest() {
  if (!ReadForm()) {
    return std::nullopt;
  }
  return BuildFromMembers();
}

void CSearchForm::Search() {
  if (!CanSearch() || !ReadForm()) {
    return;
  }
  std::optional<SearchRequest> request = BuildFromMembers();
  if (!request) {
    onNothingToSearch();
    return;
  }
  link.SetBasicModeSearch(false);
  onBeforeSearch();
  searchEnabled = false;
  Changed();
  app.SetStatusMessage("Searching...");
  link.Busy().Show("Searching ...\n(This could take a while)\n");
  link.SendSearch(request->termCount, request->limitCount, request->body);
}

void CSearchForm::Clear(bool ctrlHeld) {
  if (ctrlHeld) {
    ClearAll();
    return;
  }
  limitChecked.fill(0);
  for (auto& term : rowTerms) {
    term.clear();
  }
  ResetBrowseButton();
  WriteForm();
  Changed();
}

void CSearchForm::ClearAll() {
  for (auto& term : rowTerms) {
    term.clear();
  }
  const CDBDescRec* db = Db();
  for (int r = 0; r < kRows; ++r) {
    if (db != nullptr) {
      TakeDefaultField(r, *db);
    } else {
      rowFieldNames[r].clear();
      rowFieldIndex[r] = 0;
    }
  }
  WriteForm();
  if (db != nullptr) {
    RefreshAllRows();
  }
  Changed();
}

// ---- saved queries ----

bool CSearchForm::CaptureQuery(const std::string& name) {
  if (!ReadForm()) {
    return false;
  }
  CQueryRecord record;
  record.name = name;
  for (int r = 0; r < kRows; ++r) {
    CQueryFields& fields = record.fields[static_cast<size_t>(r)];
    fields.fieldName = rowFieldNames[r];
    fields.term = rowTerms[r];
    fields.from.CopyFrom(rangeFrom[r]);
    fields.to.CopyFrom(rangeTo[r]);
  }
  const CDBDescRec* db = Db();
  for (int i = 0; i < kLimitBoxes; ++i) {
    record.limitChecked[static_cast<size_t>(i)] = limitChecked[i];
    bool hasLimitField = db != nullptr && db->limitFields.size() > static_cast<size_t>(i);
    record.limitLabels[static_cast<size_t>(i)] = hasLimitField
                                                     ? db->limitFields[static_cast<size_t>(i)].name
                                                     : FormatText("Limit %d", i + 1);
  }
  queryList.Store(std::move(record));
  return true;
}

bool CSearchForm::ApplyQuery(const std::string& name) {
  const CQueryRecord* found = queryList.Find(name);
  if (found == nullptr) {
    return false;
  }
  const CQueryRecord record = *found;
  for (int r = 0; r < kRows; ++r) {
    const CQueryFields& fields = record.fields[static_cast<size_t>(r)];
    rowFieldNames[r] = fields.fieldName;
    rowTerms[r] = fields.term;
    rangeFrom[r].CopyFrom(fields.from);
    rangeTo[r].CopyFrom(fields.to);
    fromLabels[r] = rangeFrom[r].FormatEnd();
    toLabels[r] = rangeTo[r].FormatEnd();
  }
  const CDBDescRec* db = Db();
  for (int i = 0; i < kLimitBoxes; ++i) {
    // Only a box that still means the same limit takes the saved state.
    if (db != nullptr && db->limitFields.size() > static_cast<size_t>(i) &&
        record.limitLabels[static_cast<size_t>(i)] ==
            db->limitFields[static_cast<size_t>(i)].name) {
      limitChecked[i] = record.limitChecked[static_cast<size_t>(i)] != 0 ? 1 : 0;
    }
  }
  queryList.currentQueryName = name;
  WriteForm();
  RefreshAllRows();
  Changed();
  return true;
}
