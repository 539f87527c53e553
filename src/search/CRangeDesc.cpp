#include "search/CRangeDesc.h"

#include <array>

#include "app/FormatText.h"

namespace {

constexpr std::array<const char*, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

}  // namespace

std::string CRangeDesc::MonthName(int number) {
  if (number < 1 || number > 12) {
    return "";
  }
  return kMonthNames[static_cast<size_t>(number - 1)];
}

int CRangeDesc::MonthNumber(const std::string& name) {
  for (size_t i = 0; i < kMonthNames.size(); ++i) {
    if (name == kMonthNames[i]) {
      return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

void CRangeDesc::SetEnd(const std::string& endWord, int newYear, int newDay,
                        const std::string& newMonthName) {
  isLowEnd = endWord == "Oldest" ? 1 : 0;
  year = newYear;
  day = newDay;
  monthName = newMonthName;
  // A name the dialog never offers counts as no month.
  month = monthName.empty() ? 0 : MonthNumber(monthName);
  isSet = month != 0 || day != 0 || year != 0 ? 1 : 0;
}

std::string CRangeDesc::FormatEnd() const {
  if (isSet == 0) {
    return " ";
  }
  if (month == 0) {
    return FormatText("%d", year);
  }
  std::string name = monthName.empty() ? MonthName(month) : monthName;
  if (day != 0) {
    return FormatText("%s %d, %d", name.c_str(), day, year);
  }
  return FormatText("%s %d", name.c_str(), year);
}

void CRangeDesc::CopyFrom(const CRangeDesc& other) {
  *this = other;
}
