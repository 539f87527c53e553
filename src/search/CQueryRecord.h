#pragma once

#include <array>
#include <string>

#include "search/CQueryFields.h"

// One saved query: all six rows of the form and the four limit boxes.
class CQueryRecord {
 public:
  static constexpr int kRows = 6;
  static constexpr int kLimitBoxes = 4;

  std::string name;
  std::array<CQueryFields, kRows> fields;
  // The limit boxes' captions when the query was named: a box is only
  // restored on a database whose limit field carries the same caption.
  std::array<std::string, kLimitBoxes> limitLabels;
  std::array<int, kLimitBoxes> limitChecked{0, 0, 0, 0};
};
