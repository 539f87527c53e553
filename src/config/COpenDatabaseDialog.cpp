#include "config/COpenDatabaseDialog.h"

#include <algorithm>
#include <utility>

#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
#include "app/TextCase.h"
#include "app/Ui.h"
#include "config/CConfiguration.h"
#include "config/CInfoTexts.h"

COpenDatabaseDialog::COpenDatabaseDialog(const CConfiguration& config, CInfoTexts& infoTexts,
                                         const CSettingsStore& settings, Ui& ui)
    : config(config), infoTexts(infoTexts), settings(settings), ui(ui) {}

void COpenDatabaseDialog::OnInit() {
  tree.clear();
  list.clear();
  selectedTreeNode = kNone;
  selectedListIndex = kNone;
  infoText.clear();
  if (!iconsLoaded) {
    return;
  }
  std::string defaultName =
      settings.ReadSettingText(kSectionDefaultDatabase, kEntryDefaultDatabase, kDefaultDatabase);
  // Any stored value but 0 means the list, as the radio buttons can only say
  // one or the other.
  int storedOrder =
      settings.ReadSettingInt(kSectionDefaultDatabase, kEntryDefaultOrder, kDefaultOrder);
  order = storedOrder == kHierarchy ? kHierarchy : kAlphabetic;
  BuildTree(defaultName);
  BuildList(defaultName);
  ShowOrder();
  UpdateInfoText();
}

void COpenDatabaseDialog::BuildTree(std::string& defaultName) {
  tree.push_back({"Databases Available", Icon::Submenu, kNone, kNone, {}, false});
  int parent = kRoot;
  int chosen = kNone;
  const auto& entries = config.menuEntries;
  for (size_t i = 0; i < entries.size(); ++i) {
    const DBMenuEntry& entry = entries[i];
    if (entry.kind == "endmenu") {
      // More "endmenu" lines than submenus must not lift items above the root.
      if (parent != kRoot) {
        parent = tree[parent].parent;
      }
      continue;
    }
    bool isDatabase = entry.kind == "db";
    if (!isDatabase && entry.kind != "menu") {
      continue;
    }
    int node = static_cast<int>(tree.size());
    TreeNode item;
    item.text = entry.text;
    item.icon = isDatabase ? Icon::Database : Icon::Submenu;
    item.entryIndex = static_cast<int>(i);
    item.parent = parent;
    tree.push_back(std::move(item));
    tree[parent].children.push_back(node);
    if (!isDatabase) {
      parent = node;
      continue;
    }
    // With no stored default the first database of the menu is offered. A
    // nameless item (its own file not read yet) cannot be opened, so it is
    // passed over rather than preselected.
    if (entry.text.empty()) {
      continue;
    }
    if (defaultName.empty()) {
      defaultName = entry.text;
    }
    if (chosen == kNone && entry.text == defaultName) {
      chosen = node;
    }
  }
  if (chosen != kNone) {
    selectedTreeNode = chosen;
    ExpandTo(chosen);
  }
}

void COpenDatabaseDialog::BuildList(const std::string& defaultName) {
  list = config.databaseNames;
  std::sort(list.begin(), list.end(), AlphaLess);
  for (size_t i = 0; i < list.size(); ++i) {
    if (BeginsWithIgnoringCase(list[i], defaultName)) {
      selectedListIndex = static_cast<int>(i);
      break;
    }
  }
}

void COpenDatabaseDialog::ShowOrder() {
  bool hierarchy = order == kHierarchy;
  treeVisible = treeEnabled = hierarchy;
  listVisible = listEnabled = !hierarchy;
}

void COpenDatabaseDialog::UpdateInfoText() {
  infoText.clear();
  if (order == kAlphabetic) {
    if (!ValidIndex(selectedListIndex)) {
      return;
    }
    selectedName = list[selectedListIndex];
  } else {
    // The root has no menu entry and so no text.
    if (!ValidNode(selectedTreeNode) || selectedTreeNode == kRoot) {
      return;
    }
    const TreeNode& node = tree[selectedTreeNode];
    if (node.icon == Icon::Submenu) {
      if (node.entryIndex >= 0 && node.entryIndex < config.MenuEntryCount()) {
        ShowText(config.menuEntries[node.entryIndex].tag);
      }
      return;
    }
    selectedName = node.text;
  }
  auto tag = config.databaseTags.find(selectedName);
  if (tag != config.databaseTags.end()) {
    ShowText(tag->second);
  }
}

void COpenDatabaseDialog::ShowText(const std::string& key) {
  const std::string* text = infoTexts.Find(key);
  if (text == nullptr) {
    return;
  }
  infoText = *text;
  infoTexts.MarkSeen(key);
}

void COpenDatabaseDialog::ExpandTo(int node) {
  for (int p = tree[node].parent; p != kNone; p = tree[p].parent) {
    tree[p].expanded = true;
  }
}

bool COpenDatabaseDialog::OnOk() {
  if (order == kAlphabetic) {
    if (ValidIndex(selectedListIndex)) {
      selectedName = list[selectedListIndex];
      return true;
    }
  } else if (IsDatabaseNode(selectedTreeNode)) {
    selectedName = tree[selectedTreeNode].text;
    return true;
  }
  ui.MessageBox("Select a database or press cancel", "No Database Selected", MsgButtons::Ok,
                MsgIcon::None);
  return false;
}

void COpenDatabaseDialog::SetAnswerText(const std::string& text) {
  if (order == kAlphabetic) {
    auto it = std::find(list.begin(), list.end(), text);
    SelectListIndex(it == list.end() ? kNone : static_cast<int>(it - list.begin()));
    return;
  }
  for (int node = 0; node < static_cast<int>(tree.size()); ++node) {
    if (IsDatabaseNode(node) && tree[node].text == text) {
      SelectTreeNode(node);
      return;
    }
  }
  SelectTreeNode(kNone);
}

void COpenDatabaseDialog::SelectTreeNode(int node) {
  selectedTreeNode = ValidNode(node) ? node : kNone;
  if (selectedTreeNode != kNone) {
    ExpandTo(selectedTreeNode);
  }
  UpdateInfoText();
}

void COpenDatabaseDialog::SelectListIndex(int index) {
  selectedListIndex = ValidIndex(index) ? index : kNone;
  UpdateInfoText();
}

void COpenDatabaseDialog::SetOrder(int newOrder) {
  order = newOrder == kHierarchy ? kHierarchy : kAlphabetic;
  ShowOrder();
  UpdateInfoText();
}

bool COpenDatabaseDialog::DoubleClickTreeNode(int node) {
  // A hidden, disabled tree takes no clicks.
  if (!treeEnabled || !ValidNode(node)) {
    return false;
  }
  SelectTreeNode(node);
  if (IsDatabaseNode(node)) {
    return OnOk();
  }
  tree[node].expanded = !tree[node].expanded;
  return false;
}

bool COpenDatabaseDialog::DoubleClickListIndex(int index) {
  if (!listEnabled || !ValidIndex(index)) {
    return false;
  }
  SelectListIndex(index);
  return OnOk();
}

bool COpenDatabaseDialog::IsDatabaseNode(int node) const {
  return ValidNode(node) && node != kRoot && tree[node].icon == Icon::Database;
}

std::vector<int> COpenDatabaseDialog::PathTo(int node) const {
  std::vector<int> path;
  if (!ValidNode(node)) {
    return path;
  }
  for (int p = node; p != kNone; p = tree[p].parent) {
    path.push_back(p);
  }
  std::reverse(path.begin(), path.end());
  return path;
}
