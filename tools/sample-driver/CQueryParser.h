#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Range kinds of a term record, as the client numbers them.
enum RangeKind {
  RANGE_NONE = 0,
  RANGE_NUMERIC = 1,
  RANGE_YEAR = 2,
  RANGE_MONTH = 3,
  RANGE_DAY = 4
};

// One term record of a search request.
struct TermRecord {
  int rangeType = RANGE_NONE;
  std::string text;
  std::string fieldCommand;
};

struct SearchRequest {
  std::vector<TermRecord> terms;
  std::vector<std::string> limits;
};

// A word or a "quoted phrase", split into index words. With `prefix` the last
// word was typed with a trailing "*". No words and `prefix`: a lone "*".
struct WordUnit {
  std::vector<std::string> words;
  bool prefix = false;
};

// Alternatives joined by " OR ", each a list of units that must all match.
struct TermExpression {
  std::vector<std::vector<WordUnit>> alternatives;
};

// Inclusive bounds: numbers for NUMERIC, year*10000 + month*100 + day for dates.
struct RangeBounds {
  std::int64_t low;
  std::int64_t high;
};

// Reads the body of a search request and the texts inside it. Every failure
// comes with a text fit to show the user.
class CQueryParser {
 public:
  // Far above what the search form sends; bounds the work one request costs.
  static constexpr int kMaxRecords = 32;
  static constexpr std::size_t kMaxWords = 32;

  // Term records carry a range-type byte (0-4) in front of their text; a
  // record whose first byte is above 4 has none (the basic mode page sends
  // its one record that way) and is a plain text term.
  static bool ParseBody(const std::string& body, int termCount, int limitCount,
                        SearchRequest& request, std::string& error);
  // Words are ANDed; " OR " separates alternatives; "quoted phrases"; a
  // trailing "*" truncates. "AND" between words is allowed and changes nothing.
  static bool ParseTerms(const std::string& text, TermExpression& expression, std::string& error);
  // "m/d/y m/d/y" (0 = unset). Unset ends are open; a YEAR range covers whole
  // years, a MONTH range whole months (or years when no month is given), a
  // DAY range single days (or the months or years given). Reversed ends swap.
  static bool ParseRange(const std::string& text, int rangeType, RangeBounds& bounds,
                         std::string& error);
  // True when `text` has the form of a range text.
  static bool LooksLikeRange(const std::string& text);
};
