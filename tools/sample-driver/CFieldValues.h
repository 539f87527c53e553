#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "CTextIndex.h"

// The whole values of one field across a database: the sorted headings (first
// lines, one for values that differ only in case) with the records holding each, for browse lists
// and FIELD=VALUE limits, and the numbers and dates the values start with, for range searches.
class CFieldValues {
 public:
  struct Heading {
    std::string text;
    RecordList records;
  };
  using Keys = std::vector<std::pair<std::int64_t, std::uint32_t>>;  // sorted by key

  void Add(std::uint32_t record, const std::string& value);
  void Finish();

  const std::vector<Heading>& Headings() const { return headings; }
  // Records whose heading equals `value` ignoring case, or begins with it
  // when `prefix` is set.
  RecordList Matching(const std::string& value, bool prefix) const;
  // Records whose key lies in [low, high].
  static RecordList InRange(const Keys& keys, std::int64_t low, std::int64_t high);
  const Keys& NumberKeys() const { return numbers; }
  const Keys& DateKeys() const { return dates; }
  // Whether every value of the field starts with a number, or with a date.
  bool AllNumbers() const { return !numbers.empty() && numbers.size() == valueCount; }
  bool AllDates() const { return !dates.empty() && dates.size() == valueCount; }

  // A leading decimal integer ("7164", "-3 days"); none without digits.
  static std::optional<std::int64_t> ParseNumber(const std::string& text);
  // A date as year*10000 + month*100 + day, from "2022-12-31..." or from
  // "[Sat, ]31 Dec 2022 ..." (the changelog form).
  static std::optional<std::int64_t> ParseDate(const std::string& text);

 private:
  std::vector<std::pair<std::string, std::uint32_t>> pending;
  std::vector<Heading> headings;
  Keys numbers;
  Keys dates;
  std::size_t valueCount = 0;
};
