#pragma once

#include <map>
#include <string>
#include <vector>

#include "search/CQueryRecord.h"

// The saved queries of a document, in order of creation or loading.
class CQueryList {
 public:
  std::vector<std::string> queryNames;
  std::map<std::string, CQueryRecord> queries;
  std::string currentQueryName;

  // Exact name lookup; none when there is no such query.
  const CQueryRecord* Find(const std::string& name) const;
  // Stores the record under its name (replacing one of the same name) and
  // makes it the current query.
  void Store(CQueryRecord record);
};
