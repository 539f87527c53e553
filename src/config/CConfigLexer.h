#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "config/CKeywordTable.h"

class CConfigFile;
class Ui;

// The document's lexing state: the keyword table and where reading stands in
// the current configuration file.
class CConfigLexer {
 public:
  explicit CConfigLexer(Ui& ui);

  void BuildKeywordTable();
  // Reads up to the next keyword line; returns its index, kKeywordUnknown
  // for a keyword outside the table, or kKeywordEndOfFile.
  int ReadKeywordLine(CConfigFile& file, std::string& value, std::string& keyword);

  CKeywordTable table;
  // Physical lines read from the current file, blank and comment lines included.
  int configLineNumber = 0;
  std::string configFileName;

 private:
  bool ReadContentLine(CConfigFile& file, std::string& line, std::string_view& content);
  int ReportUnknown(std::string_view content, std::string& value, std::string& keyword);

  Ui& ui;
};

// Prints every keyword line of a file as "LINE INDEX KEYWORD=VALUE" and then
// "end LINE"; false, with nothing printed, when the file can't be opened.
bool LexConfigurationFile(Ui& ui, const std::string& path, std::ostream& out);
