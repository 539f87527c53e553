#pragma once

#include <string>
#include <vector>

#include "app/CDialogModel.h"

class CQueryList;
class Ui;

// "Tamsel Queries": a name box over a list of the saved query names. In
// naming mode OK wants a new name; in choosing mode it wants one of the
// list's queries, typed or selected.
class CQueryNameDlg : public CDialogModel {
 public:
  enum class Mode { Naming, Choosing };

  static constexpr int kNone = -1;
  // The list box and the dialog grow by this much per name beyond the
  // first, up to kMaxExtraHeight pixels.
  static constexpr int kHeightPerName = 11;
  static constexpr int kMaxExtraHeight = 33;

  CQueryNameDlg(Mode mode, const CQueryList& queries, Ui& ui);

  const char* Kind() const override { return "query-name"; }
  std::string Caption() const override { return "Tamsel Queries"; }
  void OnInit() override;
  bool OnOk() override;
  void SetAnswerText(const std::string& text) { TypeName(text); }

  // Typing in the name box: selects the first entry that begins with the
  // text, case ignored (the selection stays when none does).
  void TypeName(const std::string& text);
  // A click in the list; kNone clears the selection.
  void SelectIndex(int index);
  // Selects the entry and acts as OK; true when the dialog may close.
  bool DoubleClickIndex(int index);

  Mode DialogMode() const { return mode; }
  // Extra height of the list box and the dialog, in pixels.
  int ExtraHeight() const;
  // What OK chose: the new name (naming) or the query's name as stored
  // (choosing).
  const std::string& ChosenName() const { return chosenName; }

  // What the view shows.
  std::string nameText;
  // The names, sorted alphabetically with case ignored.
  std::vector<std::string> list;
  int selectedIndex = kNone;
  bool listShown = false;
  bool listEnabled = false;

 private:
  int FindEntry(const std::string& name) const;
  bool Refuse(const char* text);

  Mode mode;
  const CQueryList& queries;
  Ui& ui;
  std::string chosenName;
};
