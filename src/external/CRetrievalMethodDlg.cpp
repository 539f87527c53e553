#include "external/CRetrievalMethodDlg.h"

CRetrievalMethodDlg::CRetrievalMethodDlg(const std::vector<CDBExtRec>& extensions) {
  choices.push_back(kAbstractText);
  for (const CDBExtRec& extension : extensions) {
    if (static_cast<int>(choices.size()) > kMaxPrograms)
      break;
    choices.push_back(extension.label);
  }
}

void CRetrievalMethodDlg::SetAnswerText(const std::string& text) {
  for (size_t i = 0; i < choices.size(); ++i) {
    if (choices[i] == text) {
      choice = static_cast<int>(i);
      return;
    }
  }
}

std::string CRetrievalMethodDlg::ChosenLabel() const {
  if (choice <= 0 || choice >= static_cast<int>(choices.size())) {
    return "";
  }
  return choices[static_cast<size_t>(choice)];
}
