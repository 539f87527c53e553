#include "CFieldValues.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "SampleText.h"

namespace {

const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                               "jul", "aug", "sep", "oct", "nov", "dec"};

bool ValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

std::int64_t DateKey(int year, int month, int day) {
  return static_cast<std::int64_t>(year) * 10000 + month * 100 + day;
}

}  // namespace

void CFieldValues::Add(std::uint32_t record, const std::string& value) {
  std::string heading = TrimBlanks(FirstLine(value));
  if (heading.empty()) {
    // A value on the continuation lines only (the changelog's changes).
    heading = TrimBlanks(FirstLine(TrimBlanks(value)));
  }
  if (auto number = ParseNumber(heading)) {
    numbers.emplace_back(*number, record);
  }
  if (auto date = ParseDate(heading)) {
    dates.emplace_back(*date, record);
  }
  pending.emplace_back(std::move(heading), record);
  ++valueCount;
}

void CFieldValues::Finish() {
  std::stable_sort(pending.begin(), pending.end(),
                   [](const auto& a, const auto& b) { return LessNoCase(a.first, b.first); });
  headings.clear();
  // Values that differ only in case share a heading: "Games" and "games".
  for (auto& [text, record] : pending) {
    if (headings.empty() || !EqualsNoCase(headings.back().text, text)) {
      headings.push_back({std::move(text), {}});
    }
    headings.back().records.push_back(record);
  }
  for (Heading& h : headings) {
    std::sort(h.records.begin(), h.records.end());
  }
  pending.clear();
  pending.shrink_to_fit();
  std::sort(numbers.begin(), numbers.end());
  std::sort(dates.begin(), dates.end());
}

RecordList CFieldValues::Matching(const std::string& value, bool prefix) const {
  std::string wanted = ToLowerAscii(value);
  // Headings are sorted case-insensitively, so the matches are one run.
  auto first = std::lower_bound(
      headings.begin(), headings.end(), wanted,
      [](const Heading& h, const std::string& w) { return ToLowerAscii(h.text) < w; });
  RecordList records;
  for (auto it = first; it != headings.end(); ++it) {
    std::string lower = ToLowerAscii(it->text);
    bool match = prefix ? lower.compare(0, wanted.size(), wanted) == 0 : lower == wanted;
    if (!match) {
      break;
    }
    records.insert(records.end(), it->records.begin(), it->records.end());
  }
  std::sort(records.begin(), records.end());
  records.erase(std::unique(records.begin(), records.end()), records.end());
  return records;
}

RecordList CFieldValues::InRange(const Keys& keys, std::int64_t low, std::int64_t high) {
  auto first = std::lower_bound(keys.begin(), keys.end(), std::make_pair(low, std::uint32_t{0}));
  RecordList records;
  for (auto it = first; it != keys.end() && it->first <= high; ++it) {
    records.push_back(it->second);
  }
  std::sort(records.begin(), records.end());
  records.erase(std::unique(records.begin(), records.end()), records.end());
  return records;
}

std::optional<std::int64_t> CFieldValues::ParseNumber(const std::string& text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= text.size() || text[i] < '0' || text[i] > '9') {
    return std::nullopt;
  }
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value > (INT64_MAX - 9) / 10) {
      return std::nullopt;
    }
    value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

std::optional<std::int64_t> CFieldValues::ParseDate(const std::string& text) {
  int year = 0, month = 0, day = 0, used = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &year, &month, &day, &used) == 3 && used == 10) {
    if (ValidDate(year, month, day)) {
      return DateKey(year, month, day);
    }
    return std::nullopt;
  }
  // "Sat, 31 Dec 2022 ..." or "31 Dec 2022 ...".
  std::string rest = text;
  std::size_t comma = rest.find(',');
  if (comma != std::string::npos && comma <= 4) {
    rest = rest.substr(comma + 1);
  }
  char name[4] = {};
  if (std::sscanf(rest.c_str(), " %2d %3[A-Za-z] %4d", &day, name, &year) != 3) {
    return std::nullopt;
  }
  std::string lower = ToLowerAscii(name);
  for (int m = 0; m < 12; ++m) {
    if (lower == kMonths[m] && ValidDate(year, m + 1, day)) {
      return DateKey(year, m + 1, day);
    }
  }
  return std::nullopt;
}
