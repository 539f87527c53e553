#include "config/CConfigLoader.h"

#include <vector>

#include "app/AppNames.h"
#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "app/FormatText.h"
#include "app/SettingsNames.h"
#include "app/Ui.h"
#include "config/CCompanionFiles.h"
#include "config/CConfigFetcher.h"
#include "config/CConfigFile.h"
#include "config/CConfigLexer.h"
#include "config/CConfiguration.h"
#include "config/CKeywordTable.h"
#include "config/CRecentUrls.h"
#include "config/CSectionReader.h"

namespace {

constexpr const char* kConfigVersion = "1.1";

bool EqualsIgnoringCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return i == a.size() && b[i] == '\0';
}

// A menu value: A before the first ":" (trailing blanks removed), B after it
// (blanks removed on both sides).
void SplitMenuValue(const std::string& value, std::string& a, std::string& b) {
  size_t colon = value.find(':');
  if (colon == std::string::npos) {
    a = value;
    b.clear();
    return;
  }
  a = value.substr(0, colon);
  a.erase(a.find_last_not_of(" \t") + 1);
  b = value.substr(colon + 1);
  size_t first = b.find_first_not_of(" \t");
  b = first == std::string::npos ? "" : b.substr(first, b.find_last_not_of(" \t") - first + 1);
}

}  // namespace

CConfigLoader::CConfigLoader(CConfiguration& config, CConfigLexer& lexer, CConfigFetcher& fetcher,
                             CAppState& app, CSettingsStore& settings, Ui& ui)
    : config(config), lexer(lexer), fetcher(fetcher), app(app), settings(settings), ui(ui) {}

void CConfigLoader::ReportLineError() {
  ui.MessageBox(
      FormatText("Error in %s at line %d", lexer.configFileName.c_str(), lexer.configLineNumber),
      "Configuration Error", MsgButtons::Ok, MsgIcon::Error);
}

std::unique_ptr<CConfigFile> CConfigLoader::OpenConfigurationFile(const std::string& name) {
  lexer.configLineNumber = 0;
  auto file = CConfigFile::Open(name);
  if (file) {
    lexer.configFileName = name;
    return file;
  }
  ui.MessageBox(FormatText("Can't open DB configuration file:\n\"%s\"", name.c_str()),
                "File Open Error", MsgButtons::Ok, MsgIcon::Error);
  lexer.configFileName.clear();
  return nullptr;
}

std::unique_ptr<CConfigFile> CConfigLoader::OpenCompanionFile(const std::string& name) {
  if (config.configFilePath.empty()) {
    return OpenConfigurationFile(name);
  }
  std::vector<std::string> candidates = CCompanionFiles::Candidates(config.configFilePath, name);
  lexer.configLineNumber = 0;
  std::string shown = candidates.front();
  for (const std::string& candidate : candidates) {
    CConfigFile::OpenStatus status;
    auto file = CConfigFile::Open(candidate, &status);
    if (file) {
      lexer.configFileName = candidate;
      return file;
    }
    // A file that is there but unusable is not replaced by another one of
    // the same name elsewhere.
    if (status == CConfigFile::OpenStatus::Refused) {
      shown = candidate;
      break;
    }
  }
  ui.MessageBox(FormatText("Can't open DB configuration file:\n\"%s\"", shown.c_str()),
                "File Open Error", MsgButtons::Ok, MsgIcon::Error);
  lexer.configFileName.clear();
  return nullptr;
}

// A read that stopped on an error or an oversize line is not the end of the
// file: a cut-short configuration must not pass for a whole one. The line
// counter stands on the line that could not be read.
bool CConfigLoader::ReadStoppedShort(const CConfigFile& file) {
  if (!file.ReadFailed()) {
    return false;
  }
  ReportLineError();
  return true;
}

// Looks at the first keyword lines only: a pointer file names the URL of the
// real configuration and perhaps the default database.
bool CConfigLoader::PreOpen(const std::string& path, std::string& url) {
  auto file = OpenConfigurationFile(path);
  if (!file) {
    ui.MessageBox(FormatText("Can't preopen simple configuration file:\n\"%s\"", path.c_str()),
                  "File Open Error", MsgButtons::Ok, MsgIcon::Error);
    return false;
  }
  std::string keyword, value;
  lexer.ReadKeywordLine(*file, value, keyword);
  if (EqualsIgnoringCase(keyword, "conf_url")) {
    url = value;
    app.remoteOpenPending = true;
    lexer.ReadKeywordLine(*file, value, keyword);
    if (EqualsIgnoringCase(keyword, "dflt_db")) {
      config.defaultDatabasePending = true;
      config.defaultDatabaseTag = value;
    }
  }
  return true;
}

std::unique_ptr<CConfigFile> CConfigLoader::OpenRemote(std::string url) {
  app.remoteOpenPending = false;
  bool noUrl = url.empty() || url[0] == ' ';
  if (!app.askForUrl) {
    if (noUrl) {
      ui.Message("No default URL is set\nSet the default URL from the Options/Preferences menu");
      return nullptr;
    }
  } else {
    if (noUrl) {
      url = kBuiltinDefaultConfigUrl;
    }
    std::string proposed = url;
    url = AskConfigurationUrl(ui, settings, proposed);
    if (url.empty()) {
      return nullptr;
    }
    auto file = FetchTopConfiguration(url);
    // Only a URL that worked is worth offering again.
    if (file) {
      RememberConfigurationUrl(settings, app.askForUrl, proposed, url);
    }
    return file;
  }
  return FetchTopConfiguration(url);
}

std::unique_ptr<CConfigFile> CConfigLoader::FetchTopConfiguration(const std::string& url) {
  if (url.empty()) {
    return nullptr;
  }
  size_t slash = url.rfind('/');
  config.configBaseUrl = slash == std::string::npos ? url : url.substr(0, slash + 1);
  auto file = fetcher.FetchConfigurationUrl(url, lexer, config.remoteConfig);
  if (!file) {
    ui.Message("Couldn't read the selected URL");
  }
  return file;
}

bool CConfigLoader::OpenDocumentConfig(const std::string& path) {
  // A document is loaded once for its life; opening it again keeps what it
  // holds.
  if (config.documentOpened) {
    return true;
  }
  config.DiscardContents();
  lexer.BuildKeywordTable();
  config.documentOpened = true;
  config.remoteConfig = false;
  config.configFilePath.clear();
  std::string url = settings.ReadSettingText(kSectionDefaultUrl, kEntryDefaultUrl, "");
  if (!app.remoteOpenPending) {
    PreOpen(path, url);
  }
  std::unique_ptr<CConfigFile> file;
  if (app.remoteOpenPending) {
    file = OpenRemote(url);
  } else {
    config.configBaseUrl.clear();
    file = OpenConfigurationFile(path);
    if (file) {
      config.configFilePath = path;
    }
  }
  if (!file) {
    return false;
  }
  return ParseTopConfiguration(*file);
}

bool CConfigLoader::ParseMenuLine(int index, const std::string& value) {
  std::string a, b;
  SplitMenuValue(value, a, b);
  if (index == KW_BEGIN_MENU) {
    if (++menuDepth > kMaxMenuDepth) {
      ReportLineError();
      return false;
    }
    config.menuEntries.push_back({"menu", b.empty() ? a : b, b.empty() ? "" : a});
  } else if (index == KW_END_MENU) {
    config.menuEntries.push_back({"endmenu", "", ""});
    if (menuDepth > 0) {
      --menuDepth;
    }
  } else if (index == KW_ITEM) {
    // Judged at the end of the menu part: only with separate files does the
    // tag name a file.
    if (firstBadTagLine == 0 && !a.empty() && !CCompanionFiles::IsPlainName(a)) {
      firstBadTagLine = lexer.configLineNumber;
    }
    CDBDescRec& rec = config.FindOrCreateDatabase(a);
    if (b.empty()) {
      config.menuEntries.push_back({"db", rec.name, a});
      return true;
    }
    config.menuEntries.push_back({"db", b, a});
    rec.name = b;
    config.RegisterName(b, a);
    if (config.defaultDatabasePending && config.defaultDatabaseTag == rec.tag) {
      config.defaultDatabasePending = false;
      config.defaultDatabaseName = b;
    }
  }
  return true;
}

bool CConfigLoader::ParseTopConfiguration(CConfigFile& file) {
  config.menuEntries.clear();
  menuDepth = 0;
  firstBadTagLine = 0;
  std::string keyword, value;
  int index = lexer.ReadKeywordLine(file, value, keyword);
  if (index != KW_CONF_VERSION) {
    if (index == kKeywordEndOfFile && ReadStoppedShort(file)) {
      return false;
    }
    if (keyword == "HTTP Error") {
      ui.MessageBox(value, "HTTP Error", MsgButtons::Ok, MsgIcon::Error);
    } else {
      ui.MessageBox("Configuration file has no version.\nInvalid or obsolete file.",
                    "Configuration Version Error", MsgButtons::Ok, MsgIcon::Error);
    }
    return false;
  }
  if (value != kConfigVersion) {
    ui.MessageBox(FormatText("Configuration file is version %s.\nWinTamsel expects version %s\n",
                             value.c_str(), kConfigVersion),
                  "Configuration Version Error", MsgButtons::Ok, MsgIcon::Error);
    return false;
  }
  for (;;) {
    index = lexer.ReadKeywordLine(file, value, keyword);
    if (index == KW_DB_TAG) {
      config.separateDatabaseFiles = false;
      return ParseDatabaseSections(file, value);
    }
    if (index == kKeywordEndOfFile) {
      if (ReadStoppedShort(file)) {
        return false;
      }
      if (config.databases.empty()) {
        return false;
      }
      if (firstBadTagLine != 0) {
        lexer.configLineNumber = firstBadTagLine;
        ReportLineError();
        return false;
      }
      config.separateDatabaseFiles = true;
      return true;
    }
    if (!ParseMenuLine(index, value)) {
      return false;
    }
  }
}

bool CConfigLoader::ParseDatabaseSections(CConfigFile& file, std::string tag) {
  for (;;) {
    CDBDescRec& db = config.FindOrCreateDatabase(tag);
    CSectionReader reader(config, db);
    std::string keyword, value;
    int index = 0;
    for (;;) {
      index = lexer.ReadKeywordLine(file, value, keyword);
      if (index == KW_DB_TAG || index == kKeywordEndOfFile) {
        break;
      }
      switch (reader.Apply(index, value)) {
        case CSectionReader::Result::Ok:
        case CSectionReader::Result::Skip:
          break;
        case CSectionReader::Result::DriverNoColon:
          ui.MessageBox("Driver doesn't point to socket.\nConfiguration file invalid.",
                        "Configuration File Error", MsgButtons::Ok, MsgIcon::Error);
          return false;
        case CSectionReader::Result::DriverNoPort:
          ui.MessageBox("No port for socket connection", "Configuration File Error", MsgButtons::Ok,
                        MsgIcon::Error);
          return false;
        case CSectionReader::Result::LineError:
          ReportLineError();
          return false;
      }
    }
    if (index == kKeywordEndOfFile && ReadStoppedShort(file)) {
      return false;
    }
    if (!reader.Finish()) {
      ui.MessageBox("Required fields missing in configuration file:\n", "Configuration Error",
                    MsgButtons::Ok, MsgIcon::Error);
      return false;
    }
    if (config.defaultDatabasePending) {
      config.defaultDatabasePending = false;
      config.defaultDatabaseName = db.name;
    }
    if (index == kKeywordEndOfFile) {
      return true;
    }
    tag = value;
  }
}

void CConfigLoader::SelectDatabase(const std::string& name) {
  CDBDescRec* db = config.FindByName(name);
  config.currentDatabase = db;
  if (db == nullptr || db->configured || !config.separateDatabaseFiles) {
    return;
  }
  std::unique_ptr<CConfigFile> file;
  std::string url;
  // The menu part refused such tags already; a tag is never a path.
  if (!CCompanionFiles::IsPlainName(db->tag)) {
    ui.MessageBox(FormatText("Can't open configuration file for %s:\n", db->tag.c_str()),
                  "File Open Error", MsgButtons::Ok, MsgIcon::Error);
    config.currentDatabase = nullptr;
    return;
  }
  if (config.remoteConfig) {
    url = config.configBaseUrl + db->tag;
    file = fetcher.FetchConfigurationUrl(url, lexer, config.remoteConfig);
    if (!file) {
      ui.MessageBox(
          FormatText("Can't open configuration file for %s:\n\"%s\"", db->tag.c_str(), url.c_str()),
          "File Open Error", MsgButtons::Ok, MsgIcon::Error);
      config.currentDatabase = nullptr;
      return;
    }
  } else {
    file = OpenCompanionFile(db->tag);
    if (!file) {
      ui.MessageBox(FormatText("Can't open configuration file for %s:\n", db->tag.c_str()),
                    "File Open Error", MsgButtons::Ok, MsgIcon::Error);
      config.currentDatabase = nullptr;
      return;
    }
  }
  if (!ReadSelectedDatabaseFile(*file, url)) {
    config.currentDatabase = nullptr;
  }
}

bool CConfigLoader::ReadSelectedDatabaseFile(CConfigFile& file, const std::string& url) {
  std::string keyword, value;
  int index = lexer.ReadKeywordLine(file, value, keyword);
  if (index == KW_CONF_VERSION) {
    if (value != kConfigVersion) {
      ui.MessageBox(FormatText("Configuration file is version %s.\nWinTamsel expects version %s\n",
                               value.c_str(), kConfigVersion),
                    "Configuration Version Error", MsgButtons::Ok, MsgIcon::Error);
      return false;
    }
    index = lexer.ReadKeywordLine(file, value, keyword);
  } else if (keyword == "HTTP Error") {
    ui.MessageBox(
        FormatText("Cannot retrieve configuration file for selected database at URL\n%s\n",
                   url.c_str()),
        "HTTP Error", MsgButtons::Ok, MsgIcon::Error);
    return false;
  }
  if (index == KW_DB_TAG) {
    if (!ParseDatabaseSections(file, value)) {
      ReportLineError();
      return false;
    }
    return true;
  }
  if (index == kKeywordEndOfFile) {
    ReadStoppedShort(file);
    return false;
  }
  // Something other than a database section: the file holds no usable
  // description, so the database is unavailable rather than half-set.
  ReportLineError();
  return false;
}
