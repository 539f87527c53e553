#pragma once

#include <string>
#include <vector>

// Range types of a search field.
enum RangeType {
  RANGE_NONE = 0,
  RANGE_NUMERIC = 1,
  RANGE_YEAR = 2,
  RANGE_MONTH = 3,
  RANGE_DAY = 4
};

// One search field (t_field_name) or limit field (l_field_name) of a database.
// Limit fields use only `name` and `command`.
class CDBFieldDescRec {
 public:
  static constexpr int kMaxLists = 12;
  static constexpr size_t kMaxListNameLength = 39;

  std::string name;
  std::string command;
  int basicField = 0;
  int basicOnly = 0;
  int isLimit = 0;
  int rangeType = RANGE_NONE;
  int yearLow = 0;
  int yearHigh = 0;
  int listCount = 0;
  std::vector<std::string> listNames;
  int listHierarchical = 0;
  std::string listMnemonic;
};
