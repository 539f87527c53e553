#pragma once

#include <string>

// One full-record field of the connected database, as the driver lists it.
class CAbstractFieldDesc {
 public:
  std::string caption;
  std::string fieldName;
  int includedByDefault = 0;
  int included = 0;
};
