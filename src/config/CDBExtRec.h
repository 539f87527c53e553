#pragma once

#include <string>

// One extension program of a database: its menu text and command line.
class CDBExtRec {
 public:
  std::string label;
  std::string program;
};
