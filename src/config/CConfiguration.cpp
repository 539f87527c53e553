#include "config/CConfiguration.h"

CDBDescRec& CConfiguration::FindOrCreateDatabase(const std::string& tag) {
  auto& slot = databases[tag];
  if (!slot) {
    slot = std::make_unique<CDBDescRec>();
    slot->tag = tag;
  }
  return *slot;
}

bool CConfiguration::RegisterName(const std::string& name, const std::string& tag) {
  if (databaseTags.count(name) != 0) {
    return false;
  }
  databaseTags[name] = tag;
  databaseNames.push_back(name);
  return true;
}

CDBDescRec* CConfiguration::FindByName(const std::string& name) const {
  auto tagIt = databaseTags.find(name);
  if (tagIt == databaseTags.end()) {
    return nullptr;
  }
  auto dbIt = databases.find(tagIt->second);
  return dbIt == databases.end() ? nullptr : dbIt->second.get();
}

void CConfiguration::DiscardContents() {
  currentDatabase = nullptr;
  menuEntries.clear();
  databases.clear();
  databaseTags.clear();
  databaseNames.clear();
}
