#include "config/CDefaultUrlCommand.h"

#include <algorithm>

#include "app/CSettingsStore.h"
#include "app/FormatText.h"
#include "app/SettingsNames.h"
#include "app/Ui.h"
#include "config/CConfigFetcher.h"
#include "config/CUrlDialog.h"

CDefaultUrlCommand::CDefaultUrlCommand(Ui& ui, CSettingsStore& settings)
    : ui(ui), settings(settings) {}

std::vector<std::string> CDefaultUrlCommand::ProposedList() const {
  std::string stored =
      settings.ReadSettingText(kSectionDefaultUrl, kEntryDefaultUrl, kDefaultUrlText);
  std::vector<std::string> list{stored.empty() || stored == " " ? kBuiltinDefaultConfigUrl
                                                                : stored};
  for (int i = 1; i <= kRecentUrlCount; ++i) {
    std::string recent =
        settings.ReadSettingText(kSectionDefaultUrl, FormatText(kEntryRecentUrlFormat, i), "");
    if (recent.empty()) {
      break;
    }
    list.push_back(recent);
  }
  return list;
}

std::vector<std::string> CDefaultUrlCommand::ListAfterChoice(std::vector<std::string> list,
                                                             const std::string& answer) {
  std::erase(list, answer);
  list.insert(list.begin(), answer);
  return list;
}

bool CDefaultUrlCommand::Run() {
  CUrlDialog dialog(kCaption, kPromptText);
  dialog.list = ProposedList();
  if (!ui.RunDialog(dialog)) {
    return false;
  }
  // Entries past the sixth fall off in the store.
  settings.WriteUrlList(ListAfterChoice(dialog.list, dialog.text));
  return true;
}
