#pragma once

#include <istream>
#include <string>
#include <utility>
#include <vector>

// One record of a stanza file: its fields in file order.
struct StanzaRecord {
  std::vector<std::pair<std::string, std::string>> fields;
};

// Reads files in the layout of Debian control files: "Field: value" lines,
// continuation lines starting with a blank (" ." for an empty line), a blank
// line between records, "#" lines in the first column as comments.
// Continuation lines join the value after a line feed, with their first
// blank removed.
class CStanzaReader {
 public:
  static std::vector<StanzaRecord> Read(std::istream& in);
  // False, with a readable reason, when the file can't be read.
  static bool ReadFile(const std::string& path, std::vector<StanzaRecord>& records,
                       std::string& error);
};
