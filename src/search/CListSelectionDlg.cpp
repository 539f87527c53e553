#include "search/CListSelectionDlg.h"

#include <strings.h>

CListSelectionDlg::CListSelectionDlg(std::vector<std::string> listNames)
    : buttons(std::move(listNames)) {
  if (buttons.size() > static_cast<std::size_t>(kMaxButtons)) {
    buttons.resize(static_cast<std::size_t>(kMaxButtons));
  }
}

void CListSelectionDlg::SetAnswerText(const std::string& text) {
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (buttons[i] == text) {
      choice = static_cast<int>(i);
      return;
    }
  }
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (strcasecmp(buttons[i].c_str(), text.c_str()) == 0) {
      choice = static_cast<int>(i);
      return;
    }
  }
}

void CListSelectionDlg::SetChoice(int index) {
  if (index >= 0 && index < static_cast<int>(buttons.size())) {
    choice = index;
  }
}

int CListSelectionDlg::DialogHeight(int buttonHeight) const {
  int count = static_cast<int>(buttons.size());
  if (count < 5) {
    return 4 * buttonHeight + 40;
  }
  return count * (buttonHeight + 10);
}
