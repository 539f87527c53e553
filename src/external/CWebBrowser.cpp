#include "external/CWebBrowser.h"

#include "app/CSettingsStore.h"
#include "app/FormatText.h"
#include "app/SettingsNames.h"
#include "config/CDBDescRec.h"
#include "external/CExtensionPrograms.h"
#include "platform/CProcessLauncher.h"

CWebBrowser::CWebBrowser(Ui& ui, CSettingsStore& settings) : ui(ui), settings(settings) {}

std::string CWebBrowser::BrowserPath() const {
  return settings.ReadSettingText(kSectionBrowser, kEntryBrowser, kDefaultBrowser);
}

FileChooserRequest CWebBrowser::ChooseRequest(const std::string& current) {
  FileChooserRequest request;
  request.caption = kChooseCaption;
  size_t slash = current.rfind('/');
  if (slash == std::string::npos) {
    request.directory = kDefaultDirectory;
  } else {
    // "/firefox" lives in the root directory, not in "".
    request.directory = slash == 0 ? "/" : current.substr(0, slash);
    request.fileName = current.substr(slash + 1);
  }
  request.filters = {{kExecutablesFilter, "*"}, {kAllFilesFilter, "*"}};
  return request;
}

bool CWebBrowser::ChooseBrowser() {
  auto chosen = ui.ChooseFile(ChooseRequest(BrowserPath()));
  if (!chosen) {
    return false;
  }
  settings.WriteSettingText(kSectionBrowser, kEntryBrowser, *chosen);
  return true;
}

std::string CWebBrowser::HelpUrl(const std::string& configBaseUrl, const std::string& tag) {
  std::string base = configBaseUrl;
  size_t slash = base.rfind('/');
  if (slash != std::string::npos) {
    base.erase(slash);
    slash = base.rfind('/');
    if (slash != std::string::npos) {
      base.erase(slash + 1);
    }
  }
  return base + kHelpPath + tag;
}

std::string CWebBrowser::DatabaseHelpUrl(const CDBDescRec* currentDatabase,
                                         const std::map<std::string, std::string>& databaseTags,
                                         const std::string& configBaseUrl) {
  if (currentDatabase == nullptr || databaseTags.count(currentDatabase->name) == 0) {
    return "";
  }
  return HelpUrl(configBaseUrl, currentDatabase->tag);
}

bool CWebBrowser::DatabaseHelp(const CDBDescRec* currentDatabase,
                               const std::map<std::string, std::string>& databaseTags,
                               const std::string& configBaseUrl) {
  std::string url = DatabaseHelpUrl(currentDatabase, databaseTags, configBaseUrl);
  if (url.empty()) {
    return false;
  }
  if (BrowserPath().empty()) {
    ChooseBrowser();
  }
  return OpenUrl(BrowserPath(), url);
}

std::vector<std::string> CWebBrowser::BrowserWords(const std::string& browserPath,
                                                   const std::string& url) {
  if (browserPath.empty()) {
    return {kDesktopOpener, url};
  }
  return {browserPath, url};
}

bool CWebBrowser::OpenUrl(const std::string& browserPath, const std::string& url) {
  std::vector<std::string> words = BrowserWords(browserPath, url);
  CProcessLauncher::Result result = CProcessLauncher::Start(words);
  switch (result.outcome) {
    case CProcessLauncher::Outcome::Started:
      return true;
    case CProcessLauncher::Outcome::NotRunnable:
      ui.MessageBox(CExtensionPrograms::kLoadErrorText, CExtensionPrograms::kLoadErrorCaption,
                    MsgButtons::Ok, MsgIcon::Error);
      break;
    case CProcessLauncher::Outcome::Failed:
      ui.MessageBox(FormatText("\"%s\"   %s", words[0].c_str(), url.c_str()),
                    FormatText(CExtensionPrograms::kErrorNumberCaption, result.error),
                    MsgButtons::Ok, MsgIcon::Error);
      break;
  }
  return false;
}
