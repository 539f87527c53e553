#include "cli/CCliDateValue.h"

#include <cctype>
#include <cstdlib>
#include <vector>

#include "app/FormatText.h"
#include "search/CDateSelectionDlg.h"

namespace {

std::string Trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool Digits(const std::string& text, size_t maxLength = 9) {
  return !text.empty() && text.size() <= maxLength &&
         text.find_first_not_of("0123456789") == std::string::npos;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// "YYYY-MM" or "YYYY-MM-DD" as the dialog's month and day form.
std::optional<std::string> FromIso(const std::string& value) {
  if (value.size() != 7 && value.size() != 10) {
    return std::nullopt;
  }
  std::string year = value.substr(0, 4);
  std::string month = value.substr(5, 2);
  if (!Digits(year) || value[4] != '-' || !Digits(month)) {
    return std::nullopt;
  }
  int y = std::atoi(year.c_str());
  int m = std::atoi(month.c_str());
  if (m < 1 || m > 12) {
    return std::nullopt;
  }
  std::string monthName = CDateSelectionDlg::MonthChoices()[static_cast<size_t>(m - 1)];
  if (value.size() == 7) {
    return monthName + " " + year;
  }
  std::string day = value.substr(8, 2);
  if (value[7] != '-' || !Digits(day)) {
    return std::nullopt;
  }
  int d = std::atoi(day.c_str());
  if (d < 1 || d > DaysInMonth(y, m)) {
    return std::nullopt;
  }
  return FormatText("%s %d, %s", monthName.c_str(), d, year.c_str());
}

}  // namespace

std::optional<std::string> CCliDateValue::DialogAnswer(const std::string& text) {
  std::string value = Trimmed(text);
  if (SameIgnoringCase(value, "open") || SameIgnoringCase(value, "specify")) {
    return value;
  }
  // A year, or the number of a numeric range.
  if (Digits(value[0] == '-' && value.size() > 1 ? value.substr(1) : value)) {
    return value;
  }
  if (auto iso = FromIso(value)) {
    return iso;
  }
  size_t blank = value.find(' ');
  if (blank == std::string::npos) {
    return std::nullopt;
  }
  bool isMonth = false;
  for (const auto& name : CDateSelectionDlg::MonthChoices()) {
    isMonth |= SameIgnoringCase(value.substr(0, blank), name);
  }
  std::string rest = Trimmed(value.substr(blank));
  size_t comma = rest.find(',');
  if (comma != std::string::npos) {
    std::string day = Trimmed(rest.substr(0, comma));
    if (!Digits(day, 2) || std::atoi(day.c_str()) < 1 || std::atoi(day.c_str()) > 31) {
      return std::nullopt;
    }
    rest = Trimmed(rest.substr(comma + 1));
  }
  if (!isMonth || !Digits(rest)) {
    return std::nullopt;
  }
  return value;
}
