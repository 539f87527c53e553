#include "config/CSectionReader.h"

#include <climits>
#include <ctime>

#include "config/CConfiguration.h"
#include "config/CKeywordTable.h"

namespace {

int CurrentYear() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

}  // namespace

CSectionReader::CSectionReader(CConfiguration& config, CDBDescRec& db) : config(config), db(db) {}

int CSectionReader::ParseNumber(const std::string& value) {
  size_t i = 0;
  bool negative = false;
  if (i < value.size() && (value[i] == '-' || value[i] == '+')) {
    negative = value[i] == '-';
    ++i;
  }
  long long n = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    // Saturate: a huge number must not wrap into a plausible one.
    n = n * 10 + (value[i] - '0');
    if (n > INT_MAX) {
      n = INT_MAX;
    }
  }
  return static_cast<int>(negative ? -n : n);
}

void CSectionReader::ParseYearRange(const std::string& value, int currentYear, int& low,
                                    int& high) {
  size_t dash = value.find('-');
  if (dash != std::string::npos) {
    low = ParseNumber(value.substr(0, dash));
    high = ParseNumber(value.substr(dash + 1));
  } else {
    low = ParseNumber(value);
    high = currentYear;
  }
  if (high < 100) {
    high += 1900;
  }
  if (low < 100) {
    low += 1900;
  }
  long long span = static_cast<long long>(high) - low;
  if (span < 1 || span > 30) {
    low = 0;
    high = 0;
  }
}

CSectionReader::Result CSectionReader::ParseDriver(const std::string& value, std::string& host,
                                                   int& port) {
  if (value.find(':') == std::string::npos) {
    return Result::DriverNoColon;
  }
  // Empty parts are skipped: a run of colons separates like one.
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= value.size()) {
    size_t colon = value.find(':', start);
    std::string part =
        value.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    if (!part.empty()) {
      parts.push_back(part);
    }
    if (colon == std::string::npos) {
      break;
    }
    start = colon + 1;
  }
  host = parts.size() > 1 ? parts[1] : "";
  if (parts.size() < 3) {
    return Result::DriverNoPort;
  }
  port = ParseNumber(parts[2]);
  return Result::Ok;
}

void CSectionReader::FlushSearchField() {
  if (searchField) {
    db.searchFields.push_back(std::move(*searchField));
    searchField.reset();
  }
}

void CSectionReader::FlushLimitField() {
  if (limitField) {
    db.limitFields.push_back(std::move(*limitField));
    limitField.reset();
  }
}

CSectionReader::Result CSectionReader::ApplyFieldKeyword(int index, const std::string& value) {
  // A field keyword with no field started has nothing to apply to: the
  // author meant something else, so the line is reported.
  if (!searchField) {
    return Result::LineError;
  }
  CDBFieldDescRec& field = *searchField;
  switch (index) {
    case KW_T_FIELD_CMD:
      field.command = value;
      break;
    case KW_LIST_NAME:
      if (field.listCount >= CDBFieldDescRec::kMaxLists ||
          value.size() > CDBFieldDescRec::kMaxListNameLength) {
        return Result::LineError;
      }
      field.listNames.push_back(value);
      ++field.listCount;
      break;
    case KW_LIST_HIER:
      field.listHierarchical = 1;
      break;
    case KW_LIST_MNEMONIC:
      field.listMnemonic = value;
      break;
    case KW_BASIC_FIELD:
      field.basicField = 1;
      break;
    case KW_BASIC_ONLY:
      field.basicField = 1;
      field.basicOnly = 1;
      break;
    case KW_IS_LIMIT:
      field.isLimit = 1;
      break;
    case KW_T_RANGE_TYPE:
      if (value == "DAY") {
        field.rangeType = RANGE_DAY;
      } else if (value == "MONTH") {
        field.rangeType = RANGE_MONTH;
      } else if (value == "YEAR") {
        field.rangeType = RANGE_YEAR;
      } else if (value == "NUMERIC") {
        field.rangeType = RANGE_NUMERIC;
      } else {
        return Result::LineError;
      }
      break;
    case KW_T_YEAR_RANGE:
      ParseYearRange(value, CurrentYear(), field.yearLow, field.yearHigh);
      break;
    default:
      break;
  }
  return Result::Ok;
}

CSectionReader::Result CSectionReader::ApplyEnvironment(int index, const std::string& value) {
  if (index == KW_ENV_NAME && db.environment.empty()) {
    db.environmentLength = 0;
  }
  db.environment += value;
  db.environment += '\0';
  db.environmentLength += static_cast<int>(value.size()) + 1;
  return Result::Ok;
}

CSectionReader::Result CSectionReader::Apply(int index, const std::string& value) {
  switch (index) {
    case KW_DB_NAME:
      db.name = value;
      if (config.RegisterName(value, db.tag)) {
        config.menuEntries.push_back({"db", value, db.tag});
      }
      db.configured = 1;
      return Result::Ok;
    case KW_DRIVER: {
      if (value.size() > CDBDescRec::kMaxDriverLength) {
        return Result::LineError;
      }
      db.driver = value;
      return ParseDriver(value, db.host, db.port);
    }
    case KW_DB_INT_NAME:
      db.internalName = value;
      return Result::Ok;
    case KW_TITLE_FIELDS:
      db.titleFields = value;
      return Result::Ok;
    case KW_SUMMARY_FIELDS:
      db.summaryFields = value;
      return Result::Ok;
    case KW_EXTENSION_FIELDS:
      db.extensionFields = value;
      return Result::Ok;
    case KW_DB_GROUP:
      db.group = value;
      return Result::Ok;
    case KW_T_FIELD_NAME:
      FlushSearchField();
      ++db.searchFieldCount;
      searchField.emplace();
      searchField->name = value;
      return Result::Ok;
    case KW_L_FIELD_NAME:
      FlushLimitField();
      ++db.limitFieldCount;
      limitField.emplace();
      limitField->name = value;
      return Result::Ok;
    case KW_L_FIELD_CMD:
      if (!limitField) {
        return Result::LineError;
      }
      limitField->command = value;
      return Result::Ok;
    case KW_DFLT_AT: {
      int row = ParseNumber(value);
      if (row < 1 || row > CDBDescRec::kMaxRows) {
        return Result::LineError;
      }
      db.defaultFieldAt[row - 1] = db.searchFieldCount - 1;
      if (db.rowCount < CDBDescRec::kMaxRows) {
        ++db.rowCount;
      }
      return Result::Ok;
    }
    case KW_BASIC_MODE:
      db.basicMode = 1;
      return Result::Ok;
    case KW_NO_ADV_MODE:
      db.noAdvancedMode = 1;
      return Result::Ok;
    case KW_USE_PREV_NEXT:
      db.usePrevNext = 1;
      return Result::Ok;
    case KW_NO_INFO:
      db.noInfo = 1;
      return Result::Ok;
    case KW_EXTENSION_LABEL:
      extension.emplace();
      extension->label = value;
      return Result::Ok;
    case KW_EXTENSION_PROGRAM:
      if (!extension) {
        return Result::LineError;
      }
      extension->program = value;
      db.extensions.push_back(std::move(*extension));
      extension.reset();
      return Result::Ok;
    case KW_ENV_NAME:
    case KW_ENV_VAL:
      return ApplyEnvironment(index, value);
    case KW_DFLT_DB:
      config.defaultDatabasePending = true;
      return Result::Ok;
    case KW_T_FIELD_CMD:
    case KW_LIST_NAME:
    case KW_LIST_HIER:
    case KW_LIST_MNEMONIC:
    case KW_BASIC_FIELD:
    case KW_BASIC_ONLY:
    case KW_IS_LIMIT:
    case KW_T_RANGE_TYPE:
    case KW_T_YEAR_RANGE:
      return ApplyFieldKeyword(index, value);
    case KW_CONF_VERSION:
    case KW_CONF_URL:
      return Result::LineError;
    default:
      if (index >= KW_ECHO && index <= KW_INCLUDE_QUERY) {
        return Result::LineError;
      }
      // Menu keywords, separator and unknown keywords.
      return Result::Skip;
  }
}

bool CSectionReader::Finish() {
  if (db.searchFieldCount > 0) {
    FlushSearchField();
  }
  if (db.limitFieldCount > 0) {
    FlushLimitField();
  }
  return !db.name.empty() && !db.driver.empty() && !db.internalName.empty() &&
         !db.summaryFields.empty() && db.searchFieldCount > 0;
}
