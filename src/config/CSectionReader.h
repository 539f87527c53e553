#pragma once

#include <optional>
#include <string>

#include "config/CDBDescRec.h"

class CConfiguration;

// Applies the keyword lines of one database section to its record: the
// current search field, limit field and extension are pending here until the
// next one starts or the section ends.
class CSectionReader {
 public:
  // Why a keyword line made the section fail.
  enum class Result { Ok, Skip, DriverNoColon, DriverNoPort, LineError };

  CSectionReader(CConfiguration& config, CDBDescRec& db);

  Result Apply(int index, const std::string& value);

  // Appends the pending fields; then tells whether the required members are
  // there (name, driver, internal name, summary fields, a search field).
  bool Finish();

  // "90-95", "1985", ... into a year range (0, 0 when the span is not 1-30).
  static void ParseYearRange(const std::string& value, int currentYear, int& low, int& high);
  // Leading decimal digits with an optional sign; 0 when there are none.
  static int ParseNumber(const std::string& value);
  // Splits a driver value; false when there is no ":" or no port part.
  static Result ParseDriver(const std::string& value, std::string& host, int& port);

 private:
  Result ApplyFieldKeyword(int index, const std::string& value);
  Result ApplyEnvironment(int index, const std::string& value);
  void FlushSearchField();
  void FlushLimitField();

  CConfiguration& config;
  CDBDescRec& db;
  std::optional<CDBFieldDescRec> searchField;
  std::optional<CDBFieldDescRec> limitField;
  std::optional<CDBExtRec> extension;
};
