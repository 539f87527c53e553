#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class CSampleDatabase;

// The browse lists of one database and the bodies of browse replies.
//
// A list named like a field (ignoring case) holds the field's distinct first
// lines; "FIELD words" holds the words of the field. Each entry is a heading
// with the number of records holding it, sorted ignoring case. Lists are
// built the first time they are asked for.
class CBrowseLists {
 public:
  struct Entry {
    std::string heading;
    std::uint32_t records;
  };
  struct Reply {
    std::int32_t anchor;  // negative: no data
    std::string body;
  };
  static constexpr int kMaxWindow = 1000;

  explicit CBrowseLists(const CSampleDatabase& db) : db(db) {}

  // Null when the database has no such list.
  const std::vector<Entry>* Find(const std::string& listName);

  // The list header: total, two columns (heading, the pick value; record
  // count, shown first), one line per entry.
  static Reply Header(const std::string& listName, const std::vector<Entry>& entries);
  // `count` entries from `before` entries ahead of the anchor entry on.
  static Reply Window(const std::vector<Entry>& entries, const std::string& anchorText, int count,
                      int before);
  // As Window, anchored at the first heading at or after `text`, ignoring case.
  static Reply Jump(const std::vector<Entry>& entries, const std::string& text, int count,
                    int before);

 private:
  static Reply Entries(const std::vector<Entry>& entries, std::int32_t anchor, int count,
                       int before);

  const CSampleDatabase& db;
  std::map<std::string, std::vector<Entry>> lists;  // by lower-case name
};
