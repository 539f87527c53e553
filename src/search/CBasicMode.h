#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/Signal.h"
#include "search/CBrowseList.h"

class CConfiguration;
class CDBDescRec;
class CDBFieldDescRec;

// The basic mode page: up to five field buttons; a pressed field is searched
// by a typed text, or, when it has browse lists, by headings picked from the
// page's own windowed list. The database is the configuration's current
// one, read at each use.
class CBasicMode {
 public:
  static constexpr int kButtons = 5;
  // Pages of the document's tab view this page decides about.
  static constexpr int kCriteriaPage = 0;
  static constexpr int kBasicPage = 1;

  // One step of offering the tabs; the document applies them in order
  // (a tab in front can't be disabled, so the order matters).
  struct TabStep {
    enum class Op { Enable, Disable, Select };
    Op op;
    int page;
    bool operator==(const TabStep&) const = default;
  };

  // What Search sends: one term record without a range-type byte.
  struct SearchRequest {
    std::string text;       // the search text, for the result header
    std::string fieldName;  // the button's caption
    std::string body;       // text, NUL, field command, NUL
    int termCount = 1;
    int limitCount = 0;
  };

  CBasicMode(CConfiguration& config, BrowseRequester& requester, EventLoop& loop, Ui& ui);

  // Set-up after the criteria form's, when a database is connected.
  void OnConnect(const CDBDescRec& db);
  void OnDisconnect();
  // Tabs after a connect, from `basic_mode` and `no_adv_mode`.
  static std::vector<TabStep> TabsAfterConnect(const CDBDescRec& db);

  // Empties and hides the list, the text box and the heading label,
  // disables Search and empties the mode line.
  void Reset();

  void PressButton(int button);
  // Typing in the text box; in list mode the list jumps once typing pauses.
  void TypeText(const std::string& text);
  // Page Up/Down, Home, End, Up and Down in the text box scroll the list.
  void PressKey(CBrowseList::Key key);
  void Click(int entry, bool ctrl);
  // Picks the entry, then searches. True when a search went out.
  bool DoubleClick(int entry);
  // True when a search request went out (through searchRequested).
  bool Search();

  // The field of the last pressed button, or none.
  const CDBFieldDescRec* CurrentField() const;
  // The search text as Search would take it.
  std::string SearchText() const;

  CBrowseList& List() { return list; }
  const CBrowseList& List() const { return list; }

  // Page members.
  std::array<int, kButtons> basicFieldIndex{-1, -1, -1, -1, -1};
  std::array<std::string, kButtons> basicFieldNames;
  int currentButton = 0;
  std::string basicText;
  int basicListMode = 0;
  std::string basicStatus;

  // The controls.
  std::array<std::string, kButtons> buttonCaptions;
  std::array<bool, kButtons> buttonEnabled{};
  bool textShown = false;
  bool textEnabled = false;
  bool searchEnabled = false;
  bool listShown = false;
  bool listEnabled = false;
  bool headingShown = false;
  std::string headingText;
  std::string modeLine = "Unconnected";

  Signal<> changed;
  // The text box takes the keyboard focus.
  Signal<> focusText;
  // Search has a request: the document builds the basic result header,
  // sends it, empties the result pages and shows the busy window.
  Signal<const SearchRequest&> searchRequested;

 private:
  const CDBDescRec* Db() const;
  void FillButtons(const CDBDescRec& db);
  void ShowListControls(bool shown);

  CConfiguration& config;
  BrowseRequester& requester;
  Ui& ui;
  CBrowseList list;
  Connection headerConnection;
};
