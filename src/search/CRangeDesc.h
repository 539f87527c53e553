#pragma once

#include <string>

// One end of a date or number range on the search form. A plain record,
// copied by value.
class CRangeDesc {
 public:
  int month = 0;
  int day = 0;
  // For a numeric field the number itself.
  int year = 0;
  int isSet = 0;
  // 1 when last set as the "Oldest" end, 0 as the "Newest" end.
  int isLowEnd = 1;
  std::string monthName;

  void SetEnd(const std::string& endWord, int newYear, int newDay, const std::string& newMonthName);
  // The end as the form and the headers write it: " " when not set.
  std::string FormatEnd() const;
  void CopyFrom(const CRangeDesc& other);

  // "January" for 1 ... "December" for 12; empty for anything else.
  static std::string MonthName(int number);
  // 1-12 for an exact English month name, else 0.
  static int MonthNumber(const std::string& name);
};
