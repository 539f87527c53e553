#pragma once

#include <string>
#include <vector>

#include "app/CDialogModel.h"

class CConfiguration;
class CInfoTexts;
class CSettingsStore;
class Ui;

// The "Open Database" dialog: the database menu as a tree, all names as an
// alphabetic list, the selected entry's information text, the order switch
// and "Save as Default". Views re-read the public state after each call.
//
// Labels and names are kept whole, whatever their length: a name cut short
// would no longer find its database.
class COpenDatabaseDialog : public CDialogModel {
 public:
  static constexpr int kHierarchy = 0;
  static constexpr int kAlphabetic = 1;
  static constexpr int kRoot = 0;
  static constexpr int kNone = -1;

  enum class Icon { Submenu, Database };

  struct TreeNode {
    std::string text;
    Icon icon = Icon::Submenu;
    // Position of the node's menu entry in menuEntries; kNone for the root.
    int entryIndex = kNone;
    int parent = kNone;
    std::vector<int> children;
    bool expanded = false;
  };

  COpenDatabaseDialog(const CConfiguration& config, CInfoTexts& infoTexts,
                      const CSettingsStore& settings, Ui& ui);

  const char* Kind() const override { return "open-database"; }
  std::string Caption() const override { return "Open Database"; }
  void OnInit() override;
  bool OnOk() override;
  // Selects the database of that name in the view of the current order; a
  // name found nowhere leaves nothing selected, so OK is refused.
  void SetAnswerText(const std::string& text);

  // The view reports whether its three tree icons could be loaded; without
  // them OnInit leaves the tree and the list empty.
  void IconsLoaded(bool loaded) { iconsLoaded = loaded; }

  // Selection changes of the tree (kNone clears) and the list (kNone clears).
  void SelectTreeNode(int node);
  void SelectListIndex(int index);
  // The order radio buttons: kHierarchy or kAlphabetic.
  void SetOrder(int newOrder);
  // True when the double click closes the dialog with OK (OnOk has been asked).
  bool DoubleClickTreeNode(int node);
  bool DoubleClickListIndex(int index);

  bool IsDatabaseNode(int node) const;
  // The nodes from the root down to `node`, both included.
  std::vector<int> PathTo(int node) const;

  // Dialog data.
  int order = kHierarchy;
  bool saveAsDefault = false;
  std::string selectedName;

  // What the view shows.
  std::vector<TreeNode> tree;  // tree[kRoot] is "Databases Available" once initialised
  std::vector<std::string> list;
  int selectedTreeNode = kNone;
  int selectedListIndex = kNone;
  std::string infoText;
  bool treeVisible = true;
  bool treeEnabled = true;
  bool listVisible = false;
  bool listEnabled = false;

 private:
  void BuildTree(std::string& defaultName);
  void BuildList(const std::string& defaultName);
  void ShowOrder();
  void UpdateInfoText();
  void ShowText(const std::string& key);
  void ExpandTo(int node);
  bool ValidNode(int node) const { return node >= 0 && node < static_cast<int>(tree.size()); }
  bool ValidIndex(int index) const { return index >= 0 && index < static_cast<int>(list.size()); }

  const CConfiguration& config;
  CInfoTexts& infoTexts;
  const CSettingsStore& settings;
  Ui& ui;
  bool iconsLoaded = true;
};
