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
}
