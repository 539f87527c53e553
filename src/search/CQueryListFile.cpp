#include "search/CQueryListFile.h"

#include <climits>
#include <cstddef>

#include "app/AppNames.h"
#include "app/FormatText.h"
#include "app/Ui.h"
#include "platform/CAtomicFile.h"
#include "search/CQueryList.h"

namespace {

// A line break inside a text would shift every line after it, so a text is
// written on one line whatever it holds.
std::string OneLine(const std::string& text) {
  std::string line = text;
  for (char& c : line) {
    if (c == '\n') {
      c = ' ';
    }
  }
  return line;
}

void AppendLine(std::string& out, const std::string& text) {
  out += text;
  out += "\r\n";
}

// The writer's formats, with every "\n" of them written as CR LF.
void AppendFormatted(std::string& out, const std::string& formatted) {
  for (char c : formatted) {
    if (c == '\n') {
      out += '\r';
    }
    out += c;
  }
}

void AppendEnd(std::string& out, const CRangeDesc& end) {
  AppendFormatted(out, FormatText("%d%d\n%d\n%d\n%d\n", end.isSet != 0 ? 1 : 0,
                                  end.isLowEnd != 0 ? 1 : 0, end.month, end.day, end.year));
}

// Splits the text into lines. A line counts as whole only when its line end
// was read; the last line of a file cut short has none.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text(text) {}

  bool AtEnd() const { return pos >= text.size(); }

  // False at the end of the text. `ended` tells whether a LF closed the line.
  bool Next(std::string& line, bool& ended) {
    if (AtEnd()) {
      return false;
    }
    std::size_t lf = text.find('\n', pos);
    std::size_t stop = lf == std::string_view::npos ? text.size() : lf;
    ended = lf != std::string_view::npos;
    std::size_t length = stop - pos;
    if (length > 0 && text[stop - 1] == '\r') {
      --length;
    }
    line.assign(text.substr(pos, length));
    pos = ended ? lf + 1 : text.size();
    return true;
  }

 private:
  std::string_view text;
  std::size_t pos = 0;
};

// A decimal number at the start of the line, as far as it goes: blanks
// first, then a sign and digits; anything else gives 0. Values beyond the
// range of int stop at its ends.
long long LeadingNumber(const std::string& line, long long low, long long high) {
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
    ++i;
  }
  bool negative = false;
  if (i < line.size() && (line[i] == '-' || line[i] == '+')) {
    negative = line[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
    if (value <= high) {
      value = value * 10 + (line[i] - '0');
    }
  }
  value = negative ? -value : value;
  return value < low ? low : value > high ? high : value;
}

int LineNumber(const std::string& line) {
  return static_cast<int>(LeadingNumber(line, INT_MIN, INT_MAX));
}

class BlockReader {
 public:
  explicit BlockReader(LineReader& lines) : lines(lines) {}

  // False when the text ended before every line of the block was whole.
  bool Read(const std::string& name, CQueryRecord& record) {
    record.name = name;
    for (CQueryFields& row : record.fields) {
      Text(row.fieldName);
      Text(row.term);
      End(row.from);
      End(row.to);
    }
    for (int i = 0; i < CQueryRecord::kLimitBoxes; ++i) {
      Text(record.limitLabels[static_cast<std::size_t>(i)]);
      record.limitChecked[static_cast<std::size_t>(i)] = LineNumber(Line());
    }
    return whole;
  }

 private:
  const std::string& Line() {
    bool ended = false;
    if (!lines.Next(line, ended)) {
      line.clear();
      whole = false;
    } else if (!ended) {
      whole = false;
    }
    return line;
  }

  void Text(std::string& into) { into = Line(); }

  void End(CRangeDesc& end) {
    const std::string& flags = Line();
    end.isSet = !flags.empty() && flags[0] == '1' ? 1 : 0;
    end.isLowEnd = flags.size() > 1 && flags[1] == '1' ? 1 : 0;
    end.monthName.clear();
    end.month = LineNumber(Line());
    end.day = LineNumber(Line());
    end.year = LineNumber(Line());
  }

  LineReader& lines;
  std::string line;
  bool whole = true;
};

}  // namespace

std::string CQueryListFile::Format(const CQueryList& list) {
  std::string out;
  AppendFormatted(out, FormatText("%ld\n%s\n", kMagic, kMarkerLine));
  for (const std::string& name : list.queryNames) {
    const CQueryRecord* record = list.Find(name);
    if (record == nullptr) {
      continue;
    }
    AppendLine(out, OneLine(name));
    for (const CQueryFields& row : record->fields) {
      AppendLine(out, OneLine(row.fieldName));
      AppendLine(out, OneLine(row.term));
      AppendEnd(out, row.from);
      AppendEnd(out, row.to);
    }
    for (int i = 0; i < CQueryRecord::kLimitBoxes; ++i) {
      AppendLine(out, OneLine(record->limitLabels[static_cast<std::size_t>(i)]));
      AppendFormatted(out, FormatText("%d\n", record->limitChecked[static_cast<std::size_t>(i)]));
    }
  }
  return out;
}

CQueryListFile::Parsed CQueryListFile::Parse(std::string_view text) {
  Parsed parsed;
  LineReader lines(text);
  std::string line;
  bool ended = false;
  if (!lines.Next(line, ended) || LineNumber(line) != kMagic) {
    return parsed;
  }
  parsed.recognised = true;
  // The marker line says nothing we need.
  lines.Next(line, ended);
  std::string name;
  while (lines.Next(name, ended)) {
    CQueryRecord record;
    BlockReader block(lines);
    if (!block.Read(name, record) || !ended) {
      parsed.truncated = true;
      break;
    }
    parsed.records.push_back(std::move(record));
  }
  return parsed;
}

bool CQueryListFile::Save(const std::string& path, const CQueryList& list, Ui& ui) {
  if (!CAtomicFile::Replace(path, Format(list))) {
    ui.Message("Error creating file", "Error");
    return false;
  }
  return true;
}

bool CQueryListFile::Load(const std::string& path, CQueryList& list, Ui& ui) {
  CAtomicFile::Contents contents = CAtomicFile::ReadRegular(path, kMaxFileSize);
  if (contents.status == CAtomicFile::ReadStatus::TooLarge) {
    ui.Message(FormatText("%s is too large to be a query list.", path.c_str()), "Error");
    return false;
  }
  if (contents.status != CAtomicFile::ReadStatus::Ok) {
    ui.Message("Error creating file", "Error");
    return false;
  }
  Parsed parsed = Parse(contents.text);
  if (!parsed.recognised) {
    return false;
  }
  for (CQueryRecord& record : parsed.records) {
    list.AddLoaded(std::move(record));
  }
  if (parsed.truncated) {
    ui.Message(FormatText("%s ends inside a query.\nThe complete queries before it were loaded; "
                          "the incomplete one was left out.",
                          path.c_str()),
               kAppTitle);
  }
  return true;
}
