#pragma once

#include <map>
#include <string>

// Index numbers of the configuration keywords; the loaders dispatch on them.
enum KeywordIndex {
  KW_DB_TAG = 0,
  KW_DB_NAME = 1,
  KW_DRIVER = 2,
  KW_DB_INT_NAME = 3,
  KW_TITLE_FIELDS = 4,
  KW_SUMMARY_FIELDS = 5,
  KW_T_FIELD_NAME = 6,
  KW_T_FIELD_CMD = 7,
  KW_LIST_NAME = 8,
  KW_LIST_HIER = 9,
  KW_LIST_MNEMONIC = 10,
  KW_DFLT_AT = 11,
  KW_L_FIELD_NAME = 12,
  KW_L_FIELD_CMD = 13,
  KW_BASIC_MODE = 14,
  KW_BASIC_ONLY = 15,
  KW_BASIC_FIELD = 16,
  KW_T_RANGE_TYPE = 17,
  KW_T_YEAR_RANGE = 18,
  KW_USE_PREV_NEXT = 19,
  KW_NO_INFO = 20,
  KW_EXTENSION_LABEL = 21,
  KW_EXTENSION_PROGRAM = 22,
  KW_EXTENSION_FIELDS = 23,
  KW_ENV_NAME = 24,
  KW_ENV_VAL = 25,
  KW_BEGIN_MENU = 26,
  KW_END_MENU = 27,
  KW_ITEM = 28,
  KW_SEPARATOR = 29,
  KW_IS_LIMIT = 30,
  KW_NO_ADV_MODE = 31,
  KW_DFLT_DB = 32,
  KW_CONF_VERSION = 33,
  // 34-47 are reserved: recognised, but an error inside a database section.
  KW_ECHO = 34,
  KW_USE_LOCAL = 35,
  KW_USE_FTP = 36,
  KW_USE_EMAIL = 37,
  KW_FTP_HOST = 38,
  KW_FTP_USER_ID = 39,
  KW_FTP_APPEND = 40,
  KW_PRINT_CMD = 41,
  KW_MAIL_ADDR = 42,
  KW_MAIL_SUBJ = 43,
  KW_ABBREV_FIELDS = 44,
  KW_USER_INFO = 45,
  KW_CUSTOM_FIELDS = 46,
  KW_INCLUDE_QUERY = 47,
  KW_DB_GROUP = 48,
  KW_CONF_URL = 49,
};

inline constexpr int kKeywordCount = 50;
// 50 is never used; 51 stands for any keyword missing from the table.
inline constexpr int kKeywordUnknown = 51;
inline constexpr int kKeywordEndOfFile = -1;

// The fixed map from keyword text (exact, case-sensitive) to its index.
class CKeywordTable {
 public:
  void BuildKeywordTable();
  int Lookup(const std::string& keyword) const;
  // The keyword text of an index, or nullptr outside 0..kKeywordCount-1.
  static const char* KeywordName(int index);

  std::map<std::string, int> keywordTable;
};
