#include <gtest/gtest.h>

#include <ctime>

#include "FakeUi.h"
#include "TempDir.h"
#include "app/CAppState.h"
#include "app/CPollEventLoop.h"
#include "app/CSettingsStore.h"
#include "config/CConfigFetcher.h"
#include "config/CConfigLexer.h"
#include "config/CConfigLoader.h"
#include "config/CSectionReader.h"
#include "doc/CTmsfrmDoc.h"

namespace {

const char* kSection =
    "db_tag = cat\n"
    "db_name = Catalogue\n"
    "driver = socket:localhost:2100\n"
    "db_int_name = catalogue\n"
    "title_fields = Package Version\n"
    "summary_fields = Package Description\n"
    "t_field_name = Package Name\n"
    "t_field_cmd = PKG\n"
    "dflt_at = 1\n";

struct LoaderFixture : ::testing::Test {
  TempDir dir;
  FakeUi ui;
  CAppState app;
  CSettingsStore settings{dir.File("Tamsel.conf")};
  CPollEventLoop loop;
  std::unique_ptr<CTmsfrmDoc> doc = std::make_unique<CTmsfrmDoc>(app, settings, ui, loop);

  bool Open(const std::string& text) { return doc->OpenDocumentConfig(dir.Write("c.tcf", text)); }
  CConfiguration& Config() { return doc->Config(); }
  const CDBDescRec& Db(const std::string& tag) { return *Config().databases.at(tag); }
};

TEST_F(LoaderFixture, SingleFileConfigurationFillsEveryRecordMember) {
  ASSERT_TRUE(
      Open(std::string("conf_version = 1.1\n") + kSection +
           "t_field_name = Section\n"
           "t_field_cmd = SEC\n"
           "list_name = Sections\n"
           "list_name = Areas\n"
           "list_hier\n"
           "list_mnemonic = S\n"
           "basic_field\n"
           "dflt_at = 2\n"
           "t_field_name = Size\n"
           "t_range_type = NUMERIC\n"
           "is_limit\n"
           "basic_only\n"
           "t_field_name = Date\n"
           "t_range_type = DAY\n"
           "t_year_range = 90-95\n"
           "l_field_name = Required only\n"
           "l_field_cmd = PRI=required\n"
           "l_field_name = Bare\n"
           "extension_label = View\n"
           "extension_program = viewer --x \"a b\"\n"
           "extension_label = Orphan\n"
           "extension_fields = Package\n"
           "env_name = A\nenv_val = 1\nenv_name = B\nenv_val = 2\nenv_name = C\nenv_val = 3\n"
           "db_group = main\n"
           "basic_mode\nno_adv_mode\nuse_prev_next\nno_info\nseparator\n"))
      << ::testing::PrintToString(ui.Texts());
  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(ui.Texts());
  EXPECT_EQ(doc->LinkStateValue(), LINK_UNCONNECTED);
  // A document is loaded once: opening it again keeps what it holds.
  EXPECT_TRUE(doc->OpenDocumentConfig(dir.Write("c.tcf", "garbage")));
  EXPECT_EQ(Config().databases.size(), 1u);
  EXPECT_FALSE(Config().separateDatabaseFiles);
  const CDBDescRec& db = Db("cat");
  EXPECT_EQ(db.name, "Catalogue");
  EXPECT_EQ(db.host, "localhost");
  EXPECT_EQ(db.port, 2100);
  EXPECT_EQ(db.internalName, "catalogue");
  EXPECT_EQ(db.titleFields, "Package Version");
  EXPECT_EQ(db.extensionFields, "Package");
  EXPECT_EQ(db.group, "main");
  EXPECT_EQ(db.environment, std::string("A\0"
                                        "1\0B\0"
                                        "2\0C\0"
                                        "3\0",
                                        12));
  EXPECT_EQ(db.environmentLength, 12);
  EXPECT_EQ(db.basicMode + db.noAdvancedMode + db.usePrevNext + db.noInfo, 4);
  EXPECT_EQ(db.configured, 1);
  ASSERT_EQ(db.searchFieldCount, 4);
  ASSERT_EQ(db.searchFields.size(), 4u);
  EXPECT_EQ(db.searchFields[1].listNames, (std::vector<std::string>{"Sections", "Areas"}));
  EXPECT_EQ(db.searchFields[1].listCount, 2);
  EXPECT_EQ(db.searchFields[1].listHierarchical, 1);
  EXPECT_EQ(db.searchFields[1].listMnemonic, "S");
  EXPECT_EQ(db.searchFields[1].basicField, 1);
  EXPECT_EQ(db.searchFields[1].basicOnly, 0);
  EXPECT_EQ(db.searchFields[2].rangeType, RANGE_NUMERIC);
  EXPECT_EQ(db.searchFields[2].isLimit, 1);
  EXPECT_EQ(db.searchFields[2].basicOnly, 1);
  EXPECT_EQ(db.searchFields[3].rangeType, RANGE_DAY);
  EXPECT_EQ(db.searchFields[3].yearLow, 1990);
  EXPECT_EQ(db.searchFields[3].yearHigh, 1995);
  ASSERT_EQ(db.limitFields.size(), 2u);
  EXPECT_EQ(db.limitFields[0].command, "PRI=required");
  ASSERT_EQ(db.extensions.size(), 1u);
  EXPECT_EQ(db.extensions[0].program, "viewer --x \"a b\"");
  EXPECT_EQ(db.defaultFieldAt[0], 0);
  EXPECT_EQ(db.defaultFieldAt[1], 1);
  EXPECT_EQ(db.defaultFieldAt[2], -1);
  EXPECT_EQ(db.rowCount, 2);
  // No menu part: the menu is built from the db_name lines.
  ASSERT_EQ(Config().menuEntries.size(), 1u);
  EXPECT_EQ(Config().menuEntries[0].kind, "db");
  EXPECT_EQ(Config().menuEntries[0].text, "Catalogue");
}

TEST(SectionReaderValues, DriverYearsAndNumbers) {
  std::string host;
  int port = 0;
  EXPECT_EQ(CSectionReader::ParseDriver("socket:h1:2100", host, port), CSectionReader::Result::Ok);
  EXPECT_EQ(host, "h1");
  EXPECT_EQ(port, 2100);
  EXPECT_EQ(CSectionReader::ParseDriver("x::h:7", host, port), CSectionReader::Result::Ok);
  EXPECT_EQ(host, "h");
  EXPECT_EQ(port, 7);
  EXPECT_EQ(CSectionReader::ParseDriver("x:h:7:9", host, port), CSectionReader::Result::Ok);
  EXPECT_EQ(port, 7);
  EXPECT_EQ(CSectionReader::ParseDriver("x:h:12ab", host, port), CSectionReader::Result::Ok);
  EXPECT_EQ(port, 12);
  EXPECT_EQ(CSectionReader::ParseDriver("x:h", host, port), CSectionReader::Result::DriverNoPort);
  EXPECT_EQ(CSectionReader::ParseDriver("h", host, port), CSectionReader::Result::DriverNoColon);

  int low = 0, high = 0;
  CSectionReader::ParseYearRange("90-95", 2026, low, high);
  EXPECT_EQ(low, 1990);
  EXPECT_EQ(high, 1995);
  CSectionReader::ParseYearRange("1985-2020", 2026, low, high);
  EXPECT_EQ(low + high, 0);
  CSectionReader::ParseYearRange("1995-1995", 2026, low, high);
  EXPECT_EQ(low + high, 0);
  CSectionReader::ParseYearRange("2000", 2026, low, high);
  EXPECT_EQ(low, 2000);
  EXPECT_EQ(high, 2026);
  CSectionReader::ParseYearRange("1990", 2026, low, high);
  EXPECT_EQ(low + high, 0);

  EXPECT_EQ(CSectionReader::ParseNumber("12ab"), 12);
  EXPECT_EQ(CSectionReader::ParseNumber("-3"), -3);
  EXPECT_EQ(CSectionReader::ParseNumber("x"), 0);
  EXPECT_EQ(CSectionReader::ParseNumber("99999999999999999999"), 2147483647);
}

TEST_F(LoaderFixture, DefaultRowsAndDuplicateNames) {
  ASSERT_TRUE(Open(std::string("conf_version=1.1\n") +
                   "db_tag = a\ndflt_at = 3\ndb_name = Same\ndriver = s:h:1\ndb_int_name = a\n"
                   "summary_fields = X\nt_field_name = F1\ndflt_at = 1\nt_field_name = F2\n"
                   "dflt_at = 1\n"
                   "db_tag = b\ndb_name = Same\ndriver = s:h:2\ndb_int_name = b\n"
                   "summary_fields = X\nt_field_name = F\n"));
  const CDBDescRec& a = Db("a");
  EXPECT_EQ(a.defaultFieldAt[2], -1);
  EXPECT_EQ(a.defaultFieldAt[0], 1);
  EXPECT_EQ(a.rowCount, 3);
  // The name stays with the first tag and is listed once.
  EXPECT_EQ(Config().databaseTags.at("Same"), "a");
  EXPECT_EQ(Config().databaseNames.size(), 1u);
  EXPECT_EQ(Config().menuEntries.size(), 1u);
}

TEST_F(LoaderFixture, SectionFailuresAndTheirMessages) {
  struct Case {
    std::string extra;
    std::string message;
    std::string caption;
  };
  const std::string base = std::string("conf_version = 1.1\n") + kSection;
  std::vector<Case> cases = {
      {"driver = nocolon\n", "Driver doesn't point to socket.\nConfiguration file invalid.",
       "Configuration File Error"},
      {"driver = socket:host\n", "No port for socket connection", "Configuration File Error"},
      {"dflt_at = 7\n", "Error in " + dir.File("c.tcf") + " at line 12", "Configuration Error"},
      {"t_range_type = day\n", "Error in " + dir.File("c.tcf") + " at line 12",
       "Configuration Error"},
      {"echo = on\n", "Error in " + dir.File("c.tcf") + " at line 12", "Configuration Error"},
      {"conf_version = 1.1\n", "Error in " + dir.File("c.tcf") + " at line 12",
       "Configuration Error"},
      {"list_name = " + std::string(40, 'x') + "\n",
       "Error in " + dir.File("c.tcf") + " at line 12", "Configuration Error"},
  };
  std::string thirteen;
  for (int i = 0; i < 13; ++i) {
    thirteen += "list_name = L" + std::to_string(i) + "\n";
  }
  cases.push_back(
      {thirteen, "Error in " + dir.File("c.tcf") + " at line 24", "Configuration Error"});
  for (const auto& c : cases) {
    FakeUi caseUi;
    CTmsfrmDoc caseDoc(app, settings, caseUi, loop);
    EXPECT_FALSE(caseDoc.OpenDocumentConfig(dir.Write("c.tcf", base + "\n" + c.extra))) << c.extra;
    ASSERT_EQ(caseUi.messages.size(), 1u) << c.extra;
    EXPECT_EQ(caseUi.messages[0].text, c.message);
    EXPECT_EQ(caseUi.messages[0].caption, c.caption);
  }

  // Twelve lists are fine.
  std::string twelve;
  for (int i = 0; i < 12; ++i) {
    twelve += "list_name = L" + std::to_string(i) + "\n";
  }
  EXPECT_TRUE(Open(base + twelve));

  // A section without summary fields.
  FakeUi missingUi;
  CTmsfrmDoc missing(app, settings, missingUi, loop);
  std::string noSummary = base;
  noSummary.erase(noSummary.find("summary_fields"),
                  noSummary.find("t_field_name") - noSummary.find("summary_fields"));
  EXPECT_FALSE(missing.OpenDocumentConfig(dir.Write("c.tcf", noSummary)));
  ASSERT_EQ(missingUi.messages.size(), 1u);
  EXPECT_EQ(missingUi.messages[0].text, "Required fields missing in configuration file:\n");
}

TEST_F(LoaderFixture, TopLevelVersionAndErrorPage) {
  EXPECT_FALSE(Open("db_tag = x\n"));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Configuration file has no version.\nInvalid or obsolete file.");
  EXPECT_EQ(ui.messages[0].caption, "Configuration Version Error");

  FakeUi ui2;
  CTmsfrmDoc doc2(app, settings, ui2, loop);
  EXPECT_FALSE(doc2.OpenDocumentConfig(dir.Write("v.tcf", "conf_version = 1.10\n")));
  ASSERT_EQ(ui2.messages.size(), 1u);
  EXPECT_EQ(ui2.messages[0].text,
            "Configuration file is version 1.10.\nWinTamsel expects version 1.1\n");

  FakeUi ui3;
  CTmsfrmDoc doc3(app, settings, ui3, loop);
  EXPECT_FALSE(doc3.OpenDocumentConfig(
      dir.Write("e.tcf", "<HTML><HEAD><TITLE>404 Not Found</TITLE></HEAD>\n<BODY>\n")));
  ASSERT_EQ(ui3.messages.size(), 1u);
  EXPECT_EQ(ui3.messages[0].text, "URL not found");
  EXPECT_EQ(ui3.messages[0].caption, "HTTP Error");

  // A menu part without a single item fails without a message.
  FakeUi ui4;
  CTmsfrmDoc doc4(app, settings, ui4, loop);
  EXPECT_FALSE(doc4.OpenDocumentConfig(
      dir.Write("m.tcf", "conf_version = 1.1\nbegin_menu = k: Sub\nend_menu\n")));
  EXPECT_TRUE(ui4.messages.empty());
}

TEST_F(LoaderFixture, MissingLocalFileShowsThreeMessages) {
  EXPECT_FALSE(doc->OpenDocumentConfig(dir.File("none.tcf")));
  std::string quoted = "\"" + dir.File("none.tcf") + "\"";
  EXPECT_EQ(ui.Texts(),
            (std::vector<std::string>{"Can't open DB configuration file:\n" + quoted,
                                      "Can't preopen simple configuration file:\n" + quoted,
                                      "Can't open DB configuration file:\n" + quoted}));
  EXPECT_EQ(doc->LinkStateValue(), LINK_UNCONNECTED);
}

TEST_F(LoaderFixture, SeparateFilesAreReadWhenSelected) {
  // Database files are found by tag relative to the current directory.
  char oldCwd[4096];
  ASSERT_NE(getcwd(oldCwd, sizeof oldCwd), nullptr);
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  dir.Write("cat", std::string("conf_version = 1.1\n") + kSection);
  dir.Write("log", std::string("# no version line\n") +
                       "db_tag = log\ndb_name = Changelog\ndriver = s:h:9\ndb_int_name = log\n"
                       "summary_fields = X\nt_field_name = Text\n");
  dir.Write("bad", "conf_version = 2.0\n");
  ASSERT_TRUE(
      Open("conf_version = 1.1\n"
           "begin_menu = debian : Debian data\n"
           "item = cat : Catalogue\n"
           "begin_menu = Nested\n"
           "item = log : Changelog\n"
           "end_menu\n"
           "end_menu\n"
           "item = bad : Broken\n"
           "item = gone : Missing\n"
           "item = noname\n"));
  EXPECT_TRUE(Config().separateDatabaseFiles);
  ASSERT_EQ(Config().menuEntries.size(), 9u);
  EXPECT_EQ(Config().menuEntries[0].kind, "menu");
  EXPECT_EQ(Config().menuEntries[0].text, "Debian data");
  EXPECT_EQ(Config().menuEntries[0].tag, "debian");
  EXPECT_EQ(Config().menuEntries[2].text, "Nested");
  EXPECT_EQ(Config().menuEntries[2].tag, "");
  EXPECT_EQ(Config().menuEntries[8].text, "");

  doc->SelectDatabase("Changelog");
  ASSERT_NE(Config().currentDatabase, nullptr);
  EXPECT_EQ(Config().currentDatabase->port, 9);
  doc->SelectDatabase("Catalogue");
  ASSERT_NE(Config().currentDatabase, nullptr);
  EXPECT_EQ(Config().currentDatabase->host, "localhost");
  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(ui.Texts());

  doc->SelectDatabase("Broken");
  EXPECT_EQ(Config().currentDatabase, nullptr);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "Configuration file is version 2.0.\nWinTamsel expects version 1.1\n");

  ui.messages.clear();
  doc->SelectDatabase("Missing");
  EXPECT_EQ(Config().currentDatabase, nullptr);
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{
                            "Can't open DB configuration file:\n\"" + dir.File("gone") + "\"",
                            "Can't open configuration file for gone:\n"}));
  ui.messages.clear();
  doc->SelectDatabase("Nobody");
  EXPECT_EQ(Config().currentDatabase, nullptr);
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_EQ(chdir(oldCwd), 0);
}

TEST_F(LoaderFixture, PointerFileAndDefaultDatabase) {
  // A pointer file leads to a remote open; with no server the fetch fails,
  // but the default database tag is taken.
  std::string pointer = dir.Write("p.tcf",
                                  "conf_url = http://127.0.0.1:9/dir/top.conf\n"
                                  "dflt_db = abc\n");
  doc->Fetcher().connectTimeoutMs = 2000;
  EXPECT_FALSE(doc->OpenDocumentConfig(pointer));
  EXPECT_TRUE(Config().defaultDatabasePending);
  EXPECT_EQ(Config().defaultDatabaseTag, "abc");
  EXPECT_EQ(Config().configBaseUrl, "http://127.0.0.1:9/dir/");
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages.back().text, "Couldn't read the selected URL");
  EXPECT_FALSE(app.remoteOpenPending);

  // dflt_db in two sections: the later one wins.
  std::string two = std::string("conf_version = 1.1\n") + kSection + "dflt_db\n" +
                    "db_tag = b\ndb_name = B\ndriver = s:h:1\ndb_int_name = b\nsummary_fields = S\n"
                    "t_field_name = F\ndflt_db\n";
  FakeUi ui2;
  CTmsfrmDoc doc2(app, settings, ui2, loop);
  ASSERT_TRUE(doc2.OpenDocumentConfig(dir.Write("two.tcf", two)));
  EXPECT_EQ(doc2.Config().defaultDatabaseName, "B");
}

TEST_F(LoaderFixture, NoDefaultUrlForRemoteOpen) {
  app.remoteOpenPending = true;
  EXPECT_FALSE(doc->OpenDocumentConfig("config.tcf"));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "No default URL is set\nSet the default URL from the Options/Preferences menu");
  EXPECT_EQ(ui.messages[0].caption, "Tamsel");
  EXPECT_FALSE(app.remoteOpenPending);
}

TEST_F(LoaderFixture, HugeMenusAreKeptWhole) {
  std::string text = "conf_version = 1.1\n";
  for (int i = 0; i < 100000; ++i) {
    text += "item = t" + std::to_string(i) + " : Name " + std::to_string(i) + "\n";
  }
  ASSERT_TRUE(Open(text));
  EXPECT_EQ(Config().MenuEntryCount(), 100000);
  EXPECT_EQ(Config().databaseNames.size(), 100000u);
}

}  // namespace
