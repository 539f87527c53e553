#include "config/CRecentUrls.h"

#include <algorithm>
#include <vector>

#include "app/CSettingsStore.h"
#include "app/FormatText.h"
#include "app/SettingsNames.h"
#include "app/Ui.h"
#include "config/CUrlDialog.h"

namespace {

// The proposal takes the default's place at the head of the list.
std::vector<std::string> OfferedList(CSettingsStore& settings, const std::string& proposed) {
  std::vector<std::string> list{proposed};
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

}  // namespace

std::string WithoutUserInfo(const std::string& url) {
  size_t scheme = url.find("://");
  if (scheme == std::string::npos) {
    return url;
  }
  size_t authority = scheme + 3;
  size_t authorityEnd = url.find_first_of("/?#", authority);
  if (authorityEnd == std::string::npos) {
    authorityEnd = url.size();
  }
  // The last "@" ends the user information: a password may hold one too.
  size_t at = url.rfind('@', authorityEnd - 1);
  if (at == std::string::npos || at < authority || authorityEnd == authority) {
    return url;
  }
  return url.substr(0, authority) + url.substr(at + 1);
}

std::string AskConfigurationUrl(Ui& ui, CSettingsStore& settings, const std::string& proposed) {
  CUrlDialog dialog("Open Remote Configuration", "Enter configuration url:");
  dialog.list = OfferedList(settings, proposed);
  if (!ui.RunDialog(dialog)) {
    return "";
  }
  return dialog.text;
}

bool RememberConfigurationUrl(CSettingsStore& settings, bool askForUrl, const std::string& proposed,
                              const std::string& url) {
  std::vector<std::string> list = OfferedList(settings, proposed);
  // Credentials stored before (or in the proposal) go too.
  for (std::string& entry : list) {
    entry = WithoutUserInfo(entry);
  }
  std::string answer = WithoutUserInfo(url);
  std::string stored = WithoutUserInfo(
      settings.ReadSettingText(kSectionDefaultUrl, kEntryDefaultUrl, kDefaultUrlText));
  if (answer != stored) {
    std::erase(list, answer);
    size_t position = askForUrl ? 1 : 0;
    if (list.size() < position) {
      list.resize(position);
    }
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(position), answer);
  }
  // Entries past the sixth fall off here.
  return settings.WriteUrlList(list);
}
