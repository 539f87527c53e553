#include "config/CDatabaseChooser.h"

#include <utility>

#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
#include "app/Ui.h"
#include "config/CConfiguration.h"
#include "config/CInfoTexts.h"
#include "config/COpenDatabaseDialog.h"

CDatabaseChooser::CDatabaseChooser(CConfiguration& config, CInfoTexts& infoTexts,
                                   CConfigLoader& loader, CConfigFetcher& fetcher,
                                   CConfigLexer& lexer, CSettingsStore& settings, Ui& ui,
                                   ConnectFunction connect)
    : config(config),
      infoTexts(infoTexts),
      loader(loader),
      fetcher(fetcher),
      lexer(lexer),
      settings(settings),
      ui(ui),
      connect(std::move(connect)) {}

bool CDatabaseChooser::ConnectToDatabaseCommand() {
  if (config.databaseNames.size() == 1) {
    connect(config.databaseNames.front());
    return true;
  }
  // Without texts the dialog still serves; the message has been shown.
  infoTexts.LoadInformationTexts(config, loader, fetcher, lexer, ui);
  COpenDatabaseDialog dialog(config, infoTexts, settings, ui);
  if (!ui.RunDialog(dialog) || dialog.selectedName.empty()) {
    return false;
  }
  std::string connected = connectedName ? connectedName() : std::string();
  if (dialog.selectedName != connected) {
    connect(dialog.selectedName);
  }
  settings.WriteSettingInt(kSectionDefaultDatabase, kEntryDefaultOrder, dialog.order);
  if (dialog.saveAsDefault) {
    settings.WriteSettingText(kSectionDefaultDatabase, kEntryDefaultDatabase, dialog.selectedName);
  }
  return true;
}

void CDatabaseChooser::FirstSelection() {
  if (!config.defaultDatabaseName.empty()) {
    connect(config.defaultDatabaseName);
    return;
  }
  if (config.databaseNames.size() == 1) {
    connect(config.databaseNames.front());
    return;
  }
  ConnectToDatabaseCommand();
}
