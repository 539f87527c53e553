#include "app/CFontDlg.h"

#include <cstdlib>

#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
#include "app/Ui.h"

void CFontDlg::SetAnswerText(const std::string& text) {
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) {
    font.faceName.clear();
    return;
  }
  std::size_t blank = text.find(' ', start);
  std::string first =
      text.substr(start, blank == std::string::npos ? std::string::npos : blank - start);
  char* end = nullptr;
  long size = std::strtol(first.c_str(), &end, 10);
  bool isSize = !first.empty() && *end == '\0' && size > -1000 && size < 1000 && size != 0;
  if (!isSize) {
    font.faceName = text.substr(start);
    return;
  }
  font.height = static_cast<int>(size);
  std::size_t name =
      blank == std::string::npos ? std::string::npos : text.find_first_not_of(' ', blank);
  if (name != std::string::npos) {
    font.faceName = text.substr(name);
  }
}

FontDesc CFontDlg::StoredFont(const CSettingsStore& settings, const char* sizeEntry,
                              int defaultSize, const char* nameEntry, const char* defaultName) {
  FontDesc font;
  font.height = settings.ReadSettingInt(kSectionFont, sizeEntry, defaultSize);
  font.faceName = settings.ReadSettingText(kSectionFont, nameEntry, defaultName);
  return font;
}

void CFontDlg::StoreChoice(CSettingsStore& settings, const FontDesc& font) {
  settings.WriteSettingInt(kSectionFont, kEntrySummarySize, font.height);
  settings.WriteSettingText(kSectionFont, kEntrySummaryName, font.faceName);
  settings.WriteSettingInt(kSectionFont, kEntryAbstractSize, font.height);
  settings.WriteSettingText(kSectionFont, kEntryAbstractName, font.faceName);
}

std::optional<FontDesc> CFontDlg::AskAndStore(Ui& ui, CSettingsStore& settings,
                                              const FontDesc& current) {
  CFontDlg dialog(current);
  if (!ui.RunDialog(dialog)) {
    return std::nullopt;
  }
  StoreChoice(settings, dialog.font);
  return dialog.font;
}
