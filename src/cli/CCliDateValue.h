#pragma once

#include <optional>
#include <string>

// The VALUE of `from` and `to`, checked before it reaches the Date Selection
// dialog, which would take any text into its year box.
class CCliDateValue {
 public:
  // The dialog's text answer for VALUE: `open`, `specify`, a year or number,
  // `MONTH YEAR` and `MONTH DAY, YEAR` as typed; `YYYY-MM` and `YYYY-MM-DD` as
  // `MONTH YEAR` and `MONTH DAY, YEAR`. None when VALUE is none of these.
  static std::optional<std::string> DialogAnswer(const std::string& value);

  // The forms accepted, for the error line.
  static constexpr const char* kAcceptedForms =
      "open, specify, a year or number, MONTH YEAR, MONTH DAY, YEAR, YYYY, YYYY-MM or YYYY-MM-DD";
};
