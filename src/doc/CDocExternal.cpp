#include "doc/CDocExternal.h"

#include <ctime>

#include "app/CAppState.h"
#include "config/CConfiguration.h"
#include "driver/CDriverLink.h"
#include "driver/CListSummary.h"
#include "external/CRetrievalMethodDlg.h"
#include "external/CWebBrowser.h"

CDocExternal::CDocExternal(CConfiguration& config, CAppState& app, CSettingsStore& settings, Ui& ui,
                           CDriverLink& link, CListSummary& summary)
    : config(config), app(app), settings(settings), ui(ui), link(link), summary(summary) {
  // A question with an answer, so the summary asks it directly rather than
  // through a notification.
  summary.retrieveByExtension = [this] { return ChooseRetrievalMethod(); };
  wiring += link.Events().extensionData.Connect(
      [this](const std::string& text) { ExtensionDataArrived(text); });
}

CDocExternal::~CDocExternal() {
  summary.retrieveByExtension = nullptr;
}

bool CDocExternal::ChooseRetrievalMethod() {
  if (config.currentDatabase == nullptr || config.currentDatabase->extensions.empty()) {
    return false;
  }
  CRetrievalMethodDlg dialog(config.currentDatabase->extensions);
  if (!ui.RunDialog(dialog)) {
    // Nothing is fetched: the retrieval the summary prepared is dropped.
    link.Retrieval().Cancel();
    return true;
  }
  if (dialog.AbstractChosen()) {
    return false;
  }
  StartExtension(dialog.ChosenLabel());
  return true;
}

void CDocExternal::StartExtension(const std::string& label) {
  CRecordRetrieval& retrieval = link.Retrieval();
  std::vector<int> selection = retrieval.Items();
  if (selection.empty()) {
    return;
  }
  extensionLabel = label;
  collecting = true;
  retrieval.StartExtension(selection);
  link.GetExtensionData(retrieval.NextRecordNumber());
  link.Busy().Show(kRetrievingText);
}

void CDocExternal::ExtensionDataArrived(const std::string& text) {
  CRecordRetrieval& retrieval = link.Retrieval();
  if (!collecting || retrieval.CurrentKind() != CRecordRetrieval::EXTENSION) {
    return;  // data nobody asked for
  }
  retrieval.ExtensionDataArrived(text);
  // A cancel only stopped the waiting: the chain goes on to the program.
  if (retrieval.NextRecordArrived()) {
    link.GetExtensionData(retrieval.NextRecordNumber());
    return;
  }
  Finish();
}

void CDocExternal::Finish() {
  collecting = false;
  const std::vector<CDBExtRec> none;
  const std::vector<CDBExtRec>& extensions =
      config.currentDatabase != nullptr ? config.currentDatabase->extensions : none;
  CExtensionPrograms programs(ui);
  lastOutcome = programs.Run(extensions, extensionLabel, app.tempDirectory,
                             link.Retrieval().ExtensionText(), std::time(nullptr));
  // Also when no file could be made: the user has been told, and a busy
  // window left waiting for a cancel would only hide that.
  link.Busy().Close();
  link.SetLinkState(LINK_IDLE);
}

bool CDocExternal::DatabaseHelpEnabled() const {
  return CWebBrowser::DatabaseHelpEnabled(config.currentDatabase);
}

bool CDocExternal::DatabaseHelpCommand() {
  if (!DatabaseHelpEnabled()) {
    return false;
  }
  CWebBrowser browser(ui, settings);
  return browser.DatabaseHelp(config.currentDatabase, config.databaseTags, config.configBaseUrl);
}

std::string CDocExternal::DatabaseHelpUrl() const {
  return CWebBrowser::DatabaseHelpUrl(config.currentDatabase, config.databaseTags,
                                      config.configBaseUrl);
}
