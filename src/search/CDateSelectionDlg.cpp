#include "search/CDateSelectionDlg.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include "app/FormatText.h"
#include "config/CDBFieldDescRec.h"
#include "search/CRangeDesc.h"

namespace {

// Leading decimal number, as the year and day texts are read: "1,500" is 1,
// text without digits 0. Clamped, so no typing can overflow.
int LeadingNumber(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])) != 0) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0; ++i) {
    value = std::min<long long>(value * 10 + (text[i] - '0'), INT_MAX);
  }
  return static_cast<int>(negative ? -value : value);
}

std::string Trimmed(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) {
    return "";
  }
  size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool AllDigits(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
  });
}

}  // namespace

CDateSelectionDlg::CDateSelectionDlg(const std::string& endWord, const std::string& fieldName,
                                     int rangeType, int yearLow, int yearHigh, int currentYear)
    : endWord(endWord),
      fieldName(fieldName),
      passedEndWord(endWord),
      rangeType(rangeType),
      yearLow(yearLow),
      yearHigh(yearHigh),
      currentYear(currentYear) {
  UpdateCaptions();
}

std::vector<std::string> CDateSelectionDlg::MonthChoices() {
  std::vector<std::string> months;
  for (int m = 1; m <= 12; ++m) {
    months.push_back(CRangeDesc::MonthName(m));
  }
  return months;
}

std::vector<std::string> CDateSelectionDlg::DayChoices() {
  // No calendar check: every month offers 1-31.
  std::vector<std::string> days;
  for (int d = 1; d <= 31; ++d) {
    days.push_back(FormatText("%d", d));
  }
  return days;
}

bool CDateSelectionDlg::HasYearList() const {
  // A numeric field only ever shows the Year box, so it is read from there
  // even when the configuration gave the field a span.
  return yearHigh != 0 && rangeType != RANGE_NUMERIC;
}

void CDateSelectionDlg::UpdateCaptions() {
  if (rangeType == RANGE_NUMERIC) {
    endWord = passedEndWord == "Oldest" ? "Lowest" : "Highest";
  } else {
    endWord = passedEndWord;
  }
  yearLabel = rangeType == RANGE_NUMERIC ? endWord : "Year";
  firstRadioCaption = FormatText("%s %s", endWord.c_str(), fieldName.c_str());
  specifyCaption = FormatText("Specify %s", fieldName.c_str());
}

void CDateSelectionDlg::OnInit() {
  UpdateCaptions();
  SetChoice(choice);
}

void CDateSelectionDlg::SetChoice(int newChoice) {
  choice = newChoice == kSpecify ? kSpecify : kOpenEnd;
  monthShown = dayShown = yearLabelShown = yearBoxShown = yearListShown = false;
  if (choice == kOpenEnd) {
    return;
  }
  yearLabelShown = true;
  yearListShown = HasYearList();
  yearBoxShown = !yearListShown;
  monthShown = rangeType == RANGE_MONTH || rangeType == RANGE_DAY;
  dayShown = rangeType == RANGE_DAY;
  if (yearListShown) {
    yearList.clear();
    for (int y = yearLow; y <= yearHigh; ++y) {
      yearList.push_back(FormatText("%d", y));
    }
    // The list is a sorted one.
    std::sort(yearList.begin(), yearList.end());
  }
}

bool CDateSelectionDlg::ApplyAnswerText(const std::string& text) {
  if (SameIgnoringCase(text, "open")) {
    SetChoice(kOpenEnd);
    return true;
  }
  if (SameIgnoringCase(text, "specify")) {
    SetChoice(kSpecify);
    return true;
  }
  std::string value = Trimmed(text);
  std::string month;
  std::string day;
  size_t blank = std::min(value.find(' '), value.size());
  for (const auto& name : MonthChoices()) {
    if (SameIgnoringCase(value.substr(0, blank), name)) {
      month = name;
    }
  }
  if (!month.empty()) {
    std::string rest = Trimmed(value.substr(blank));
    size_t comma = rest.find(',');
    if (comma != std::string::npos) {
      day = Trimmed(rest.substr(0, comma));
      rest = Trimmed(rest.substr(comma + 1));
      if (!AllDigits(day) || LeadingNumber(day) < 1 || LeadingNumber(day) > 31) {
        return false;
      }
    }
    if (rest.empty()) {
      return false;
    }
    value = rest;
  }
  SetChoice(kSpecify);
  if (!month.empty()) {
    monthText = month;
  }
  if (!day.empty()) {
    dayText = FormatText("%d", LeadingNumber(day));
  }
  // Otherwise typed as is, just as the box takes any text.
  (HasYearList() ? yearChoiceText : yearText) = month.empty() ? text : value;
  return true;
}

std::string CDateSelectionDlg::DefaultYearText() const {
  if (passedEndWord == "Oldest") {
    return yearLow != 0 ? FormatText("%d", yearLow) : std::string("1980");
  }
  return FormatText("%d", yearHigh != 0 ? yearHigh : currentYear);
}

std::string CDateSelectionDlg::ResultYearText() const {
  if (HasYearList()) {
    return yearChoiceText.empty() ? DefaultYearText() : yearChoiceText;
  }
  std::string typed = yearText.empty() ? std::string("0") : yearText;
  if (rangeType != RANGE_NUMERIC) {
    int year = LeadingNumber(typed);
    if (year < 100) {
      return FormatText("%d", year + 1900);
    }
  }
  return typed;
}

CDateSelectionDlg::Outcome CDateSelectionDlg::Result() const {
  Outcome out;
  if (choice == kOpenEnd) {
    out.caption = endWord;
    return out;
  }
  std::string year = ResultYearText();
  out.year = LeadingNumber(year);
  switch (rangeType) {
    case RANGE_DAY:
      out.caption = FormatText("%s %s, %s", monthText.c_str(), dayText.c_str(), year.c_str());
      out.day = LeadingNumber(dayText);
      out.monthName = monthText;
      break;
    case RANGE_MONTH:
      out.caption = FormatText("%s  %s", monthText.c_str(), year.c_str());
      out.monthName = monthText;
      break;
    default:
      out.caption = year;
      break;
  }
  return out;
}
