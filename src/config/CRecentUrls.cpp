#include "config/CRecentUrls.h"

#include <algorithm>
#include <vector>

#include "app/CSettingsStore.h"
#include "app/FormatText.h"
#include "app/SettingsNames.h"
#include "app/Ui.h"
#include "config/CUrlDialog.h"

std::string AskConfigurationUrl(Ui& ui, CSettingsStore& settings, bool askForUrl,
                                const std::string& proposed) {
  // The proposal takes the default's place at the head of the list.
  std::vector<std::string> list{proposed};
  for (int i = 1; i <= kRecentUrlCount; ++i) {
    std::string recent =
        settings.ReadSettingText(kSectionDefaultUrl, FormatText(kEntryRecentUrlFormat, i), "");
    if (recent.empty()) {
      break;
    }
    list.push_back(recent);
  }

  CUrlDialog dialog("Open Remote Configuration", "Enter configuration url:");
  dialog.list = list;
  if (!ui.RunDialog(dialog)) {
    return "";
  }
  std::string answer = dialog.text;

  std::string stored =
      settings.ReadSettingText(kSectionDefaultUrl, kEntryDefaultUrl, kDefaultUrlText);
  if (answer != stored) {
    std::erase(list, answer);
    size_t position = askForUrl ? 1 : 0;
    if (list.size() < position) {
      list.resize(position);
    }
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(position), answer);
  }
  // Entries past the sixth fall off here.
  settings.WriteUrlList(list);
  return answer;
}
