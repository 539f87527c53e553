#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "config/CDBDescRec.h"
#include "config/DBMenuEntry.h"

// The databases and the menu of one opened configuration, with the state of
// loading it. Owned by the document; discarded before every open.
class CConfiguration {
 public:
  // Kept whole: configurations from strangers' servers may have thousands.
  std::vector<DBMenuEntry> menuEntries;
  std::map<std::string, std::unique_ptr<CDBDescRec>> databases;
  // Database name -> tag; the first tag registered for a name wins.
  std::map<std::string, std::string> databaseTags;
  // Names in the order they were first registered.
  std::vector<std::string> databaseNames;
  CDBDescRec* currentDatabase = nullptr;

  std::string defaultDatabaseName;
  bool defaultDatabasePending = false;
  std::string defaultDatabaseTag;

  std::string configBaseUrl;
  // The local top-level file as opened; its directory holds the companion
  // files. Empty for a configuration fetched over HTTP.
  std::string configFilePath;
  bool remoteConfig = false;
  bool separateDatabaseFiles = false;
  bool documentOpened = false;

  int MenuEntryCount() const { return static_cast<int>(menuEntries.size()); }

  // The record stored under `tag`, created with all defaults when missing.
  CDBDescRec& FindOrCreateDatabase(const std::string& tag);

  // Registers `name` for `tag` unless the name is known; true when it was new.
  bool RegisterName(const std::string& name, const std::string& tag);

  // The database of that name, or none.
  CDBDescRec* FindByName(const std::string& name) const;

  // Deletes every record and menu entry (before an open, and at close).
  void DiscardContents();
};
