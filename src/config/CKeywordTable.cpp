#include "config/CKeywordTable.h"

namespace {

// In index order: a keyword's position is its number.
constexpr const char* kKeywordNames[kKeywordCount] = {
    "db_tag",
    "db_name",
    "driver",
    "db_int_name",
    "title_fields",
    "summary_fields",
    "t_field_name",
    "t_field_cmd",
    "list_name",
    "list_hier",
    "list_mnemonic",
    "dflt_at",
    "l_field_name",
    "l_field_cmd",
    "basic_mode",
    "basic_only",
    "basic_field",
    "t_range_type",
    "t_year_range",
    "use_prev_next",
    "no_info",
    "extension_label",
    "extension_program",
    "extension_fields",
    "env_name",
    "env_val",
    "begin_menu",
    "end_menu",
    "item",
    "separator",
    "is_limit",
    "no_adv_mode",
    "dflt_db",
    "conf_version",
    "echo",
    "use_local",
    "use_ftp",
    "use_email",
    "ftp_host",
    "ftp_user_id",
    "ftp_append",
    "print_cmd",
    "mail_addr",
    "mail_subj",
    "abbrev_fields",
    "user_info",
    "custom_fields",
    "include_query",
    "db_group",
    "conf_url",
};

}  // namespace

void CKeywordTable::BuildKeywordTable() {
  for (int index = 0; index < kKeywordCount; ++index) {
    keywordTable[kKeywordNames[index]] = index;
  }
}

int CKeywordTable::Lookup(const std::string& keyword) const {
  auto found = keywordTable.find(keyword);
  return found == keywordTable.end() ? kKeywordUnknown : found->second;
}

const char* CKeywordTable::KeywordName(int index) {
  return index >= 0 && index < kKeywordCount ? kKeywordNames[index] : nullptr;
}
