#include "CRecordFormatter.h"

#include "CSampleDatabase.h"
#include "CTextIndex.h"
#include "SampleText.h"

std::vector<int> CRecordFormatter::FieldList(const std::string& names,
                                             std::vector<std::string>* unknown) const {
  std::vector<int> fields;
  std::size_t i = 0;
  while (i < names.size()) {
    std::size_t end = names.find_first_of(" \t,;", i);
    if (end == std::string::npos) {
      end = names.size();
    }
    std::string fieldName = names.substr(i, end - i);
    i = end + 1;
    if (fieldName.empty()) {
      continue;
    }
    int field = db.FieldId(fieldName);
    if (field >= 0) {
      fields.push_back(field);
    } else if (unknown) {
      unknown->push_back(fieldName);
    }
  }
  return fields;
}

std::string CRecordFormatter::Title(std::uint32_t record, const std::vector<int>& fields,
                                    const std::string& separator) const {
  std::string title;
  for (int field : fields) {
    std::string line = TrimBlanks(FirstLine(TrimBlanks(db.Value(record, field))));
    if (!line.empty()) {
      title += (title.empty() ? "" : separator) + line;
    }
  }
  return title;
}

CRecordFormatter::Text CRecordFormatter::Fields(
    std::uint32_t record, const std::vector<int>& fields, bool abbreviated,
    const std::vector<HighlightTerm>& highlights) const {
  Text out;
  for (int field : fields) {
    const std::string& value = db.Value(record, field);
    if (value.empty()) {
      continue;
    }
    out.text += (abbreviated ? db.FieldName(field) : db.Caption(field)) + ":";
    std::size_t start = 0;
    bool firstLine = true;
    while (start <= value.size()) {
      std::size_t end = value.find('\n', start);
      if (end == std::string::npos) {
        end = value.size();
      }
      std::string line = value.substr(start, end - start);
      if (firstLine) {
        out.text += line.empty() ? "" : " ";
      } else if (!line.empty()) {
        out.text += "  ";
      }
      MarkMatches(line, out.text.size(), field, highlights, out);
      out.text += line + "\n";
      firstLine = false;
      start = end + 1;
    }
  }
  return out;
}

void CRecordFormatter::MarkMatches(const std::string& value, std::size_t offset, int field,
                                   const std::vector<HighlightTerm>& highlights, Text& out) {
  if (highlights.empty()) {
    return;
  }
  for (const auto& token : CTextIndex::Tokenize(value)) {
    for (const HighlightTerm& h : highlights) {
      bool fieldMatches = h.field < 0 || h.field == field;
      bool wordMatches =
          h.prefix ? token.text.compare(0, h.word.size(), h.word) == 0 : token.text == h.word;
      if (fieldMatches && wordMatches && out.positions.size() < kMaxPositions) {
        out.positions.emplace_back(static_cast<std::int32_t>(offset + token.start),
                                   static_cast<std::int32_t>(offset + token.end));
        break;
      }
    }
  }
}
