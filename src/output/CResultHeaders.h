#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

// The two headers put in front of saved, printed and mailed results, built
// when a search is sent so that they carry the time and the search that
// produced the results.
class CResultHeaders {
 public:
  // One row of the search criteria form as it was sent.
  struct Row {
    // The text the row's field list shows.
    std::string fieldName;
    // 0 plain text, 1 numeric, 2 to 4 date ranges.
    int rangeType = 0;
    std::string term;
    // Range ends as the range end formats them (" " when not set).
    std::string fromText = " ";
    std::string toText = " ";
  };
  struct LimitBox {
    std::string caption;
    bool checked = false;
  };
  // What the search sent: the criteria form's rows and limit boxes, or the
  // basic mode page's field and text.
  struct Search {
    std::string databaseName;
    bool basicMode = false;
    std::vector<Row> rows;
    // The database's limit fields in order; only the first four have boxes.
    std::vector<LimitBox> limits;
    std::string basicFieldName;
    std::string basicText;
  };

  CResultHeaders();

  void Build(const Search& search);
  // "Mon Dec 07 01:26:02 2026\n".
  static std::string TimeStamp(const std::tm& time);

  std::string briefHeader;
  std::string fullHeader;
  // The local time now; tests fix it.
  std::function<std::tm()> localTime;

 private:
  static std::string Label(const std::string& label);
  static std::string RowValue(const Row& row);
  static std::string BasicValue(const std::string& text);
};
