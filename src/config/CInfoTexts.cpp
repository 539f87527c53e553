#include "config/CInfoTexts.h"

#include "app/Ui.h"
#include "config/CConfigFetcher.h"
#include "config/CConfigFile.h"
#include "config/CConfigLoader.h"
#include "config/CConfiguration.h"

namespace {

constexpr const char* kLocalInfoFile = "db.ifo";
constexpr const char* kRemoteInfoFile = "db.info";
constexpr const char* kLineEnd = "\r\n";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// What one line of an entry adds to its text.
void AppendLine(const std::string& line, std::string& text) {
  size_t firstNonBlank = 0;
  while (firstNonBlank < line.size() && IsBlank(line[firstNonBlank])) {
    ++firstNonBlank;
  }
  if (firstNonBlank == line.size()) {
    text += kLineEnd;
    return;
  }
  char first = line[firstNonBlank];
  if (first == '!' || first == '#') {
    return;
  }
  // Letters, "*" and every other line alike keep the whole line.
  text += line;
  text += kLineEnd;
}

}  // namespace

bool CInfoTexts::LoadInformationTexts(CConfiguration& config, CConfigLoader& loader,
                                      CConfigFetcher& fetcher, CConfigLexer& lexer, Ui& ui) {
  if (infoTextsLoaded) {
    return true;
  }
  std::unique_ptr<CConfigFile> file;
  if (!config.configBaseUrl.empty()) {
    file = fetcher.FetchConfigurationUrl(config.configBaseUrl + kRemoteInfoFile, lexer,
                                         config.remoteConfig);
  } else {
    file = loader.OpenCompanionFile(kLocalInfoFile);
  }
  if (!file || !Parse(*file)) {
    ui.Message("Couldn't read database InfoBlurbs");
    return false;
  }
  infoTextsLoaded = true;
  return true;
}

bool CInfoTexts::Parse(CConfigFile& file) {
  // Entries are collected aside so that a refused file leaves no half of itself.
  std::map<std::string, std::string> entries;
  std::string key;
  std::string text;
  bool entryOpen = false;
  std::size_t bytesRead = 0;
  std::string line;
  while (file.ReadLine(line)) {
    bytesRead += line.size() + 1;
    if (bytesRead > maxFileBytes) {
      return false;
    }
    if (!line.empty() && line[0] == '$') {
      if (entryOpen) {
        entries[key] = std::move(text);
      }
      key = line.substr(1);
      text.clear();
      entryOpen = true;
    } else if (entryOpen) {
      AppendLine(line, text);
    }
  }
  if (file.ReadFailed()) {
    return false;
  }
  if (entryOpen) {
    entries[key] = std::move(text);
  }
  for (auto& [entryKey, entryText] : entries) {
    infoTexts[entryKey] = std::move(entryText);
  }
  return true;
}

const std::string* CInfoTexts::Find(const std::string& key) const {
  auto it = infoTexts.find(key);
  return it == infoTexts.end() ? nullptr : &it->second;
}

void CInfoTexts::MarkSeen(const std::string& key) {
  infoSeen[key] = "TRUE";
}

bool CInfoTexts::Seen(const std::string& key) const {
  return infoSeen.count(key) != 0;
}
