#include "search/CBasicMode.h"

#include "app/FormatText.h"
#include "app/Ui.h"
#include "config/CConfiguration.h"
#include "search/BrowseRequester.h"
#include "search/CListSelectionDlg.h"

CBasicMode::CBasicMode(CConfiguration& config, BrowseRequester& requester, EventLoop& loop, Ui& ui)
    : config(config), requester(requester), ui(ui), list(requester, loop, ui) {
  headerConnection = list.headerRead.Connect([this] {
    headingText = list.HeadingLabel();
    changed();
  });
}

const CDBDescRec* CBasicMode::Db() const {
  return config.currentDatabase;
}

void CBasicMode::OnConnect(const CDBDescRec& db) {
  Reset();
  if (db.basicMode == 0) {
    return;
  }
  basicStatus = FormatText("Connected to %s Database", db.name.c_str());
  FillButtons(db);
  modeLine = basicStatus;
  changed();
}

void CBasicMode::OnDisconnect() {
  Reset();
}

std::vector<CBasicMode::TabStep> CBasicMode::TabsAfterConnect(const CDBDescRec& db) {
  using Op = TabStep::Op;
  if (db.basicMode == 0) {
    // The criteria page comes first: the page in front can't be disabled.
    return {{Op::Enable, kCriteriaPage}, {Op::Select, kCriteriaPage}, {Op::Disable, kBasicPage}};
  }
  if (db.noAdvancedMode != 0) {
    return {{Op::Enable, kBasicPage}, {Op::Select, kBasicPage}, {Op::Disable, kCriteriaPage}};
  }
  return {{Op::Enable, kBasicPage}, {Op::Enable, kCriteriaPage}};
}

void CBasicMode::FillButtons(const CDBDescRec& db) {
  int placed = 0;
  for (std::size_t f = 0; f < db.searchFields.size() && placed < kButtons; ++f) {
    const CDBFieldDescRec& field = db.searchFields[f];
    if (field.basicField == 0) {
      continue;
    }
    auto i = static_cast<std::size_t>(placed++);
    buttonCaptions[i] = field.name;
    buttonEnabled[i] = true;
    basicFieldIndex[i] = static_cast<int>(f);
    basicFieldNames[i] = field.name;
  }
  for (auto i = static_cast<std::size_t>(placed); i < kButtons; ++i) {
    buttonCaptions[i] = "<disabled>";
    buttonEnabled[i] = false;
    basicFieldIndex[i] = -1;
    basicFieldNames[i].clear();
  }
}

void CBasicMode::ShowListControls(bool shown) {
  listShown = listEnabled = shown;
  textShown = textEnabled = shown;
  headingShown = shown;
}

void CBasicMode::Reset() {
  list.Reset();
  ShowListControls(false);
  basicText.clear();
  headingText.clear();
  searchEnabled = false;
  modeLine.clear();
  changed();
}

const CDBFieldDescRec* CBasicMode::CurrentField() const {
  const CDBDescRec* db = Db();
  if (db == nullptr || currentButton < 0 || currentButton >= kButtons) {
    return nullptr;
  }
  int index = basicFieldIndex[static_cast<std::size_t>(currentButton)];
  if (index < 0 || static_cast<std::size_t>(index) >= db->searchFields.size()) {
    return nullptr;
  }
  return &db->searchFields[static_cast<std::size_t>(index)];
}

void CBasicMode::PressButton(int button) {
  if (button < 0 || button >= kButtons || !buttonEnabled[static_cast<std::size_t>(button)]) {
    return;
  }
  currentButton = button;
  const CDBFieldDescRec* field = CurrentField();
  if (field == nullptr) {
    return;
  }
  list.Reset();
  basicText.clear();
  searchEnabled = true;
  requester.SetBasicModeSearch(true);
  const std::string& caption = buttonCaptions[static_cast<std::size_t>(button)];
  if (field->listNames.empty()) {
    ShowListControls(false);
    textShown = textEnabled = true;
    basicListMode = 0;
    modeLine = basicStatus + ",  " + caption + " search";
    changed();
    focusText();
    return;
  }
  int index = 0;
  if (field->listNames.size() > 1) {
    CListSelectionDlg selection(field->listNames);
    if (!ui.RunDialog(selection)) {
      ShowListControls(false);
      searchEnabled = false;
      modeLine = basicStatus;
      changed();
      return;
    }
    index = selection.Choice();
  }
  // Copied: the field record may go while the browse waits.
  std::string listName = field->listNames[static_cast<std::size_t>(index)];
  basicListMode = 1;
  ShowListControls(true);
  headingText.clear();
  modeLine = basicStatus + ",  " + listName + " browse";
  changed();
  focusText();
  list.Open(listName);
}

void CBasicMode::TypeText(const std::string& text) {
  if (!textEnabled) {
    return;
  }
  basicText = text;
  if (basicListMode != 0) {
    list.TypeText(text);
  }
  changed();
}

void CBasicMode::PressKey(CBrowseList::Key key) {
  if (basicListMode != 0 && listEnabled) {
    list.PressKey(key);
  }
}

void CBasicMode::Click(int entry, bool ctrl) {
  if (basicListMode != 0 && listEnabled) {
    list.Click(entry, ctrl);
  }
}

bool CBasicMode::DoubleClick(int entry) {
  if (basicListMode == 0 || !listEnabled) {
    return false;
  }
  list.DoubleClick(entry);
  return Search();
}

std::string CBasicMode::SearchText() const {
  // Picked headings go as the driver listed them, without added quotes.
  return basicListMode != 0 ? list.ResultText(false) : basicText;
}

bool CBasicMode::Search() {
  if (!searchEnabled) {
    return false;
  }
  const CDBFieldDescRec* field = CurrentField();
  std::string text = SearchText();
  if (field == nullptr || text.empty()) {
    ui.MessageBox("No search argument!", "Search Error", MsgButtons::Ok, MsgIcon::Error);
    return false;
  }
  SearchRequest request;
  request.text = text;
  request.fieldName = basicFieldNames[static_cast<std::size_t>(currentButton)];
  request.body = text;
  request.body += '\0';
  request.body += field->command;
  request.body += '\0';
  searchRequested(request);
  return true;
}
