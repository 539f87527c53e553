#include "CSampleDatabase.h"

#include <sstream>

#include "SampleText.h"
#include "app/FormatText.h"

namespace {

const std::string kEmpty;

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  std::string word;
  while (in >> word) {
    words.push_back(word);
  }
  return words;
}

// "Installed-Size" reads as "Installed Size" where no caption is given.
std::string DefaultCaption(const std::string& fieldName) {
  std::string caption = fieldName;
  for (char& c : caption) {
    if (c == '-' || c == '_') {
      c = ' ';
    }
  }
  return caption;
}

}  // namespace

bool CSampleDatabase::LoadFile(const std::string& dbName, const std::string& path,
                               std::string& error) {
  std::vector<StanzaRecord> stanzas;
  if (!CStanzaReader::ReadFile(path, stanzas, error)) {
    return false;
  }
  Load(dbName, std::move(stanzas));
  return true;
}

void CSampleDatabase::Load(const std::string& dbName, std::vector<StanzaRecord> stanzas) {
  name = dbName;
  title = dbName;
  std::size_t first = 0;
  if (!stanzas.empty() && EqualsNoCase(stanzas[0].fields[0].first, "Database")) {
    ReadHeader(stanzas[0]);
    first = 1;
  }
  for (std::size_t s = first; s < stanzas.size(); ++s) {
    std::vector<std::string> row(fieldNames.size());
    for (auto& [fieldName, value] : stanzas[s].fields) {
      auto field = static_cast<std::size_t>(AddField(fieldName));
      row.resize(fieldNames.size());
      // A field given twice keeps both values, one per line.
      row[field] = row[field].empty() ? std::move(value) : row[field] + "\n" + value;
    }
    values.push_back(std::move(row));
  }
  fieldValues.assign(fieldNames.size(), CFieldValues());
  for (std::uint32_t r = 0; r < RecordCount(); ++r) {
    for (int f = 0; f < FieldCount(); ++f) {
      const std::string& value = Value(r, f);
      if (!value.empty()) {
        index.Add(r, f, value);
        fieldValues[f].Add(r, value);
      }
    }
  }
  index.Finish();
  for (CFieldValues& v : fieldValues) {
    v.Finish();
  }
  captions.resize(fieldNames.size());
  defaults.assign(fieldNames.size(), headerDefaults.empty());
  for (int f = 0; f < FieldCount(); ++f) {
    captions[f] = DefaultCaption(fieldNames[f]);
    for (const auto& [captionField, caption] : headerCaptions) {
      if (EqualsNoCase(captionField, fieldNames[f])) {
        captions[f] = caption;
      }
    }
    for (const std::string& d : headerDefaults) {
      if (EqualsNoCase(d, fieldNames[f])) {
        defaults[f] = true;
      }
    }
  }
}

void CSampleDatabase::ReadHeader(const StanzaRecord& header) {
  for (const auto& [field, value] : header.fields) {
    if (EqualsNoCase(field, "Database")) {
      title = FirstLine(value);
    } else if (EqualsNoCase(field, "About")) {
      about = value;
    } else if (EqualsNoCase(field, "Default-Fields")) {
      headerDefaults = Words(value);
    } else if (EqualsNoCase(field, "Captions")) {
      std::istringstream lines(value);
      std::string line;
      while (std::getline(lines, line)) {
        std::size_t colon = line.find(':');
        if (colon != std::string::npos) {
          headerCaptions.emplace_back(TrimBlanks(line.substr(0, colon)),
                                      TrimBlanks(line.substr(colon + 1)));
        }
      }
    }
  }
}

int CSampleDatabase::AddField(const std::string& fieldName) {
  int existing = FieldId(fieldName);
  if (existing >= 0) {
    return existing;
  }
  fieldNames.push_back(fieldName);
  return FieldCount() - 1;
}

int CSampleDatabase::FieldId(const std::string& fieldName) const {
  for (int f = 0; f < FieldCount(); ++f) {
    if (EqualsNoCase(fieldNames[f], fieldName)) {
      return f;
    }
  }
  return -1;
}

const std::string& CSampleDatabase::Value(std::uint32_t record, int field) const {
  const std::vector<std::string>& row = values[record];
  return field >= 0 && static_cast<std::size_t>(field) < row.size() ? row[field] : kEmpty;
}

RecordList CSampleDatabase::RecordsWithField(int field) const {
  RecordList records;
  for (std::uint32_t r = 0; r < RecordCount(); ++r) {
    if (field < 0 || !Value(r, field).empty()) {
      records.push_back(r);
    }
  }
  return records;
}

std::string CSampleDatabase::Description() const {
  std::string text = title + "\n";
  if (!about.empty()) {
    text += "\n" + about + "\n";
  }
  std::string fields;
  for (const std::string& f : fieldNames) {
    fields += (fields.empty() ? "" : ", ") + f;
  }
  text += FormatText("\n%u records; fields: %s", RecordCount(), fields.c_str());
  return text;
}
