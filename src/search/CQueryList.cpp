#include "search/CQueryList.h"

#include <algorithm>

const CQueryRecord* CQueryList::Find(const std::string& name) const {
  auto found = queries.find(name);
  return found == queries.end() ? nullptr : &found->second;
}

void CQueryList::Store(CQueryRecord record) {
  std::string name = record.name;
  if (std::find(queryNames.begin(), queryNames.end(), name) == queryNames.end()) {
    queryNames.push_back(name);
  }
  queries[name] = std::move(record);
  currentQueryName = name;
  changed();
}

void CQueryList::AddLoaded(CQueryRecord record) {
  std::string name = record.name;
  RemoveName(name);
  queryNames.push_back(name);
  queries[name] = std::move(record);
  changed();
}

bool CQueryList::Delete(const std::string& name) {
  if (queries.erase(name) == 0) {
    return false;
  }
  RemoveName(name);
  changed();
  return true;
}

void CQueryList::DeleteAll() {
  queryNames.clear();
  queries.clear();
  changed();
}

void CQueryList::RemoveName(const std::string& name) {
  queryNames.erase(std::remove(queryNames.begin(), queryNames.end(), name), queryNames.end());
}
