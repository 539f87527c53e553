#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <string>

#include "FakeUi.h"
#include "TempDir.h"
#include "app/AppNames.h"
#include "app/CAppState.h"
#include "app/CPollEventLoop.h"
#include "app/CSettingsStore.h"
#include "config/CConfigFile.h"
#include "config/CInfoTexts.h"
#include "doc/CTmsfrmDoc.h"

namespace {

using Texts = std::map<std::string, std::string>;

std::string Text(const CInfoTexts& info, const std::string& key) {
  const std::string* text = info.Find(key);
  return text ? *text : "<none>";
}

struct InfoTextsTest : ::testing::Test {
  TempDir dir;
  TempDir cwd;
  FakeUi ui;
  CAppState app;
  CPollEventLoop loop;
  CSettingsStore settings{dir.File("Tamsel.conf")};
  CTmsfrmDoc doc{app, settings, ui, loop};
  CInfoTexts info;
  std::string oldCwd;

  void SetUp() override {
    // The local information file is looked for in the current directory.
    char buffer[4096];
    ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
    oldCwd = buffer;
    ASSERT_EQ(chdir(cwd.Path().c_str()), 0);
  }
  void TearDown() override { EXPECT_EQ(chdir(oldCwd.c_str()), 0); }

  bool ParseFile(const std::string& text) {
    auto file = CConfigFile::Open(dir.Write("info", text));
    EXPECT_TRUE(file);
    return file && info.Parse(*file);
  }
  bool Load() {
    return info.LoadInformationTexts(doc.Config(), doc.Loader(), doc.Fetcher(), doc.Lexer(), ui);
  }
};

TEST_F(InfoTextsTest, LinesMakeTheTextsOfTheirEntries) {
  ASSERT_TRUE(
      ParseFile("Before the first entry\n"
                "$abc\n"
                "Line one\n"
                "\n"
                "# note\n"
                "$ abc\n"
                " indented\n"
                "*star\n"
                "1 digit\n"
                "   \n"
                "\t\n"
                "  ! bang comment\n"
                "#x\n"
                "trailing blanks  \n"
                "$crlf\r\n"
                "line\r\n"
                "\r\n"
                "$\n"
                "empty key\n"
                "$dup\n"
                "first\n"
                "$dup\n"
                "second"));
  EXPECT_EQ(info.infoTexts,
            (Texts{
                {"abc", "Line one\r\n\r\n"},
                {" abc", " indented\r\n*star\r\n1 digit\r\n\r\n\r\ntrailing blanks  \r\n"},
                {"crlf", "line\r\n\r\n"},
                {"", "empty key\r\n"},
                {"dup", "second\r\n"},
            }));
  EXPECT_FALSE(info.infoTextsLoaded);
}

TEST_F(InfoTextsTest, AnyBytesLoadAndOversizedFilesAreRefused) {
  std::string longLine(CConfigFile::kMaxLineBytes, 'q');
  std::string binary("\x01\xff\x80 \0zero\x7f", 10);
  ASSERT_TRUE(ParseFile("$bin\n" + binary + "\n" + longLine + "\n$\xe9t\xe9\nok\n"));
  EXPECT_EQ(Text(info, "bin"), binary + "\r\n" + longLine + "\r\n");
  EXPECT_EQ(Text(info, "\xe9t\xe9"), "ok\r\n");

  // Above the limit nothing of the file is kept, and loading can be retried.
  CInfoTexts small;
  small.maxFileBytes = 100;
  cwd.Write("db.ifo", "$k\n" + std::string(200, 'a') + "\n");
  EXPECT_FALSE(
      small.LoadInformationTexts(doc.Config(), doc.Loader(), doc.Fetcher(), doc.Lexer(), ui));
  EXPECT_TRUE(small.infoTexts.empty());
  EXPECT_FALSE(small.infoTextsLoaded);
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Couldn't read database InfoBlurbs"}));
  small.maxFileBytes = CInfoTexts::kMaxFileBytes;
  EXPECT_TRUE(
      small.LoadInformationTexts(doc.Config(), doc.Loader(), doc.Fetcher(), doc.Lexer(), ui));
  EXPECT_EQ(Text(small, "k"), std::string(200, 'a') + "\r\n");
}

TEST_F(InfoTextsTest, LoadsOnceFromTheCurrentDirectoryAfterRetries) {
  // At first neither beside the configuration nor in the current directory.
  ASSERT_TRUE(doc.OpenDocumentConfig(dir.Write("c.tcf",
                                               "conf_version = 1.1\n"
                                               "db_tag = x\n"
                                               "db_name = X\n"
                                               "driver = socket:localhost:2100\n"
                                               "db_int_name = x\n"
                                               "summary_fields = T\n"
                                               "t_field_name = T\n")))
      << ::testing::PrintToString(ui.Texts());
  EXPECT_FALSE(Load());
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text,
            "Can't open DB configuration file:\n\"" + dir.File("db.ifo") + "\"");
  EXPECT_EQ(ui.messages[1].text, "Couldn't read database InfoBlurbs");
  EXPECT_EQ(ui.messages[1].caption, kAppTitle);
  EXPECT_FALSE(info.infoTextsLoaded);
  EXPECT_TRUE(info.infoTexts.empty());

  // The next call tries again; once read, later edits have no effect.
  cwd.Write("db.ifo", "$x\ncurrent directory\n");
  EXPECT_TRUE(Load());
  EXPECT_TRUE(info.infoTextsLoaded);
  EXPECT_EQ(Text(info, "x"), "current directory\r\n");
  cwd.Write("db.ifo", "$x\nedited\n");
  EXPECT_TRUE(Load());
  EXPECT_EQ(Text(info, "x"), "current directory\r\n");
  EXPECT_EQ(ui.messages.size(), 2u);
}

}  // namespace
