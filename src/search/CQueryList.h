#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "app/Signal.h"
#include "search/CQueryRecord.h"

// The saved queries of a document, in order of creation or loading. Names
// are unique: naming refuses a name that exists (the query name dialog
// checks, case ignored), loading replaces a query of the exact same name.
class CQueryList {
 public:
  std::vector<std::string> queryNames;
  std::map<std::string, CQueryRecord> queries;
  std::string currentQueryName;

  // Exact name lookup; none when there is no such query.
  const CQueryRecord* Find(const std::string& name) const;
  // Stores the record under its name (replacing one of the same name, which
  // keeps its place) and makes it the current query.
  void Store(CQueryRecord record);
  // A query read from a file: one of the same name is dropped first, so the
  // name moves to the end. The current query is left alone.
  void AddLoaded(CQueryRecord record);
  // False when there is no query of that exact name. The current query name
  // stays as it was, even when it named the deleted query.
  bool Delete(const std::string& name);
  void DeleteAll();

  std::size_t Count() const { return queryNames.size(); }
  bool Empty() const { return queryNames.empty(); }

  // After every change made through the operations above.
  Signal<> changed;

 private:
  void RemoveName(const std::string& name);
};
