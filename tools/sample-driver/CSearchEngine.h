#pragma once

#include <string>
#include <vector>

#include "CQueryParser.h"
#include "CTextIndex.h"

class CSampleDatabase;

// A word the full record marks as a match: in `field` (-1: any field), the
// whole word or, with `prefix`, every word it begins.
struct HighlightTerm {
  int field;
  std::string word;
  bool prefix;
};

struct SearchResult {
  RecordList records;
  std::vector<HighlightTerm> highlights;
};

// Runs a parsed search request on one database. Term records and limits are
// ANDed.
//
// Field commands are field names, ignoring case, or "any" for every field.
// A limit string is FIELD=VALUE (the field's first line equals VALUE ignoring
// case; a trailing "*" matches its beginning), a range text (on the first
// field whose values are all dates, else all numbers), or words searched in
// every field.
class CSearchEngine {
 public:
  explicit CSearchEngine(const CSampleDatabase& db) : db(db) {}

  bool Run(const SearchRequest& request, SearchResult& result, std::string& error) const;

 private:
  bool ResolveField(const std::string& command, int& field, std::string& error) const;
  bool RunTerm(const TermRecord& term, RecordList& records, std::vector<HighlightTerm>* highlights,
               std::string& error) const;
  bool RunWords(const std::string& text, int field, RecordList& records,
                std::vector<HighlightTerm>* highlights, std::string& error) const;
  bool RunRange(const std::string& text, int rangeType, int field, RecordList& records,
                std::string& error) const;
  bool RunLimit(const std::string& limit, RecordList& records, std::string& error) const;

  const CSampleDatabase& db;
};
