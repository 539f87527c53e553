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

namespace {

// A settings file is a few kilobytes. Anything far larger is not ours, and we
// neither load it whole nor replace it.
constexpr off_t kMaxFileSize = 16 * 1024 * 1024;
// Writers hold the lock for milliseconds. One stuck far longer (a stopped
// process) makes our write fail rather than freeze the program.
constexpr auto kLockWait = std::chrono::seconds(5);
constexpr auto kLockRetry = std::chrono::milliseconds(2);
constexpr const char* kTempSuffix = ".tmp";
constexpr size_t kTempRandomLength = 6;  // the XXXXXX of mkostemp

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

// ---------------------------------------------------------------------------
// Files.

enum class ReadStatus { Ok, Missing, Unreadable };

struct FileContents {
  ReadStatus status = ReadStatus::Missing;
  std::string text;
  struct stat info {};
};

// Only a regular file of sane size is read; a FIFO or device at the settings
// path must not block or flood us.
FileContents ReadWholeFile(const std::string& path) {
  FileContents contents;
  if (path.empty()) {
    return contents;
  }
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    contents.status =
        errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Unreadable;
    return contents;
  }
  contents.status = ReadStatus::Unreadable;
  if (fstat(fd, &contents.info) == 0 && S_ISREG(contents.info.st_mode) &&
      contents.info.st_size <= kMaxFileSize) {
    char buffer[65536];
    bool failed = false;
    while (!failed) {
      ssize_t got = read(fd, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) {
        continue;
      }
      failed = got < 0 ||
               contents.text.size() + static_cast<size_t>(got) > static_cast<size_t>(kMaxFileSize);
      if (got <= 0) {
        break;
      }
      contents.text.append(buffer, static_cast<size_t>(got));
    }
    if (!failed) {
      contents.status = ReadStatus::Ok;
    }
  }
  close(fd);
  if (contents.status != ReadStatus::Ok) {
    contents.text.clear();
  }
  return contents;
}

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    return ".";
  }
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MakeDirectories(const std::string& dir) {
  if (IsDirectory(dir)) {
    return true;
  }
  for (size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
    std::string part = dir.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      return false;
    }
    if (slash == std::string::npos) {
      break;
    }
  }
  return IsDirectory(dir);
}

// A settings file kept elsewhere and linked here (dotfile managers do this)
// is updated where it lives instead of being replaced by a plain file.
std::string ResolveLink(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
    return path;
  }
  char* real = realpath(path.c_str(), nullptr);
  if (real == nullptr) {
    return path;
  }
  std::string resolved = real;
  free(real);
  return resolved;
}

// The lock lives in a sidecar file: the settings file itself is replaced on
// every write, so a lock on it would not be shared with the next writer.
int LockSidecar(const std::string& lockPath) {
  int fd = open(lockPath.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
  if (fd < 0) {
    return -1;
  }
  auto deadline = std::chrono::steady_clock::now() + kLockWait;
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    bool retry = errno == EWOULDBLOCK || errno == EINTR;
    if (!retry || std::chrono::steady_clock::now() >= deadline) {
      close(fd);
      return -1;
    }
    std::this_thread::sleep_for(kLockRetry);
  }
  return fd;
}

// Under the lock no other writer is between creating and renaming its temp
// file, so any temp file left over is from a writer that was killed.
void RemoveStaleTempFiles(const std::string& dir, const std::string& target) {
  std::string prefix = BaseNameOf(target) + kTempSuffix;
  DIR* listing = opendir(dir.c_str());
  if (listing == nullptr) {
    return;
  }
  while (dirent* item = readdir(listing)) {
    std::string_view name = item->d_name;
    if (name.size() == prefix.size() + kTempRandomLength && name.starts_with(prefix)) {
      unlinkat(dirfd(listing), item->d_name, 0);
    }
  }
  closedir(listing);
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    ssize_t put = write(fd, text.data(), text.size());
    if (put < 0 && errno == EINTR) {
      continue;
    }
    if (put <= 0) {
      return false;
    }
    text.remove_prefix(static_cast<size_t>(put));
  }
  return true;
}

void SyncDirectory(const std::string& dir) {
  int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
}

// Writes the new text beside the target and renames it over: readers see the
// old file or the new one, never a part of either.
bool ReplaceFile(const std::string& target, const std::string& text, const FileContents& old) {
  std::string dir = DirectoryOf(target);
  std::string tempPath = target + kTempSuffix + std::string(kTempRandomLength, 'X');
  int fd = mkostemp(tempPath.data(), O_CLOEXEC);
  if (fd < 0) {
    return false;
  }
  if (old.status == ReadStatus::Ok) {
    fchmod(fd, old.info.st_mode & 07777);
    // Keeps the user's ownership when run privileged; otherwise a harmless no-op.
    int chowned = fchown(fd, old.info.st_uid, old.info.st_gid);
    (void)chowned;
  }
  bool ok = WriteAll(fd, text) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(tempPath.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(tempPath.c_str());
    return false;
  }
  SyncDirectory(dir);
  return true;
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
  FileContents contents = ReadWholeFile(filePath);
  EntryLocation where = LocateEntry(contents.text, section, entry);
  return where.found ? where.value : defaultText;
}

int CSettingsStore::ReadSettingInt(const std::string& section, const std::string& entry,
                                   int defaultValue) const {
  FileContents contents = ReadWholeFile(filePath);
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
  FileContents contents = ReadWholeFile(filePath);
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

// A file we cannot read is never replaced: writing what we know would throw
// away everything we could not see.
bool CSettingsStore::WriteEntries(const std::vector<Assignment>& assignments) {
  if (filePath.empty()) {
    return false;
  }
  std::string target = ResolveLink(filePath);
  std::string dir = DirectoryOf(target);
  if (!MakeDirectories(dir)) {
    return false;
  }
  int lockFd = LockSidecar(target + ".lock");
  if (lockFd < 0) {
    return false;
  }
  FileContents contents = ReadWholeFile(target);
  bool ok = contents.status != ReadStatus::Unreadable;
  if (ok) {
    std::string text = contents.text;
    bool changed = contents.status == ReadStatus::Missing;
    for (const Assignment& assignment : assignments) {
      changed =
          AssignEntry(text, assignment.section, assignment.entry, assignment.value) || changed;
    }
    if (changed) {
      RemoveStaleTempFiles(dir, target);
      ok = ReplaceFile(target, text, contents);
    }
  }
  close(lockFd);
  return ok;
}
