#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "FakeUi.h"
#include "TempDir.h"
#include "config/CConfigFile.h"
#include "config/CConfigLexer.h"

namespace {

struct Token {
  int line;
  int index;
  std::string keyword;
  std::string value;
  bool operator==(const Token&) const = default;
};

void PrintTo(const Token& t, std::ostream* os) {
  *os << t.line << ' ' << t.index << " '" << t.keyword << "'='" << t.value << "'";
}

struct ConfigLexer : ::testing::Test {
  FakeUi ui;
  CConfigLexer lexer{ui};

  // Every keyword line of `text`, counted from `startLine`; the final -1 is not included.
  std::vector<Token> Lex(std::string text, int startLine = 0) {
    lexer.configLineNumber = startLine;
    auto file = CConfigFile::FromText(std::move(text));
    std::vector<Token> tokens;
    std::string value, keyword;
    int index;
    while ((index = lexer.ReadKeywordLine(*file, value, keyword)) != kKeywordEndOfFile) {
      tokens.push_back({lexer.configLineNumber, index, keyword, value});
    }
    return tokens;
  }
};

std::vector<std::string> ReadLines(CConfigFile& file) {
  std::vector<std::string> lines;
  std::string line;
  while (file.ReadLine(line)) {
    lines.push_back(line);
  }
  return lines;
}

TEST_F(ConfigLexer, CommentsAndBlankLinesAreSkippedButCounted) {
  EXPECT_EQ(
      Lex("   # comment\n"
          "! comment\n"
          "\n"
          " \t\v\f\r\n"
          "db_name = A # B\n"
          "db_tag = x!y\n"),
      (std::vector<Token>{{5, KW_DB_NAME, "db_name", "A # B"}, {6, KW_DB_TAG, "db_tag", "x!y"}}));
  EXPECT_EQ(lexer.configLineNumber, 7);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ConfigLexer, KeywordAndValueSplitAtTheFirstEquals) {
  EXPECT_EQ(Lex("db_name=\n"
                "db_name\n"
                "t_field_name = Title = Main\n"
                "  driver \t=\t socket:host:2100  \v\n"
                "list_hier   \n"
                "l_field_cmd=PRI=required\n"),
            (std::vector<Token>{{1, KW_DB_NAME, "db_name", ""},
                                {2, KW_DB_NAME, "db_name", "Empty"},
                                {3, KW_T_FIELD_NAME, "t_field_name", "Title = Main"},
                                {4, KW_DRIVER, "driver", "socket:host:2100"},
                                {5, KW_LIST_HIER, "list_hier", "Empty"},
                                {6, KW_L_FIELD_CMD, "l_field_cmd", "PRI=required"}}));
}

TEST_F(ConfigLexer, UnknownKeywordIsReportedAndReadingGoesOn) {
  EXPECT_EQ(Lex("DB_NAME=x\n"
                "db name %s%n = y\n"
                "db_tag = t\n"),
            (std::vector<Token>{{1, kKeywordUnknown, "DB_NAME", "x"},
                                {2, kKeywordUnknown, "db name %s%n", "y"},
                                {3, KW_DB_TAG, "db_tag", "t"}}));
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Fieldname lookup failed, DB_NAME, 0",
                                                  "Fieldname lookup failed, db name %s%n, 0"}));
  EXPECT_EQ(ui.messages[0].caption, "Tamsel");
  EXPECT_EQ(ui.messages[0].buttons, MsgButtons::Ok);
}

TEST_F(ConfigLexer, ErrorPageInPlaceOfAConfigurationIsRecognisedSilently) {
  // A known keyword wins even when its value looks like an error page.
  EXPECT_EQ(Lex("<TITLE>404 Not Found</TITLE>\n"
                "<p>error 404 not found = here</p>\n"
                "db_name = 404 Not Found\n"),
            (std::vector<Token>{{1, kKeywordUnknown, "HTTP Error", "URL not found"},
                                {2, kKeywordUnknown, "HTTP Error", "URL not found"},
                                {3, KW_DB_NAME, "db_name", "404 Not Found"}}));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ConfigLexer, EndOfFileCountsTheLineThatWasNotThere) {
  std::string value = "stale", keyword = "HTTP Error";
  auto comments = CConfigFile::FromText("# one\n\n! three\n   \n");
  EXPECT_EQ(lexer.ReadKeywordLine(*comments, value, keyword), kKeywordEndOfFile);
  EXPECT_EQ(lexer.configLineNumber, 5);
  EXPECT_EQ(value, "Empty");
  EXPECT_EQ(keyword, "");
  EXPECT_EQ(lexer.ReadKeywordLine(*comments, value, keyword), kKeywordEndOfFile);
  EXPECT_EQ(lexer.configLineNumber, 6);

  EXPECT_TRUE(Lex("").empty());
  EXPECT_EQ(lexer.configLineNumber, 1);

  // The counter never overflows, however long the file.
  EXPECT_EQ(Lex("\n\ndb_tag\n", INT_MAX - 1).size(), 1u);
  EXPECT_EQ(lexer.configLineNumber, INT_MAX);
}

TEST_F(ConfigLexer, LineEndingsAndBinaryBytes) {
  EXPECT_EQ(Lex("# crlf\r\ndb_tag = a\r\n\r\ndb_name = b\r"),
            (std::vector<Token>{{2, KW_DB_TAG, "db_tag", "a"}, {4, KW_DB_NAME, "db_name", "b"}}));
  EXPECT_EQ(Lex(std::string("db_name = a\0b\xff\x01 \n", 17) + "item = x\ry\n"),
            (std::vector<Token>{{1, KW_DB_NAME, "db_name", std::string("a\0b\xff\x01", 5)},
                                {2, KW_ITEM, "item", "x\ry"}}));
  EXPECT_EQ(Lex(std::string("db_\0tag = t\n", 12))[0].index, kKeywordUnknown);
  EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(ConfigLexer, MegabyteLineIsReadWhole) {
  TempDir dir;
  // The longest line read: the limit, with its keyword.
  std::string longValue(CConfigFile::kMaxLineBytes - 10, 'x');
  longValue[70000] = '=';
  auto path = dir.Write("big.tcf", "db_name = " + longValue + "\r\ndb_tag = t");
  auto file = CConfigFile::Open(path);
  ASSERT_NE(file, nullptr);
  std::string value, keyword;
  EXPECT_EQ(lexer.ReadKeywordLine(*file, value, keyword), KW_DB_NAME);
  EXPECT_EQ(value, longValue);
  EXPECT_EQ(lexer.ReadKeywordLine(*file, value, keyword), KW_DB_TAG);
  EXPECT_EQ(value, "t");
  EXPECT_EQ(lexer.ReadKeywordLine(*file, value, keyword), kKeywordEndOfFile);
}

TEST(ConfigLexerFile, FileAndMemoryGiveTheSameLinesAcrossReadChunks) {
  // Lines around the 64 KiB read size; the third line's CR ends the first read, its LF starts the
  // next.
  std::string text;
  std::vector<std::string> expected;
  for (size_t length : {0, 1, 65531, 65534, 2, 131071, 0, 7}) {
    expected.push_back(std::string(length, 'a' + static_cast<char>(length % 26)));
    text += expected.back() + (length % 2 ? "\r\n" : "\n");
  }
  text += "\r\rlast";
  expected.push_back("\r\rlast");
  TempDir dir;
  auto file = CConfigFile::Open(dir.Write("chunks.tcf", text));
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(ReadLines(*file), expected);
  EXPECT_FALSE(file->ReadFailed());
  EXPECT_EQ(ReadLines(*CConfigFile::FromText(text)), expected);
  EXPECT_EQ(ReadLines(*CConfigFile::FromText("a\n")), std::vector<std::string>{"a"});
  EXPECT_EQ(ReadLines(*CConfigFile::FromText("\r\n\r\nb\r")),
            (std::vector<std::string>{"", "", "b\r"}));
  EXPECT_TRUE(ReadLines(*CConfigFile::FromText("")).empty());
}

TEST(ConfigLexerFile, OpenRefusesWhatIsNotAReadableFile) {
  TempDir dir;
  EXPECT_EQ(CConfigFile::Open(dir.File("missing.tcf")), nullptr);
  EXPECT_EQ(CConfigFile::Open(dir.Path()), nullptr);
  // Reading the start of this process's memory fails with EIO: not an end of file.
  auto broken = CConfigFile::Open("/proc/self/mem");
  ASSERT_NE(broken, nullptr);
  std::string line;
  EXPECT_FALSE(broken->ReadLine(line));
  EXPECT_TRUE(broken->ReadFailed());
}

TEST(ConfigLexerCommand, PrintsEveryKeywordLineAndTheFinalCount) {
  TempDir dir;
  FakeUi ui;
  std::ostringstream out;
  auto path = dir.Write("c.tcf",
                        "conf_version = 1.1\n# note\n\nDB_NAME=x\n"
                        "<TITLE>404 Not Found</TITLE>\nlist_hier\ndb_name=\n");
  ASSERT_TRUE(LexConfigurationFile(ui, path, out));
  EXPECT_EQ(out.str(),
            "1 33 conf_version=1.1\n4 51 DB_NAME=x\n5 51 HTTP Error=URL not found\n"
            "6 9 list_hier=Empty\n7 1 db_name=\nend 8\n");
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Fieldname lookup failed, DB_NAME, 0"});

  std::ostringstream none;
  EXPECT_FALSE(LexConfigurationFile(ui, dir.File("missing"), none));
  EXPECT_EQ(none.str(), "");
}

TEST(KeywordTable, AllFiftyKeywordsMapToTheirIndexes) {
  const std::vector<std::string> names = {"db_tag",
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
                                          "conf_url"};
  CKeywordTable table;
  table.BuildKeywordTable();
  table.BuildKeywordTable();
  ASSERT_EQ(table.keywordTable.size(), names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(table.Lookup(names[i]), static_cast<int>(i)) << names[i];
  }
  EXPECT_EQ(KW_DB_GROUP, 48);
  EXPECT_EQ(KW_CONF_URL, 49);
  for (const char* other : {"Db_Tag", "DB_TAG", "db_tag ", "", "HTTP Error"}) {
    EXPECT_EQ(table.Lookup(other), kKeywordUnknown) << other;
  }
}

}  // namespace
