#include "app/CSettingsStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <thread>
#include <utility>

#include "app/AppNames.h"
#include "app/FormatText.h"
#include "app/SettingsNames.h"
#include "platform/CAtomicFile.h"

namespace {

// A settings file is a few kilobytes. Anything far larger is not ours, and we
// neither load it whole nor replace it.
constexpr off_t kMaxFileSize = 16 * 1024 * 1024;
using ReadStatus = CAtomicFile::ReadStatus;
using FileContents = CAtomicFile::Contents;

// ---------------------------------------------------------------------------
// Escapes. Names and values may hold any byte; a backslash escape keeps line
// feeds, control bytes and the characters that carry meaning in the file
// ('=' in entry names, brackets in section names) from breaking the line
// structure. Spaces at either end are escaped because lines are trimmed.

enum class Field { Section, Entry, Value };

bool IsRawControl(unsigned char c) {
  return c < 0x20 || c == 0x7f;
}

bool NeedsBackslash(char c, size_t pos, Field field) {
  if (c == '\\') {
    return true;
  }
  switch (field) {
    case Field::Section:
      return c == '[' || c == ']';
    case Field::Entry:
      // A leading '[' would read as a section, a leading ';' or '#' as a comment.
      return c == '=' || (pos == 0 && (c == '[' || c == ';' || c == '#'));
    case Field::Value:
      return false;
  }
  return false;
}

std::string Escape(std::string_view text, Field field) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    auto byte = static_cast<unsigned char>(c);
    bool atEdge = i == 0 || i + 1 == text.size();
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (IsRawControl(byte) || (c == ' ' && atEdge)) {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xf];
    } else if (NeedsBackslash(c, i, field)) {
      out += '\\';
      out += c;
    } else {
      out += c;
    }
  }
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

// Unknown escapes keep their backslash, so a hand-typed "C:\Temp" survives.
std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (c != '\\' || i + 1 == text.size()) {
      out += c;
    } else if (next == 'n' || next == 'r' || next == 't') {
      out += next == 'n' ? '\n' : next == 'r' ? '\r' : '\t';
      ++i;
    } else if (next == '\\' || next == '=' || next == '[' || next == ']' || next == ';' ||
               next == '#') {
      out += next;
      ++i;
    } else if (next == 'x' && i + 3 < text.size() && HexValue(text[i + 2]) >= 0 &&
               HexValue(text[i + 3]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3]));
      i += 3;
    } else {
      out += c;
    }
  }
  return out;
}

// Position of the first `wanted` not taken by a backslash escape.
size_t FindUnescaped(std::string_view text, char wanted, size_t from) {
  for (size_t i = from; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
    } else if (text[i] == wanted) {
      return i;
    }
  }
  return std::string_view::npos;
}

std::string_view Trim(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) {
    return {};
  }
  size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

// ---------------------------------------------------------------------------
// Lines. We never write raw control bytes, so a line holding one is not ours:
// it is left alone and nothing is read from it. A line that starts like a
// section but is not a valid one ends the current section, so the entries
// below a damaged section line are not taken for another section's.

enum class LineKind { Blank, Section, BadSection, Entry, Other };

struct Line {
  LineKind kind = LineKind::Other;
  std::string_view name;  // still escaped
  std::string_view value;
};

bool HasRawControl(std::string_view text) {
  for (char c : text) {
    if (c != '\t' && IsRawControl(static_cast<unsigned char>(c))) {
      return true;
    }
  }
  return false;
}

Line ClassifyLine(std::string_view raw) {
  if (!raw.empty() && raw.back() == '\r') {
    raw.remove_suffix(1);  // written by a Windows editor
  }
  std::string_view text = Trim(raw);
  Line line;
  if (text.empty() || text[0] == ';' || text[0] == '#') {
    line.kind = LineKind::Blank;
  } else if (text[0] == '[') {
    size_t close = FindUnescaped(text, ']', 1);
    bool valid = !HasRawControl(text) && close == text.size() - 1;
    line.kind = valid ? LineKind::Section : LineKind::BadSection;
    if (valid) {
      line.name = Trim(text.substr(1, close - 1));
    }
  } else if (!HasRawControl(text)) {
    size_t equals = FindUnescaped(text, '=', 0);
    if (equals != std::string_view::npos) {
      line.kind = LineKind::Entry;
      line.name = Trim(text.substr(0, equals));
      line.value = Trim(text.substr(equals + 1));
    }
  }
  return line;
}

// Where an entry is, or where it would go. Offsets are into the file text.
struct EntryLocation {
  bool found = false;
  size_t lineBegin = 0;  // the entry's line, without its line feed
  size_t lineEnd = 0;
  std::string value;
  bool sectionSeen = false;
  size_t insertAt = 0;  // just past the last non-blank line of the section's last block
};

// The first occurrence of an entry counts; later duplicates are left as they are.
EntryLocation LocateEntry(std::string_view text, std::string_view section, std::string_view entry) {
  EntryLocation where;
  bool inSection = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t feed = text.find('\n', pos);
    size_t end = feed == std::string_view::npos ? text.size() : feed;
    size_t next = feed == std::string_view::npos ? text.size() : feed + 1;
    Line line = ClassifyLine(text.substr(pos, end - pos));
    if (line.kind == LineKind::Section) {
      inSection = Unescape(line.name) == section;
      where.sectionSeen = where.sectionSeen || inSection;
    } else if (line.kind == LineKind::BadSection) {
      inSection = false;
    }
    if (inSection && line.kind == LineKind::Entry && Unescape(line.name) == entry) {
      where.found = true;
      where.lineBegin = pos;
      where.lineEnd = end;
      where.value = Unescape(line.value);
      return where;
    }
    if (inSection && line.kind != LineKind::Blank) {
      where.insertAt = next;
    }
    pos = next;
  }
  return where;
}

// Stores one entry in the text; false when it already held that value.
bool AssignEntry(std::string& text, const std::string& section, const std::string& entry,
                 const std::string& value) {
  EntryLocation where = LocateEntry(text, section, entry);
  std::string line = Escape(entry, Field::Entry) + "=" + Escape(value, Field::Value);
  if (where.found) {
    if (where.value == value) {
      return false;
    }
    text.replace(where.lineBegin, where.lineEnd - where.lineBegin, line);
    return true;
  }
  if (where.sectionSeen) {
    bool needsFeed = where.insertAt == text.size() && !text.empty() && text.back() != '\n';
    text.insert(where.insertAt, (needsFeed ? "\n" : "") + line + "\n");
    return true;
  }
  if (!text.empty() && text.back() != '\n') {
    text += '\n';
  }
  if (!text.empty() && !text.ends_with("\n\n")) {
    text += '\n';  // a blank line between sections, as people write them
  }
  text += "[" + Escape(section, Field::Section) + "]\n" + line + "\n";
  return true;
}

std::optional<int> ParseInteger(std::string_view text) {
  size_t digitsFrom = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
  if (digitsFrom == text.size()) {
    return std::nullopt;
  }
  for (size_t i = digitsFrom; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') {
      return std::nullopt;
    }
  }
  const char* begin = text.data() + (text[0] == '+' ? 1 : 0);
  const char* end = text.data() + text.size();
  int value = 0;
  auto [stop, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || stop != end) {
    return std::nullopt;  // out of range
  }
  return value;
}

std::string UrlEntryName(int index) {
  return index == 0 ? std::string(kEntryDefaultUrl) : FormatText(kEntryRecentUrlFormat, index);
}

}  // namespace

CSettingsStore::CSettingsStore(std::string filePath) : filePath(std::move(filePath)) {}

std::string CSettingsStore::DefaultPath() {
  std::string base;
  const char* configHome = getenv("XDG_CONFIG_HOME");
  const char* home = getenv("HOME");
  if (configHome != nullptr && configHome[0] == '/') {
    base = configHome;  // a relative value is to be ignored
  } else if (home != nullptr && home[0] != '\0') {
    base = std::string(home) + "/.config";
  } else if (const passwd* user = getpwuid(getuid());
             user != nullptr && user->pw_dir != nullptr && user->pw_dir[0] != '\0') {
    base = std::string(user->pw_dir) + "/.config";
  } else {
    return {};  // nowhere of the user's own: store nothing rather than guess
  }
  return base + "/" + kOrganisation + "/" + kAppTitle + ".conf";
}

std::string CSettingsStore::ReadSettingText(const std::string& section, const std::string& entry,
                                            const std::string& defaultText) const {
  FileContents contents = CAtomicFile::ReadRegular(filePath, kMaxFileSize);
  EntryLocation where = LocateEntry(contents.text, section, entry);
  return where.found ? where.value : defaultText;
}

int CSettingsStore::ReadSettingInt(const std::string& section, const std::string& entry,
                                   int defaultValue) const {
  FileContents contents = CAtomicFile::ReadRegular(filePath, kMaxFileSize);
  EntryLocation where = LocateEntry(contents.text, section, entry);
  std::optional<int> value = where.found ? ParseInteger(where.value) : std::nullopt;
  return value.value_or(defaultValue);
}

bool CSettingsStore::WriteSettingText(const std::string& section, const std::string& entry,
                                      const std::string& text) {
  return WriteEntries({{section, entry, text}});
}

bool CSettingsStore::WriteSettingInt(const std::string& section, const std::string& entry,
                                     int value) {
  return WriteEntries({{section, entry, std::to_string(value)}});
}

std::vector<std::string> CSettingsStore::ReadUrlList() const {
  FileContents contents = CAtomicFile::ReadRegular(filePath, kMaxFileSize);
  std::vector<std::string> urls;
  for (int i = 0; i < kMaxUrlListLength; ++i) {
    EntryLocation where = LocateEntry(contents.text, kSectionDefaultUrl, UrlEntryName(i));
    if (!where.found || where.value.empty()) {
      break;
    }
    urls.push_back(where.value);
  }
  return urls;
}

bool CSettingsStore::WriteUrlList(const std::vector<std::string>& urls) {
  std::vector<Assignment> assignments;
  for (int i = 0; i < kMaxUrlListLength; ++i) {
    size_t index = static_cast<size_t>(i);
    assignments.push_back(
        {kSectionDefaultUrl, UrlEntryName(i), index < urls.size() ? urls[index] : std::string()});
  }
  return WriteEntries(assignments);
}

bool CSettingsStore::IsIntegerSetting(const std::string& section, const std::string& entry) {
  static const std::pair<const char*, const char*> kIntegerSettings[] = {
      {kSectionOptions, kEntrySplash},
      {kSectionOptions, kEntryKiosk},
      {kSectionWindowPosition, kEntryX},
      {kSectionWindowPosition, kEntryY},
      {kSectionWindowPosition, kEntryWidth},
      {kSectionWindowPosition, kEntryHeight},
      {kSectionDefaultDatabase, kEntryDefaultOrder},
      {kSectionFont, kEntrySummarySize},
      {kSectionFont, kEntryAbstractSize},
  };
  for (const auto& [integerSection, integerEntry] : kIntegerSettings) {
    if (section == integerSection && entry == integerEntry) {
      return true;
    }
  }
  return false;
}

const char* CSettingsStore::DescribeWriteStatus(WriteStatus status) {
  switch (status) {
    case WriteStatus::Stored:
      return "";
    case WriteStatus::NoLocation:
      return "no place for the settings file";
    case WriteStatus::NoDirectory:
      return "the settings directory can't be created";
    case WriteStatus::LockBusy:
      return "the settings file is locked by another process";
    case WriteStatus::LockUnsafe:
      return "the settings lock file is a link or not a plain file";
    case WriteStatus::LockFailed:
      return "the settings lock file can't be used";
    case WriteStatus::NotRegular:
      return "the settings file is not a plain file";
    case WriteStatus::Unreadable:
      return "the settings file can't be read";
    case WriteStatus::TooLarge:
      return "the settings file is too large";
    case WriteStatus::ReplaceFailed:
      return "the settings file can't be written";
  }
  return "";
}

std::string CSettingsStore::WriteFailedText(WriteStatus status) const {
  return std::string("Tamsel could not save its settings: ") + DescribeWriteStatus(status) +
         ".\nChanges made now last until Tamsel ends.\n\n" + filePath;
}

bool CSettingsStore::WriteEntries(const std::vector<Assignment>& assignments) {
  lastWriteStatus = StoreEntries(assignments);
  if (lastWriteStatus != reportedStatus) {
    reportedStatus = lastWriteStatus;
    if (lastWriteStatus != WriteStatus::Stored) {
      writeFailed(lastWriteStatus);
    }
  }
  return lastWriteStatus == WriteStatus::Stored;
}

// A file we cannot read is never replaced: writing what we know would throw
// away everything we could not see.
CSettingsStore::WriteStatus CSettingsStore::StoreEntries(
    const std::vector<Assignment>& assignments) {
  if (filePath.empty()) {
    return WriteStatus::NoLocation;
  }
  std::string target = CAtomicFile::ResolveLink(filePath);
  if (!CAtomicFile::MakeDirectories(CAtomicFile::DirectoryOf(target))) {
    return WriteStatus::NoDirectory;
  }
  CAtomicFile::LockStatus lockStatus;
  int lockFd = CAtomicFile::LockSidecar(target + ".lock", lockWait, &lockStatus);
  if (lockFd < 0) {
    return lockStatus == CAtomicFile::LockStatus::Busy     ? WriteStatus::LockBusy
           : lockStatus == CAtomicFile::LockStatus::Unsafe ? WriteStatus::LockUnsafe
                                                           : WriteStatus::LockFailed;
  }
  FileContents contents = CAtomicFile::ReadRegular(target, kMaxFileSize);
  WriteStatus status = WriteStatus::Stored;
  if (contents.status == ReadStatus::TooLarge) {
    status = WriteStatus::TooLarge;
  } else if (contents.status == ReadStatus::Unreadable) {
    bool notRegular = contents.info.st_mode != 0 && !S_ISREG(contents.info.st_mode);
    status = notRegular ? WriteStatus::NotRegular : WriteStatus::Unreadable;
  } else {
    std::string text = contents.text;
    bool changed = contents.status == ReadStatus::Missing;
    for (const Assignment& assignment : assignments) {
      changed =
          AssignEntry(text, assignment.section, assignment.entry, assignment.value) || changed;
    }
    if (changed) {
      CAtomicFile::RemoveStaleTempFiles(target);
      if (!CAtomicFile::Replace(target, text, 0600)) {
        status = WriteStatus::ReplaceFailed;
      }
    }
  }
  CAtomicFile::Unlock(lockFd);
  return status;
}
