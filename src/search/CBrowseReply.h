#pragma once

#include <string>
#include <string_view>
#include <vector>

// The body of a browse reply: text fields, each ended by 0x1E or a line feed.
// The first reply of a list carries the list header (total, columns, lines
// per entry), every later one consecutive entries of n fields each. Nothing
// here reads past the body it is given, whatever the counts in it claim.
class CBrowseReply {
 public:
  static constexpr int kMaxColumns = 10;
  static constexpr std::size_t kMaxColumnName = 63;
  static constexpr std::size_t kMaxFieldValue = 239;
  static constexpr std::size_t kFlagCount = 5;

  enum class Result {
    Ok,
    Unusable,  // a negative (or zero) count: the list stays empty
    Malformed  // the driver broke the format: a protocol error
  };

  struct Column {
    std::string name;
    int width = 0;  // characters; 0 = unlimited
    int order = 0;  // 1-based place in the displayed line; 0 = its own place
    bool pick = false;
    bool displayed = false;
    bool nameInHeading = false;
  };

  struct Header {
    int total = 0;
    int linesPerEntry = 1;
    std::vector<Column> columns;
    // Indices of the displayed columns, in display order.
    std::vector<int> displayOrder;

    // The label above the list: the names of the heading columns, padded to
    // their widths; one per line when entries have several lines.
    std::string HeadingLine() const;
  };

  struct Entry {
    std::string display;
    std::string pick;
  };

  static Result ReadHeader(std::string_view body, Header& header);

  // Reads the entries of a window that starts at entry `first`, at most
  // `maxEntries` of them. Malformed when the body ends inside an entry or
  // holds entries beyond the list's total; `entries` is then left alone.
  static Result ReadEntries(std::string_view body, const Header& header, int first, int maxEntries,
                            std::vector<Entry>& entries);

  // The line shown for one entry from its fields (one per column).
  static std::string DisplayText(const Header& header, const std::vector<std::string_view>& fields);
};
