#include "search/CQueryNameDlg.h"

#include <algorithm>

#include "app/TextCase.h"
#include "app/Ui.h"
#include "search/CQueryList.h"

CQueryNameDlg::CQueryNameDlg(Mode mode, const CQueryList& queries, Ui& ui)
    : mode(mode), queries(queries), ui(ui) {}

void CQueryNameDlg::OnInit() {
  list = queries.queryNames;
  std::sort(list.begin(), list.end(), AlphaLess);
  selectedIndex = kNone;
  nameText.clear();
  listShown = listEnabled = !list.empty();
  chosenName.clear();
}

int CQueryNameDlg::ExtraHeight() const {
  if (list.size() < 2) {
    return 0;
  }
  std::size_t beyondFirst = list.size() - 1;
  return beyondFirst >= static_cast<std::size_t>(kMaxExtraHeight / kHeightPerName)
             ? kMaxExtraHeight
             : static_cast<int>(beyondFirst) * kHeightPerName;
}

void CQueryNameDlg::TypeName(const std::string& text) {
  nameText = text;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (BeginsWithIgnoringCase(list[i], text)) {
      selectedIndex = static_cast<int>(i);
      return;
    }
  }
}

void CQueryNameDlg::SelectIndex(int index) {
  selectedIndex = index >= 0 && index < static_cast<int>(list.size()) ? index : kNone;
}

bool CQueryNameDlg::DoubleClickIndex(int index) {
  SelectIndex(index);
  return OnOk();
}

int CQueryNameDlg::FindEntry(const std::string& name) const {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (EqualIgnoringCase(list[i], name)) {
      return static_cast<int>(i);
    }
  }
  return kNone;
}

bool CQueryNameDlg::Refuse(const char* text) {
  ui.MessageBox(text, " ", MsgButtons::Ok, MsgIcon::None);
  return false;
}

bool CQueryNameDlg::OnOk() {
  int found = FindEntry(nameText);
  if (mode == Mode::Naming) {
    if (nameText.empty()) {
      return Refuse("No query name was entered\nPlease enter a name or press 'Cancel'");
    }
    if (found != kNone) {
      // clang-format off
      return Refuse("A query of that name already exists.\n\nUse a new name, or delete the \nold query before reusing the name.");
      // clang-format on
    }
    chosenName = nameText;
    return true;
  }
  if (found == kNone) {
    if (selectedIndex == kNone) {
      return Refuse("No query was selected.\nPlease select a query.");
    }
    found = selectedIndex;
    nameText = list[static_cast<std::size_t>(found)];
  }
  chosenName = list[static_cast<std::size_t>(found)];
  return true;
}
