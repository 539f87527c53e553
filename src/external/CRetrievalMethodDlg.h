#pragma once

#include <string>
#include <vector>

#include "app/CDialogModel.h"
#include "config/CDBExtRec.h"

// "Retrieval Method": Retrieve Full asks whether the selected records are to
// be shown ("Abstract") or handed to one of the database's extension
// programs.
class CRetrievalMethodDlg : public CDialogModel {
 public:
  static constexpr const char* kCaption = "Retrieval Method";
  static constexpr const char* kPromptText = "Retrieve:";
  static constexpr const char* kAbstractText = "Abstract";
  // The dialog has room for this many program buttons besides "Abstract".
  static constexpr int kMaxPrograms = 3;

  explicit CRetrievalMethodDlg(const std::vector<CDBExtRec>& extensions);

  const char* Kind() const override { return "retrieval-method"; }
  std::string Caption() const override { return kCaption; }

  // "Abstract" is preselected each time the dialog opens.
  void OnInit() override { choice = 0; }
  // The CLI's `answer text LABEL` picks the button of that text; an unknown
  // text leaves the choice alone.
  void SetAnswerText(const std::string& text);

  // The radio buttons' texts: "Abstract", then the program labels.
  const std::vector<std::string>& Choices() const { return choices; }
  // 0 is "Abstract".
  int choice = 0;

  bool AbstractChosen() const { return choice <= 0; }
  // The chosen program's label, "" for "Abstract".
  std::string ChosenLabel() const;

 private:
  std::vector<std::string> choices;
};
