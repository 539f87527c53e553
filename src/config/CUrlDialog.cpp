#include "config/CUrlDialog.h"

#include <utility>

CUrlDialog::CUrlDialog(std::string caption, std::string prompt)
    : caption(std::move(caption)), prompt(std::move(prompt)) {}

void CUrlDialog::OnInit() {
  if (text.empty() && !list.empty()) {
    text = list.front();
  }
}
