#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Signal.h"
#include "search/CRangeDesc.h"

class CAppState;
class CConfiguration;
class CDBDescRec;
class CDBFieldDescRec;
class CDriverLink;
class CQueryList;
class Ui;

// The search criteria page: the live query of the search view and the state
// of every control on it (six rows of field list with a term box or From/To
// buttons, four limit boxes, the browse and search buttons, the status line),
// with the operations the page's controls and commands run. The database is
// always the configuration's current one, read at each use.
class CSearchForm {
 public:
  static constexpr int kRows = 6;
  static constexpr int kLimitBoxes = 4;
  static constexpr size_t kMaxFieldNameLength = 30;
  static constexpr size_t kMaxDialogFieldNameLength = 39;
  static constexpr int kHelpContext = 131173;
  // Layout rules the view applies.
  static constexpr int kDropDownStep = 14;
  static constexpr int kDropDownMaxExtra = 112;
  static constexpr int kLimitBoxLeftOffset = -3;
  static constexpr int kLimitBoxTopGap = 2;
  static constexpr int kLimitBoxSpacing = 2;
  static constexpr int kTermBoxRightMargin = 20;

  // One entry of the field lists: a display name and its search field.
  struct FieldEntry {
    std::string name;
    int fieldIndex = 0;
  };

  // The controls of one row, as the user sees them. The button captions are
  // `fromLabels`/`toLabels`, the term box text `rowTerms`.
  struct RowControls {
    // Entry of `fieldEntries` chosen in the list, -1 for none.
    int selection = -1;
    std::string listText = "Keyword";
    bool listShown = true;
    bool listEnabled = true;
    bool termShown = true;
    bool termEnabled = true;
    // Both buttons with their "From" and "To" captions.
    bool rangeShown = false;
    bool rangeEnabled = false;
  };

  struct SearchRequest {
    std::string body;
    int termCount = 0;
    int limitCount = 0;
  };

  enum class FocusTarget { TermBox, FromButton };

  CSearchForm(CConfiguration& config, CDriverLink& link, CAppState& app, Ui& ui,
              CQueryList& queryList);

  // Set-up once a database is connecting, and the reset after a disconnect.
  void OnConnect(const CDBDescRec& db);
  void OnDisconnect();
  // What the driver link allows.
  void SetSearchEnabled(bool enabled);
  void SetViewEnabled(bool enabled);

  // Row events.
  void RefreshRow(int row);
  // Chooses entry `index` of the row's field list. False when there is none
  // or the list is not available.
  bool SelectRowField(int row, int index);
  // Chooses the field as typing its name into the list would: the exact name,
  // else the first whose display name begins with `name`, case ignored.
  bool SelectRowField(int row, const std::string& name);
  void OnTermFocus(int row);
  // Typing in the row's term box (which takes the focus). False when the box
  // is not available.
  bool SetTerm(int row, const std::string& text);
  bool SetLimit(int box, bool checked);
  // The From (end word "Oldest") or To ("Newest") button: runs the Date
  // Selection dialog; true when it closed with OK.
  bool SelectRangeEnd(int row, const std::string& endWord);

  // The criteria as a search request body; none when there is nothing to
  // search (no database, no filled-in plain text row) or the form could not
  // be read.
  std::optional<SearchRequest> BuildSearchRequest();
  bool CanSearch() const { return searchEnabled && viewEnabled; }
  void Search();
  // "&Clear"; with Ctrl held it is Clear All.
  void Clear(bool ctrlHeld = false);
  void ClearAll();

  // Saved queries. False when the form could not be read / the name is unknown.
  bool CaptureQuery(const std::string& name);
  bool ApplyQuery(const std::string& name);

  // The search field chosen in the row, or none.
  const CDBFieldDescRec* RowField(int row) const;
  // "%d/%d/%d %d/%d/%d" of the row's ends; empty when neither is set.
  std::string RangeText(int row) const;
  // Extra height of the field lists' drop-down part.
  int DropDownExtra() const { return dropDownExtra; }
  // A limit box is its caption's width, a little more for short captions.
  static int LimitBoxWidth(const std::string& caption, int textWidth);

  // The live query.
  std::array<std::string, kRows> rowFieldNames;
  std::array<int, kRows> rowFieldIndex{};
  std::array<std::string, kRows> rowTerms;
  std::array<CRangeDesc, kRows> rangeFrom;
  std::array<CRangeDesc, kRows> rangeTo;
  std::array<std::string, kRows> fromLabels;
  std::array<std::string, kRows> toLabels;
  std::array<std::string, kLimitBoxes> limitCommands;
  std::array<int, kLimitBoxes> limitChecked{};
  int currentRow = 0;
  std::string connectedDbName;

  // The controls.
  std::vector<FieldEntry> fieldEntries;
  std::array<RowControls, kRows> rows;
  std::array<std::string, kLimitBoxes> limitCaptions;
  std::array<bool, kLimitBoxes> limitShown{};
  std::array<bool, kLimitBoxes> limitEnabled{};
  std::string browseCaption = "<Browse List>";
  bool browseEnabled = false;
  bool searchEnabled = false;
  bool viewEnabled = true;
  std::string statusText = "No Databases are open";

  // Set by the document. Views redraw on onChanged; onFocus moves the focus.
  Signal<> onChanged;
  Signal<int, FocusTarget> onFocus;
  // Before a search is sent: empty the summary and full record pages, reset
  // basic mode, drop cached summaries, build the result headers.
  Signal<> onBeforeSearch;
  // A search with nothing to send brings the summary page to the front.
  Signal<> onNothingToSearch;
  // The year an unchosen "Newest" end defaults to; the local year unless set.
  std::function<int()> currentYear;

 private:
  const CDBDescRec* Db() const;
  // Controls into members, with the field-name limit; false after its message.
  bool ReadForm();
  // Members into controls: each list shows the named field, or keeps its own
  // when no entry matches.
  void WriteForm();
  std::optional<SearchRequest> BuildFromMembers() const;
  int FindEntry(const std::string& name, bool prefixAllowed) const;
  void SelectEntry(int row, int entry);
  // The database's default field of the row, or "" and index 0.
  void TakeDefaultField(int row, const CDBDescRec& db);
  void RefreshAllRows();
  void ResetBrowseButton();
  void UpdateBrowseButton(int row);
  void Changed();

  CConfiguration& config;
  CDriverLink& link;
  CAppState& app;
  Ui& ui;
  CQueryList& queryList;
  int dropDownExtra = 0;
};
