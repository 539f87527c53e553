#include "output/CResultHeaders.h"

#include "app/FormatText.h"

namespace {

constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::size_t kLabelWidth = 18;
constexpr int kMaxLimitBoxes = 4;

std::tm LocalTimeNow() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

// The names are English whatever the locale, so no strftime.
const char* Name(const char* const* names, int count, int index) {
  return names[((index % count) + count) % count];
}

}  // namespace

CResultHeaders::CResultHeaders() : localTime(LocalTimeNow) {}

std::string CResultHeaders::TimeStamp(const std::tm& time) {
  return FormatText("%s %s %02d %02d:%02d:%02d %04d\n", Name(kWeekdays, 7, time.tm_wday),
                    Name(kMonths, 12, time.tm_mon), time.tm_mday, time.tm_hour, time.tm_min,
                    time.tm_sec, time.tm_year + 1900);
}

std::string CResultHeaders::Label(const std::string& label) {
  std::size_t pad = label.size() < kLabelWidth ? kLabelWidth - label.size() : 0;
  return "# " + std::string(pad, ' ') + label + " : ";
}

std::string CResultHeaders::RowValue(const Row& row) {
  if (row.rangeType == 0) {
    return row.term;
  }
  bool numeric = row.rangeType == 1;
  std::string from = row.fromText != " " ? row.fromText : numeric ? "Lowest" : "Oldest";
  std::string to = row.toText != " " ? row.toText : numeric ? "Highest" : "Newest";
  return FormatText("FROM %s  TO %s", from.c_str(), to.c_str());
}

std::string CResultHeaders::BasicValue(const std::string& text) {
  std::string out;
  std::size_t start = 0;
  // Every "OR " starts a new line, even inside a word; the OR is dropped.
  for (std::size_t p = text.find("OR ", start); p != std::string::npos;
       p = text.find("OR ", start)) {
    out.append(text, start, p - start);
    out += "\n# " + std::string(20, ' ');
    start = p + 2;
  }
  out.append(text, start, std::string::npos);
  return out;
}

void CResultHeaders::Build(const Search& search) {
  std::string stamp = TimeStamp(localTime());
  const char* name = search.databaseName.c_str();
  briefHeader = FormatText("%s  %s", name, stamp.c_str());

  // clang-format off
  fullHeader = FormatText("\n#################################################################\n#    TAMSEL SEARCH RESULTS: %s#             CONNECTED to: %s\n#\n",
                          stamp.c_str(), name);
  // clang-format on
  if (search.basicMode) {
    fullHeader += Label(search.basicFieldName) + BasicValue(search.basicText) + "\n";
  } else {
    for (const auto& row : search.rows) {
      fullHeader += Label(row.fieldName) + RowValue(row) + "\n";
    }
  }
  fullHeader += "# \n# ";
  if (!search.basicMode) {
    for (int i = 0; i < kMaxLimitBoxes && i < static_cast<int>(search.limits.size()); ++i) {
      const LimitBox& box = search.limits[static_cast<std::size_t>(i)];
      fullHeader += (box.checked ? "   [X] " : "   [ ] ") + box.caption;
    }
  }
  fullHeader += "\n#################################################################\n\n";
}
