#include "app/Ui.h"

#include "app/AppNames.h"

void Ui::Message(const std::string& text) {
  MessageBox(text, kAppTitle, MsgButtons::Ok, MsgIcon::None);
}

void Ui::Message(const std::string& text, const std::string& caption) {
  MessageBox(text, caption, MsgButtons::Ok, MsgIcon::None);
}
