#pragma once

#include <string>
#include <vector>

#include "app/CDialogModel.h"

// The "Date Selection" dialog behind a range row's From and To buttons: keep
// the open end, or specify a year, month, day or number. Every run starts
// from a fresh model, so the dialog always opens at its initial values.
class CDateSelectionDlg : public CDialogModel {
 public:
  static constexpr int kOpenEnd = 0;
  static constexpr int kSpecify = 1;

  // What OK gives the row: the button caption and the values for SetEnd.
  struct Outcome {
    std::string caption;
    int year = 0;
    int day = 0;
    std::string monthName;
  };

  // `endWord` is "Oldest" (From button) or "Newest" (To button);
  // `currentYear` is the default of an unchosen "Newest" end.
  CDateSelectionDlg(const std::string& endWord, const std::string& fieldName, int rangeType,
                    int yearLow, int yearHigh, int currentYear);

  const char* Kind() const override { return "date-selection"; }
  std::string Caption() const override { return "Date Selection"; }
  void OnInit() override;
  void SetAnswerText(const std::string& text) { ApplyAnswerText(text); }

  // The CLI's VALUE: "open", "specify", a year or number as typed, "MONTH
  // YEAR" or "MONTH DAY, YEAR". False (nothing changed) when a month form is
  // malformed.
  bool ApplyAnswerText(const std::string& text);
  // The radio buttons: kOpenEnd or kSpecify.
  void SetChoice(int newChoice);

  // The result of OK.
  Outcome Result() const;
  // The year text OK reads: the year list's or the Year box's, with the
  // defaults and the 1900 rule applied.
  std::string ResultYearText() const;

  // The year list is used instead of the Year box: a span, on a date field.
  bool HasYearList() const;

  static std::vector<std::string> MonthChoices();
  static std::vector<std::string> DayChoices();

  // Inputs, as the user sets them.
  std::string dayText = "1";
  std::string monthText = "January";
  int choice = kOpenEnd;
  std::string yearText = "0";
  std::string yearChoiceText;

  // What the dialog shows. `endWord` is "Lowest"/"Highest" for numbers.
  std::string endWord;
  std::string fieldName;
  std::string firstRadioCaption;
  std::string specifyCaption;
  std::string yearLabel = "Year";
  bool monthShown = false;
  bool dayShown = false;
  bool yearLabelShown = false;
  bool yearBoxShown = false;
  bool yearListShown = false;
  std::vector<std::string> yearList;

 private:
  void UpdateCaptions();
  std::string DefaultYearText() const;

  std::string passedEndWord;
  int rangeType;
  int yearLow;
  int yearHigh;
  int currentYear;
};
