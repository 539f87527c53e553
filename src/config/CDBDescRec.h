#pragma once

#include <array>
#include <string>
#include <vector>

#include "config/CDBExtRec.h"
#include "config/CDBFieldDescRec.h"

// One database of a configuration: its driver, open parameters, search and
// limit fields, extension programs and environment block.
class CDBDescRec {
 public:
  static constexpr int kMaxRows = 6;
  static constexpr size_t kMaxDriverLength = 239;

  std::string tag;
  std::string name;
  std::string driver;
  std::string host;
  int port = 0;
  std::string internalName;
  std::string summaryFields;
  std::string titleFields;
  std::string extensionFields;
  // name, 0, value, 0, ... in line order; sent to the driver unchanged.
  std::string environment;
  std::string group;
  std::vector<CDBExtRec> extensions;
  int environmentLength = 0;
  int basicMode = 0;
  int noAdvancedMode = 0;
  int usePrevNext = 0;
  int noInfo = 0;
  int searchFieldCount = 0;
  std::vector<CDBFieldDescRec> searchFields;
  int limitFieldCount = 0;
  std::vector<CDBFieldDescRec> limitFields;
  std::array<int, kMaxRows> defaultFieldAt{-1, -1, -1, -1, -1, -1};
  int configured = 0;
  int rowCount = 0;
};
