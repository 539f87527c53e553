#include "FakeUi.h"

#include "app/CDialogModel.h"

MsgAnswer FakeUi::MessageBox(const std::string& text, const std::string& caption,
                             MsgButtons buttons, MsgIcon icon) {
  messages.push_back({text, caption, buttons, icon});
  if (buttons == MsgButtons::Ok) {
    return MsgAnswer::Ok;
  }
  if (answers.empty()) {
    return MsgAnswer::Cancel;
  }
  MsgAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

bool FakeUi::RunDialog(CDialogModel& dialog) {
  dialogKinds.push_back(dialog.Kind());
  dialog.OnInit();
  // A refused OK leaves the dialog open for the next scripted try.
  while (!dialogScripts.empty()) {
    auto script = dialogScripts.front();
    dialogScripts.pop_front();
    if (!script(dialog)) {
      dialog.OnCancel();
      return false;
    }
    if (dialog.OnOk()) {
      return true;
    }
  }
  dialog.OnCancel();
  return false;
}

std::optional<std::string> FakeUi::ChooseFile(const FileChooserRequest& request) {
  fileRequests.push_back(request);
  if (files.empty()) {
    return std::nullopt;
  }
  auto path = files.front();
  files.pop_front();
  return path;
}

std::vector<std::string> FakeUi::Texts() const {
  std::vector<std::string> texts;
  for (const auto& m : messages) {
    texts.push_back(m.text);
  }
  return texts;
}
