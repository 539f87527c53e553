#include "config/CConfigLexer.h"

#include <climits>
#include <ostream>

#include "app/FormatText.h"
#include "app/Ui.h"
#include "config/CConfigFile.h"

namespace {

constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";

std::string_view TrimLeft(std::string_view text) {
  size_t first = text.find_first_not_of(kWhiteSpace);
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view TrimRight(std::string_view text) {
  size_t last = text.find_last_not_of(kWhiteSpace);
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string_view Trim(std::string_view text) {
  return TrimRight(TrimLeft(text));
}

bool IsSkipped(std::string_view content) {
  return content.empty() || content.front() == '!' || content.front() == '#';
}

// ASCII only: the bytes of a configuration are not in any known encoding.
bool ContainsNotFound(std::string_view content) {
  std::string upper(content);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return upper.find("404 NOT FOUND") != std::string::npos;
}

}  // namespace

CConfigLexer::CConfigLexer(Ui& ui) : ui(ui) {
  // A lexer with an empty table would call every keyword unknown.
  BuildKeywordTable();
}

void CConfigLexer::BuildKeywordTable() {
  table.BuildKeywordTable();
}

int CConfigLexer::ReadKeywordLine(CConfigFile& file, std::string& value, std::string& keyword) {
  value = "Empty";
  std::string line;
  std::string_view content;
  if (!ReadContentLine(file, line, content)) {
    // Nothing stale from an earlier line may look like a keyword read here.
    keyword.clear();
    return kKeywordEndOfFile;
  }
  size_t equals = content.find('=');
  if (equals == std::string_view::npos) {
    keyword.assign(content);
  } else {
    keyword.assign(TrimRight(content.substr(0, equals)));
    value.assign(Trim(content.substr(equals + 1)));
  }
  int index = table.Lookup(keyword);
  return index != kKeywordUnknown ? index : ReportUnknown(content, value, keyword);
}

// Skips blank and comment lines; `content` is the trimmed keyword line.
bool CConfigLexer::ReadContentLine(CConfigFile& file, std::string& line,
                                   std::string_view& content) {
  do {
    // Saturates rather than overflowing on an absurdly long file.
    if (configLineNumber < INT_MAX) {
      ++configLineNumber;
    }
    if (!file.ReadLine(line)) {
      return false;
    }
    content = Trim(line);
  } while (IsSkipped(content));
  return true;
}

// An HTTP error page fetched in place of a configuration is handed on to the
// loaders as such; any other unknown keyword is reported here.
int CConfigLexer::ReportUnknown(std::string_view content, std::string& value,
                                std::string& keyword) {
  if (ContainsNotFound(content)) {
    keyword = "HTTP Error";
    value = "URL not found";
  } else {
    ui.Message(FormatText("Fieldname lookup failed, %s, %d", keyword.c_str(), 0));
  }
  return kKeywordUnknown;
}

bool LexConfigurationFile(Ui& ui, const std::string& path, std::ostream& out) {
  auto file = CConfigFile::Open(path);
  if (!file) {
    return false;
  }
  CConfigLexer lexer(ui);
  lexer.configFileName = path;
  std::string value;
  std::string keyword;
  int index;
  while ((index = lexer.ReadKeywordLine(*file, value, keyword)) != kKeywordEndOfFile) {
    out << lexer.configLineNumber << ' ' << index << ' ' << keyword << '=' << value << '\n';
  }
  out << "end " << lexer.configLineNumber << '\n';
  // An oversize line or a read error ends the listing early; say where.
  if (file->ReadFailed()) {
    ui.MessageBox(FormatText("Error in %s at line %d", path.c_str(), lexer.configLineNumber),
                  "Configuration Error", MsgButtons::Ok, MsgIcon::Error);
  }
  return true;
}
