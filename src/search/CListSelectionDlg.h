#pragma once

#include <string>
#include <vector>

#include "app/CDialogModel.h"

// "List Selection": one radio button per browse list of a field, the first
// chosen; OK gives the chosen list.
class CListSelectionDlg : public CDialogModel {
 public:
  static constexpr int kMaxButtons = 20;

  explicit CListSelectionDlg(std::vector<std::string> listNames);

  const char* Kind() const override { return "list-selection"; }
  std::string Caption() const override { return "List Selection"; }
  void OnInit() override { choice = 0; }
  // The CLI's `answer text NAME`: the list of that name (case ignored when
  // no name matches exactly). An unknown name changes nothing.
  void SetAnswerText(const std::string& text);

  // The radio buttons' captions.
  const std::vector<std::string>& Buttons() const { return buttons; }
  void SetChoice(int index);
  int Choice() const { return choice; }
  // The dialog's height: room for at least four buttons.
  int DialogHeight(int buttonHeight) const;

 private:
  std::vector<std::string> buttons;
  int choice = 0;
};
