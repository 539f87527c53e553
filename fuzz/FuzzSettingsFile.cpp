#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
#include "platform/CAtomicFile.h"

namespace {

// One private directory for the whole run; each input replaces the file.
const std::string& SettingsPath() {
  static const std::string path = [] {
    char pattern[] = "/tmp/tamsel-fuzz-settings-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (dir == nullptr) {
      std::abort();
    }
    return std::string(dir) + "/Tamsel.conf";
  }();
  return path;
}

}  // namespace

// Any file text: reads give a value or the default, and a write on top of it
// reads back exactly while every other entry keeps what it read before.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = SettingsPath();
  std::string text(reinterpret_cast<const char*>(data), size);
  if (!CAtomicFile::Replace(path, text, 0600)) {
    return 0;
  }
  CSettingsStore store(path);
  std::string before = store.ReadSettingText(kSectionFont, kEntrySummaryName, "\x01");
  int kiosk = store.ReadSettingInt(kSectionOptions, kEntryKiosk, -7);
  store.ReadUrlList();

  // The value written is the input itself: any bytes must survive the escapes.
  std::string value = text.substr(0, 64);
  if (store.WriteSettingText(kSectionDefaultUrl, kEntryDefaultUrl, value)) {
    if (store.ReadSettingText(kSectionDefaultUrl, kEntryDefaultUrl, "\x02") != value ||
        store.ReadSettingText(kSectionFont, kEntrySummaryName, "\x01") != before ||
        store.ReadSettingInt(kSectionOptions, kEntryKiosk, -7) != kiosk) {
      __builtin_trap();
    }
  }
  return 0;
}
