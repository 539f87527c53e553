#include "CQueryParser.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <utility>

#include "CTextIndex.h"
#include "app/FormatText.h"

namespace {

struct RangeEnd {
  int month = 0;
  int day = 0;
  int year = 0;
  bool IsSet() const { return month != 0 || day != 0 || year != 0; }
};

bool ReadZeroTerminated(const std::string& body, std::size_t& offset, std::string& text) {
  std::size_t zero = body.find('\0', offset);
  if (zero == std::string::npos) {
    return false;
  }
  text = body.substr(offset, zero - offset);
  offset = zero + 1;
  return true;
}

bool ScanRange(const std::string& text, RangeEnd& from, RangeEnd& to) {
  int used = 0;
  if (std::sscanf(text.c_str(), "%d/%d/%d %d/%d/%d %n", &from.month, &from.day, &from.year,
                  &to.month, &to.day, &to.year, &used) != 6) {
    return false;
  }
  return static_cast<std::size_t>(used) == text.size();
}

// The first or last day an end stands for, given the parts its kind uses.
std::int64_t DateBound(RangeEnd end, int rangeType, bool low) {
  int month = rangeType >= RANGE_MONTH ? end.month : 0;
  int day = rangeType >= RANGE_DAY && month != 0 ? end.day : 0;
  if (month == 0) {
    return static_cast<std::int64_t>(end.year) * 10000 + (low ? 101 : 1231);
  }
  if (day == 0) {
    return static_cast<std::int64_t>(end.year) * 10000 + month * 100 + (low ? 1 : 31);
  }
  return static_cast<std::int64_t>(end.year) * 10000 + month * 100 + day;
}

// Adds one typed word (or the inside of a phrase) to the current alternative.
void AddUnit(const std::string& raw, std::vector<WordUnit>& alternative) {
  std::string trimmed = raw;
  while (!trimmed.empty() && trimmed.back() == ' ') {
    trimmed.pop_back();
  }
  WordUnit unit;
  unit.prefix = !trimmed.empty() && trimmed.back() == '*';
  for (auto& token : CTextIndex::Tokenize(trimmed)) {
    unit.words.push_back(std::move(token.text));
  }
  // Punctuation alone finds nothing and is dropped; "*" alone stays.
  if (!unit.words.empty() || trimmed == "*") {
    alternative.push_back(std::move(unit));
  }
}

}  // namespace

bool CQueryParser::ParseBody(const std::string& body, int termCount, int limitCount,
                             SearchRequest& request, std::string& error) {
  if (termCount < 0 || limitCount < 0 || termCount > kMaxRecords || limitCount > kMaxRecords) {
    error = FormatText("Malformed search request: %d terms and %d limits", termCount, limitCount);
    return false;
  }
  std::size_t offset = 0;
  for (int i = 0; i < termCount; ++i) {
    TermRecord term;
    if (offset < body.size() && static_cast<unsigned char>(body[offset]) <= RANGE_DAY) {
      term.rangeType = static_cast<unsigned char>(body[offset]);
      ++offset;
    }
    if (!ReadZeroTerminated(body, offset, term.text) ||
        !ReadZeroTerminated(body, offset, term.fieldCommand)) {
      error = FormatText("Malformed search request: term %d is incomplete", i + 1);
      return false;
    }
    request.terms.push_back(std::move(term));
  }
  for (int i = 0; i < limitCount; ++i) {
    std::string limit;
    if (!ReadZeroTerminated(body, offset, limit)) {
      error = FormatText("Malformed search request: limit %d is incomplete", i + 1);
      return false;
    }
    request.limits.push_back(std::move(limit));
  }
  return true;
}

bool CQueryParser::ParseTerms(const std::string& text, TermExpression& expression,
                              std::string& error) {
  expression.alternatives.assign(1, {});
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ' || text[i] == '\t') {
      ++i;
      continue;
    }
    if (text[i] == '"') {
      std::size_t close = text.find('"', i + 1);
      std::size_t end = close == std::string::npos ? text.size() : close;
      AddUnit(text.substr(i + 1, end - i - 1), expression.alternatives.back());
      i = close == std::string::npos ? text.size() : close + 1;
      continue;
    }
    std::size_t end = text.find_first_of(" \t", i);
    if (end == std::string::npos) {
      end = text.size();
    }
    std::string word = text.substr(i, end - i);
    if (word == "OR") {
      expression.alternatives.emplace_back();
    } else if (word != "AND") {
      AddUnit(word, expression.alternatives.back());
    }
    i = end;
  }
  std::erase_if(expression.alternatives, [](const auto& a) { return a.empty(); });
  std::size_t words = 0;
  for (const auto& alternative : expression.alternatives) {
    for (const WordUnit& unit : alternative) {
      words += std::max<std::size_t>(1, unit.words.size());
    }
  }
  if (words > kMaxWords) {
    error = FormatText("Too many words in one search field (at most %zu)", kMaxWords);
    return false;
  }
  if (expression.alternatives.empty()) {
    error = FormatText("Nothing to search for in \"%s\"", text.c_str());
    return false;
  }
  return true;
}

bool CQueryParser::LooksLikeRange(const std::string& text) {
  RangeEnd from, to;
  return ScanRange(text, from, to);
}

bool CQueryParser::ParseRange(const std::string& text, int rangeType, RangeBounds& bounds,
                              std::string& error) {
  RangeEnd from, to;
  if (!ScanRange(text, from, to)) {
    error =
        FormatText("Invalid range \"%s\": expected month/day/year month/day/year", text.c_str());
    return false;
  }
  if (!from.IsSet() && !to.IsSet()) {
    error = FormatText("The range \"%s\" has neither end set", text.c_str());
    return false;
  }
  constexpr std::int64_t kLowest = std::numeric_limits<std::int64_t>::min();
  constexpr std::int64_t kHighest = std::numeric_limits<std::int64_t>::max();
  if (rangeType == RANGE_NUMERIC) {
    bounds.low = from.IsSet() ? from.year : kLowest;
    bounds.high = to.IsSet() ? to.year : kHighest;
  } else {
    for (const RangeEnd* end : {&from, &to}) {
      if (end->IsSet() &&
          (end->year <= 0 || end->month < 0 || end->month > 12 || end->day < 0 || end->day > 31)) {
        error = FormatText("Invalid date in the range \"%s\"", text.c_str());
        return false;
      }
    }
    bounds.low = from.IsSet() ? DateBound(from, rangeType, true) : kLowest;
    bounds.high = to.IsSet() ? DateBound(to, rangeType, false) : kHighest;
  }
  if (bounds.low > bounds.high) {
    RangeBounds swapped{bounds.high, bounds.low};
    if (rangeType != RANGE_NUMERIC) {
      // Swapping the computed bounds would cut both ends short; swap the ends.
      swapped = {DateBound(to, rangeType, true), DateBound(from, rangeType, false)};
    }
    bounds = swapped;
  }
  return true;
}
