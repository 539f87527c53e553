#include "CBrowseLists.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "CSampleDatabase.h"
#include "SampleText.h"
#include "app/FormatText.h"

namespace {

constexpr char kSeparator = '\x1e';
constexpr std::size_t kMaxFieldText = 239;

// A heading as one reply field: no separators inside, at most the length the
// client keeps.
std::string ReplyField(const std::string& text) {
  std::string field = text.substr(0, kMaxFieldText);
  for (char& c : field) {
    if (c == kSeparator || c == '\n' || c == '\r') {
      c = ' ';
    }
  }
  return field + kSeparator;
}

std::int32_t ClampAnchor(long anchor, std::size_t total) {
  if (anchor < 0 || total == 0) {
    return 0;
  }
  return static_cast<std::int32_t>(
      std::min<std::size_t>(static_cast<std::size_t>(anchor), total - 1));
}

}  // namespace

const std::vector<CBrowseLists::Entry>* CBrowseLists::Find(const std::string& listName) {
  std::string key = ToLowerAscii(TrimBlanks(listName));
  auto found = lists.find(key);
  if (found != lists.end()) {
    return &found->second;
  }
  std::vector<Entry> entries;
  int field = db.FieldId(TrimBlanks(listName));
  const std::string kWords = " words";
  if (field >= 0) {
    for (const auto& heading : db.Values(field).Headings()) {
      entries.push_back({heading.text, static_cast<std::uint32_t>(heading.records.size())});
    }
  } else if (key.size() > kWords.size() && key.ends_with(kWords)) {
    field = db.FieldId(TrimBlanks(key.substr(0, key.size() - kWords.size())));
    if (field < 0) {
      return nullptr;
    }
    for (auto& term : db.Index().FieldTerms(field)) {
      entries.push_back({std::move(term.term), term.records});
    }
  } else {
    return nullptr;
  }
  return &lists.emplace(key, std::move(entries)).first->second;
}

CBrowseLists::Reply CBrowseLists::Header(const std::string& listName,
                                         const std::vector<Entry>& entries) {
  // Per column: name, width, display order, then five flags (pick value,
  // shown, name in the heading line in places 2 to 4).
  std::string body =
      FormatText("%zu", entries.size()) + kSeparator + "2" + kSeparator + "1" + kSeparator;
  body +=
      ReplyField(TrimBlanks(listName)) + "0" + kSeparator + "2" + kSeparator + "01110" + kSeparator;
  body += ReplyField("Records") + "7" + kSeparator + "1" + kSeparator + "00110" + kSeparator;
  return {0, body};
}

CBrowseLists::Reply CBrowseLists::Window(const std::vector<Entry>& entries,
                                         const std::string& anchorText, int count, int before) {
  errno = 0;
  char* end = nullptr;
  long anchor = std::strtol(anchorText.c_str(), &end, 10);
  if (end == anchorText.c_str() || errno == ERANGE) {
    anchor = 0;
  }
  return Entries(entries, ClampAnchor(anchor, entries.size()), count, before);
}

CBrowseLists::Reply CBrowseLists::Jump(const std::vector<Entry>& entries, const std::string& text,
                                       int count, int before) {
  std::string wanted = ToLowerAscii(text);
  auto it = std::lower_bound(
      entries.begin(), entries.end(), wanted,
      [](const Entry& e, const std::string& w) { return ToLowerAscii(e.heading) < w; });
  long match = static_cast<long>(it - entries.begin());
  return Entries(entries, ClampAnchor(match, entries.size()), count, before);
}

CBrowseLists::Reply CBrowseLists::Entries(const std::vector<Entry>& entries, std::int32_t anchor,
                                          int count, int before) {
  count = std::clamp(count, 0, kMaxWindow);
  std::size_t first =
      static_cast<std::size_t>(std::max<long>(0, long{anchor} - std::max(before, 0)));
  Reply reply{anchor, ""};
  for (std::size_t i = first; i < entries.size() && i < first + static_cast<std::size_t>(count);
       ++i) {
    reply.body += ReplyField(entries[i].heading);
    reply.body += FormatText("%u", entries[i].records) + kSeparator;
  }
  return reply;
}
