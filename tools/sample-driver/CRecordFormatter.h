#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "CSearchEngine.h"

class CSampleDatabase;

// Builds the texts the driver sends for one record: title lines, and labelled
// field texts (summaries, full records, extension data) with the byte offsets
// of the matched words.
class CRecordFormatter {
 public:
  struct Text {
    std::string text;
    std::vector<std::pair<std::int32_t, std::int32_t>> positions;  // start, end (exclusive)
  };
  static constexpr std::size_t kMaxPositions = 500;

  explicit CRecordFormatter(const CSampleDatabase& db) : db(db) {}

  // Field names separated by blanks, commas or semicolons; `unknown` gets the
  // names the database doesn't have.
  std::vector<int> FieldList(const std::string& names, std::vector<std::string>* unknown) const;

  // The first lines of the fields, joined by `separator`, empty ones left out.
  std::string Title(std::uint32_t record, const std::vector<int>& fields,
                    const std::string& separator) const;
  // One "Label: value" line per non-empty field (the name as label when
  // `abbreviated`, else the caption); further lines of a value are indented
  // by two blanks. Lines end in a line feed.
  Text Fields(std::uint32_t record, const std::vector<int>& fields, bool abbreviated,
              const std::vector<HighlightTerm>& highlights) const;

 private:
  static void MarkMatches(const std::string& value, std::size_t offset, int field,
                          const std::vector<HighlightTerm>& highlights, Text& out);

  const CSampleDatabase& db;
};
