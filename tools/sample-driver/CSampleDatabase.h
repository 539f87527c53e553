#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CFieldValues.h"
#include "CStanzaReader.h"
#include "CTextIndex.h"

// One database the driver serves: the records of a stanza file, its fields in
// the order they first appear, and the index and value tables built from them
// at start-up.
//
// A first stanza that starts with a "Database" field describes the database
// instead of being a record: "Database" (its title), "About" (a description,
// several lines), "Captions" (one "Field: caption" line per field) and
// "Default-Fields" (the fields full records include by default; all when
// absent).
class CSampleDatabase {
 public:
  bool LoadFile(const std::string& name, const std::string& path, std::string& error);
  void Load(const std::string& name, std::vector<StanzaRecord> stanzas);

  const std::string& Name() const { return name; }
  // The text the driver sends when the database is opened.
  std::string Description() const;
  std::uint32_t RecordCount() const { return static_cast<std::uint32_t>(values.size()); }
  int FieldCount() const { return static_cast<int>(fieldNames.size()); }
  const std::string& FieldName(int field) const { return fieldNames[field]; }
  const std::string& Caption(int field) const { return captions[field]; }
  bool IncludedByDefault(int field) const { return defaults[field]; }
  // The field called `fieldName` ignoring case; -1 when there is none.
  int FieldId(const std::string& fieldName) const;
  // "" when the record has no such field.
  const std::string& Value(std::uint32_t record, int field) const;

  const CTextIndex& Index() const { return index; }
  const CFieldValues& Values(int field) const { return fieldValues[field]; }
  // Records with a non-empty value in `field` (-1: every record).
  RecordList RecordsWithField(int field) const;

 private:
  void ReadHeader(const StanzaRecord& header);
  int AddField(const std::string& fieldName);

  std::string name;
  std::string title;
  std::string about;
  std::vector<std::string> fieldNames;
  std::vector<std::string> captions;
  std::vector<bool> defaults;
  std::vector<std::pair<std::string, std::string>> headerCaptions;
  std::vector<std::string> headerDefaults;
  std::vector<std::vector<std::string>> values;  // per record, per field
  CTextIndex index;
  std::vector<CFieldValues> fieldValues;
};
