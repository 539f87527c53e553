#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <string>
#include <vector>

#include "FakeUi.h"
#include "RecordingProgram.h"
#include "TempDir.h"
#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
#include "config/CDBDescRec.h"
#include "external/CWebBrowser.h"

namespace {

using Words = std::vector<std::string>;

TEST(WebBrowserUrlTest, ClimbsOneDirectoryAboveTheConfiguration) {
  EXPECT_EQ(CWebBrowser::HelpUrl("http://cfg.example/tamsel-config/db-config.win/", "med"),
            "http://cfg.example/tamsel-config/helphtml/help.cgi?med");
  EXPECT_EQ(CWebBrowser::HelpUrl("https://h:8080/a/b/c/", "x"),
            "https://h:8080/a/b/helphtml/help.cgi?x");
  // A local configuration has no base: the page is named relative.
  EXPECT_EQ(CWebBrowser::HelpUrl("", "med"), "helphtml/help.cgi?med");

  CDBDescRec db;
  db.name = "Medicine";
  db.tag = "med";
  std::map<std::string, std::string> tags{{"Medicine", "med"}};
  std::string base = "http://h/c/d/";
  EXPECT_EQ(CWebBrowser::DatabaseHelpUrl(&db, tags, base), "http://h/c/helphtml/help.cgi?med");
  EXPECT_EQ(CWebBrowser::DatabaseHelpUrl(nullptr, tags, base), "");
  EXPECT_EQ(CWebBrowser::DatabaseHelpUrl(&db, {}, base), "");
  EXPECT_FALSE(CWebBrowser::DatabaseHelpEnabled(nullptr));
  EXPECT_TRUE(CWebBrowser::DatabaseHelpEnabled(&db));
}

struct WebBrowserTest : ::testing::Test {
  TempDir dir;
  FakeUi ui;
  CSettingsStore settings{dir.File("Tamsel.conf")};
  CWebBrowser browser{ui, settings};
  CDBDescRec db;
  std::map<std::string, std::string> tags{{"Medicine", "med"}};
  std::string base = "http://cfg.example/tamsel-config/db-config.win/";
  std::string url = "http://cfg.example/tamsel-config/helphtml/help.cgi?med";

  WebBrowserTest() {
    db.name = "Medicine";
    db.tag = "med";
  }
};

TEST_F(WebBrowserTest, StartsTheStoredBrowserAsStored) {
  ASSERT_EQ(mkdir(dir.File("Web Apps").c_str(), 0755), 0);
  std::string path = WriteRecordingProgram(dir, "Web Apps/FireFox");
  settings.WriteSettingText(kSectionBrowser, kEntryBrowser, path);

  EXPECT_TRUE(browser.DatabaseHelp(&db, tags, base));
  EXPECT_EQ(RecordedArgs(path), (Words{url}));
  EXPECT_TRUE(ui.fileRequests.empty());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(WebBrowserTest, WithoutABrowserAsksThenFallsBackToTheDesktop) {
  std::string opener = WriteRecordingProgram(dir, "xdg-open");
  ScopedEnv path("PATH", dir.Path().c_str());

  // Chooser cancelled: nothing stored, the desktop opens the page.
  EXPECT_TRUE(browser.DatabaseHelp(&db, tags, base));
  EXPECT_EQ(RecordedArgs(opener), (Words{url}));
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_EQ(ui.fileRequests[0].caption, "Select Web Browser");
  EXPECT_EQ(ui.fileRequests[0].directory, "/usr/bin");
  EXPECT_EQ(browser.BrowserPath(), "");

  // No database selected: nothing at all.
  EXPECT_FALSE(browser.DatabaseHelp(nullptr, tags, base));
  EXPECT_EQ(ui.fileRequests.size(), 1u);
}

TEST_F(WebBrowserTest, ChoosingABrowserStoresItAndStartsInItsDirectory) {
  std::string chosen = WriteRecordingProgram(dir, "Browser");
  ui.QueueFile(chosen);
  EXPECT_TRUE(browser.DatabaseHelp(&db, tags, base));
  EXPECT_EQ(browser.BrowserPath(), chosen);
  EXPECT_EQ(RecordedArgs(chosen), (Words{url}));

  FileChooserRequest request = CWebBrowser::ChooseRequest("/opt/Apps/b");
  EXPECT_EQ(request.directory, "/opt/Apps");
  EXPECT_EQ(request.fileName, "b");
  EXPECT_EQ(CWebBrowser::ChooseRequest("/firefox").directory, "/");
  ASSERT_EQ(request.filters.size(), 2u);

  // Cancel leaves the stored choice alone.
  EXPECT_FALSE(browser.ChooseBrowser());
  EXPECT_EQ(browser.BrowserPath(), chosen);
}

TEST_F(WebBrowserTest, ReportsABrowserThatCannotStart) {
  settings.WriteSettingText(kSectionBrowser, kEntryBrowser, dir.File("Gone/Browser"));
  EXPECT_FALSE(browser.DatabaseHelp(&db, tags, base));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Couldn't load program");
  EXPECT_EQ(ui.messages[0].caption, "Winexec error");
}

}  // namespace
