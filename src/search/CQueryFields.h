#pragma once

#include <string>

#include "search/CRangeDesc.h"

// One row of a saved query.
class CQueryFields {
 public:
  // The row's field as its field list showed it.
  std::string fieldName;
  std::string term;
  CRangeDesc from;
  CRangeDesc to;
};
