#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "FakeUi.h"
#include "TempDir.h"
#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "config/CCompanionFiles.h"
#include "config/CConfigFetcher.h"
#include "config/CConfigFile.h"
#include "config/CConfigLexer.h"
#include "config/CConfigLoader.h"
#include "config/CConfiguration.h"
#include "config/CInfoTexts.h"

namespace {

using Texts = std::vector<std::string>;

const char* kSection =
    "db_tag = cat\n"
    "db_name = Catalogue\n"
    "driver = socket:localhost:2100\n"
    "db_int_name = catalogue\n"
    "summary_fields = Package Description\n"
    "t_field_name = Package Name\n";

// Files that could block or flood a reader, and tags that are paths.
struct HostileConfig : ::testing::Test {
  TempDir dir;
  FakeUi ui;
  CAppState app;
  CSettingsStore settings{dir.File("Tamsel.conf")};
  CConfiguration config;
  CConfigLexer lexer{ui};
  CConfigFetcher fetcher{app, ui};
  CConfigLoader loader{config, lexer, fetcher, app, settings, ui};

  std::string Fifo(const std::string& name) {
    std::string path = dir.File(name);
    EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
    return path;
  }
  std::string LineError(const std::string& file, int line) {
    return "Error in " + file + " at line " + std::to_string(line);
  }
  // The messages of a file that could not be opened at all.
  Texts NotOpened(const std::string& path) {
    std::string quoted = "\"" + path + "\"";
    return {"Can't open DB configuration file:\n" + quoted,
            "Can't preopen simple configuration file:\n" + quoted,
            "Can't open DB configuration file:\n" + quoted};
  }
};

TEST_F(HostileConfig, FifoDeviceAndHugeFilesAreRefusedLikeMissingOnes) {
  // None of these may block or read without end: each is refused at the open.
  std::string fifo = Fifo("fifo.tcf");
  std::string huge = dir.File("huge.tcf");
  int fd = open(huge.c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, CConfigFile::kMaxFileBytes + 1), 0);  // sparse: no real 64 MiB
  close(fd);
  for (const std::string& path : {fifo, std::string("/dev/zero"), huge}) {
    CConfigFile::OpenStatus status = CConfigFile::OpenStatus::Ok;
    EXPECT_EQ(CConfigFile::Open(path, &status), nullptr) << path;
    EXPECT_EQ(status, CConfigFile::OpenStatus::Refused) << path;
    ui.messages.clear();
    config.documentOpened = false;
    EXPECT_FALSE(loader.OpenDocumentConfig(path));
    EXPECT_EQ(ui.Texts(), NotOpened(path));
  }
  CConfigFile::OpenStatus status = CConfigFile::OpenStatus::Ok;
  EXPECT_EQ(CConfigFile::Open(dir.File("none"), &status), nullptr);
  EXPECT_EQ(status, CConfigFile::OpenStatus::Missing);
  // A file of exactly the limit is still read.
  fd = open(huge.c_str(), O_WRONLY | O_TRUNC);
  ASSERT_EQ(ftruncate(fd, CConfigFile::kMaxFileBytes), 0);
  close(fd);
  EXPECT_NE(CConfigFile::Open(huge), nullptr);
}

TEST_F(HostileConfig, OversizeLineIsALineErrorWithItsNumber) {
  std::string limit(CConfigFile::kMaxLineBytes, 'x');
  auto file = CConfigFile::FromText("a\n" + limit + "\r\n" + limit + "y\nz\n");
  std::string line;
  ASSERT_TRUE(file->ReadLine(line));
  ASSERT_TRUE(file->ReadLine(line));
  EXPECT_EQ(line.size(), CConfigFile::kMaxLineBytes);
  EXPECT_FALSE(file->ReadLine(line));
  EXPECT_TRUE(file->ReadFailed());
  EXPECT_TRUE(file->LineTooLong());
  EXPECT_FALSE(file->ReadLine(line)) << "nothing after the refused line is read";

  // From a file, in the menu part, in a section and in a database file.
  std::string tooLong = "db_name = " + limit + "\n";
  std::string menu = dir.Write("menu.tcf", "conf_version = 1.1\n# c\n" + tooLong + "item = a:A\n");
  EXPECT_FALSE(loader.OpenDocumentConfig(menu));
  EXPECT_EQ(ui.Texts(), Texts{LineError(menu, 3)});

  ui.messages.clear();
  config.documentOpened = false;
  std::string section =
      dir.Write("section.tcf", std::string("conf_version = 1.1\n") + kSection + tooLong);
  EXPECT_FALSE(loader.OpenDocumentConfig(section));
  // Not "Required fields missing": the section was cut short, not incomplete.
  EXPECT_EQ(ui.Texts(), Texts{LineError(section, 8)});

  // The lex listing stops at the line and says so.
  ui.messages.clear();
  std::ostringstream out;
  EXPECT_TRUE(LexConfigurationFile(ui, menu, out));
  EXPECT_EQ(out.str(), "1 33 conf_version=1.1\nend 3\n");
  EXPECT_EQ(ui.Texts(), Texts{LineError(menu, 3)});
}

TEST_F(HostileConfig, LeadingByteOrderMarkIsSkipped) {
  std::string path = dir.Write("bom.tcf", std::string("\xEF\xBB\xBF") + "conf_version = 1.1\n" +
                                              kSection + "db_group = \xEF\xBB\xBFg\n");
  ASSERT_TRUE(loader.OpenDocumentConfig(path)) << ::testing::PrintToString(ui.Texts());
  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(ui.Texts());
  // Only the very first bytes of the file: elsewhere a mark is text.
  EXPECT_EQ(config.databases.at("cat")->group, "\xEF\xBB\xBFg");
  std::string line;
  auto onlyMark = CConfigFile::FromText("\xEF\xBB\xBF");
  ASSERT_TRUE(onlyMark->ReadLine(line));
  EXPECT_EQ(line, "");
}

TEST_F(HostileConfig, MenuNestingIsCappedAtSixtyFourLevels) {
  auto nested = [](int depth) {
    std::string text = "conf_version = 1.1\n";
    for (int i = 0; i < depth; ++i) {
      text += "begin_menu = m" + std::to_string(i) + "\nend_menu\nbegin_menu = n\n";
    }
    return text + "item = cat : Catalogue\n";
  };
  // Closed submenus don't count; 64 open at once are fine.
  ASSERT_TRUE(loader.OpenDocumentConfig(dir.Write("64.tcf", nested(64))));
  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(ui.Texts());

  config.documentOpened = false;
  std::string deep = dir.Write("65.tcf", nested(65));
  EXPECT_FALSE(loader.OpenDocumentConfig(deep));
  // The 65th open submenu is the first begin_menu of the last round.
  EXPECT_EQ(ui.Texts(), Texts{LineError(deep, 2 + 64 * 3)});
}

TEST_F(HostileConfig, TagsNamingFilesArePlainNames) {
  // Each bad tag is a line error of the top-level file, at its own line.
  const std::vector<std::string> badTags = {"/etc/passwd", "../../x", "-rf", "a/b",
                                            "../../../../dev/zero"};
  for (const std::string& tag : badTags) {
    ui.messages.clear();
    config.documentOpened = false;
    std::string path =
        dir.Write("tags.tcf", "conf_version = 1.1\nitem = good : Good\n#\nitem = " + tag +
                                  " : Bad\nitem = ../x : Later\n");
    EXPECT_FALSE(loader.OpenDocumentConfig(path)) << tag;
    EXPECT_EQ(ui.Texts(), Texts{LineError(path, 4)}) << tag;
  }
  // In a single file the tags name no file and are left alone.
  config.documentOpened = false;
  ui.messages.clear();
  std::string single = std::string("conf_version = 1.1\nitem = a/b : AB\n") + kSection;
  EXPECT_TRUE(loader.OpenDocumentConfig(dir.Write("single.tcf", single)));
  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(ui.Texts());

  EXPECT_TRUE(CCompanionFiles::IsPlainName("cat.tcf"));
  EXPECT_TRUE(CCompanionFiles::IsPlainName("a-b"));
  EXPECT_FALSE(CCompanionFiles::IsPlainName(""));
  EXPECT_FALSE(CCompanionFiles::IsPlainName(".."));
}

TEST_F(HostileConfig, FifoAsDatabaseFileIsRefusedWithoutBlocking) {
  Fifo("pipe");
  std::string top = dir.Write("top.tcf", "conf_version = 1.1\nitem = pipe : Pipe\n");
  ASSERT_TRUE(loader.OpenDocumentConfig(top));
  loader.SelectDatabase("Pipe");
  EXPECT_EQ(config.currentDatabase, nullptr);
  EXPECT_EQ(ui.Texts(), (Texts{"Can't open DB configuration file:\n\"" + dir.File("pipe") + "\"",
                               "Can't open configuration file for pipe:\n"}));
}

// Runs the body with the current directory set to `where`.
template <typename Body>
void InDirectory(const std::string& where, Body body) {
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(where.c_str()), 0);
  body();
  ASSERT_EQ(chdir(old), 0);
}

TEST_F(HostileConfig, CompanionFilesAreFoundNextToTheConfigurationThenInTheCurrentDirectory) {
  TempDir elsewhere;
  ASSERT_EQ(mkdir(dir.File("conf").c_str(), 0700), 0);
  dir.Write("conf/cat", std::string("conf_version = 1.1\n") + kSection);
  dir.Write("conf/db.ifo", "$cat\nBeside the configuration.\n");
  // Only in the current directory; and one in both places, where the
  // configuration's own wins.
  elsewhere.Write("log",
                  "db_tag = log\ndb_name = Changelog\ndriver = s:h:9\ndb_int_name = log\n"
                  "summary_fields = S\nt_field_name = Text\n");
  elsewhere.Write("cat", "conf_version = 2.0\n");
  std::string top = dir.Write("conf/top.tcf",
                              "conf_version = 1.1\nitem = cat : Catalogue\nitem = log : Changelog\n"
                              "item = gone : Gone\n");
  InDirectory(elsewhere.Path(), [&] {
    ASSERT_TRUE(loader.OpenDocumentConfig(top));
    loader.SelectDatabase("Catalogue");
    ASSERT_NE(config.currentDatabase, nullptr) << ::testing::PrintToString(ui.Texts());
    EXPECT_EQ(config.currentDatabase->port, 2100);
    loader.SelectDatabase("Changelog");
    ASSERT_NE(config.currentDatabase, nullptr) << ::testing::PrintToString(ui.Texts());
    EXPECT_EQ(config.currentDatabase->name, "Changelog");
    EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(ui.Texts());

    CInfoTexts info;
    ASSERT_TRUE(info.LoadInformationTexts(config, loader, fetcher, lexer, ui));
    ASSERT_NE(info.Find("cat"), nullptr);
    EXPECT_EQ(*info.Find("cat"), "Beside the configuration.\r\n");

    // A missing file is named where it was looked for first.
    loader.SelectDatabase("Gone");
    EXPECT_EQ(ui.Texts(),
              (Texts{"Can't open DB configuration file:\n\"" + dir.File("conf/gone") + "\"",
                     "Can't open configuration file for gone:\n"}));
  });
  EXPECT_EQ(CCompanionFiles::Candidates("/a/b/top.tcf", "cat"), (Texts{"/a/b/cat", "cat"}));
  EXPECT_EQ(CCompanionFiles::Candidates("top.tcf", "cat"), Texts{"cat"});
  EXPECT_EQ(CCompanionFiles::Candidates("/top.tcf", "db.ifo"), (Texts{"/db.ifo", "db.ifo"}));
}

}  // namespace
