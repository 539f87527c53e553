#include <gtest/gtest.h>

#include <map>

#include "FakeUi.h"
#include "TempDir.h"
#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "app/CSplashModel.h"
#include "app/CStartup.h"
#include "app/SettingsNames.h"

namespace {

struct StartupFixture : ::testing::Test {
  TempDir dir;
  CAppState app;
  CSettingsStore settings{dir.File("Tamsel.conf")};
  FakeUi ui;
  CStartup startup{app, settings, ui};
  std::map<std::string, std::string> env;

  CTempFiles::GetEnv GetEnv() {
    return [this](const char* name) -> const char* {
      auto it = env.find(name);
      return it == env.end() ? nullptr : it->second.c_str();
    };
  }
};

TEST_F(StartupFixture, CommandLineDecidesTheFirstOpen) {
  StartOpen open = startup.FirstOpen("/home/u/my db.tcf");
  EXPECT_EQ(open.kind, StartOpenKind::Path);
  EXPECT_EQ(open.path, "/home/u/my db.tcf");
  EXPECT_FALSE(app.remoteOpenPending);

  for (const char* flag : {"-e", "-E", "/e", "/E"}) {
    EXPECT_EQ(startup.FirstOpen(flag).kind, StartOpenKind::Nothing) << flag;
  }
  EXPECT_FALSE(app.remoteOpenPending);
  // Only the word itself means empty; paths that begin alike are opened.
  EXPECT_EQ(startup.FirstOpen("-x").kind, StartOpenKind::Path);
  EXPECT_EQ(startup.FirstOpen("/etc/db.tcf").kind, StartOpenKind::Path);
  EXPECT_EQ(startup.FirstOpen("-extra.tcf").kind, StartOpenKind::Path);

  open = startup.FirstOpen("");
  EXPECT_EQ(open.kind, StartOpenKind::RemoteDefault);
  EXPECT_EQ(open.path, "config.tcf");
  EXPECT_TRUE(app.remoteOpenPending);

  settings.WriteSettingText("Most Recent Command Line", "File", "/srv/last.tcf");
  EXPECT_EQ(startup.FirstOpen("").path, "/srv/last.tcf");
}

TEST_F(StartupFixture, JoinsArgumentsAsOneCommandLine) {
  char prog[] = "tamsel", a[] = "my", b[] = "file.tcf";
  char* argv[] = {prog, a, b};
  EXPECT_EQ(CStartup::JoinCommandLine(3, argv), "my file.tcf");
  EXPECT_EQ(CStartup::JoinCommandLine(1, argv), "");
}

TEST_F(StartupFixture, SecondStartQuestionAndItsAnswers) {
  bool handOver = true;
  ui.QueueAnswer(MsgAnswer::Yes);
  EXPECT_EQ(startup.AskSecondStart("a.tcf", handOver), SecondStartChoice::NewInstance);
  EXPECT_FALSE(handOver);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].caption, "WinTamsel Alert");
  EXPECT_EQ(ui.messages[0].text,
            "WinTamsel is already running. \n\nPress 'Yes' to continue in a new window\n"
            "Press 'No' to continue in the existing window    \nPress 'Cancel' to discontinue "
            "this request\n");
  EXPECT_EQ(ui.messages[0].buttons, MsgButtons::YesNoCancel);
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Question);
  EXPECT_EQ(settings.ReadSettingText("Most Recent Command Line", "File", ""), "");

  // No with a path: it is stored for the running program, which takes it.
  ui.QueueAnswer(MsgAnswer::No);
  EXPECT_EQ(startup.AskSecondStart("/data/b.tcf", handOver), SecondStartChoice::HandOver);
  EXPECT_TRUE(handOver);
  app.remoteOpenPending = app.askForUrl = true;
  EXPECT_EQ(startup.TakeMostRecentCommandLine(), "/data/b.tcf");
  EXPECT_FALSE(app.remoteOpenPending);
  EXPECT_FALSE(app.askForUrl);

  // No without a path only raises the running program.
  ui.QueueAnswer(MsgAnswer::No);
  EXPECT_EQ(startup.AskSecondStart("", handOver), SecondStartChoice::HandOver);
  EXPECT_FALSE(handOver);
  EXPECT_EQ(settings.ReadSettingText("Most Recent Command Line", "File", ""), "/data/b.tcf");

  ui.QueueAnswer(MsgAnswer::Cancel);
  EXPECT_EQ(startup.AskSecondStart("c.tcf", handOver), SecondStartChoice::End);
  EXPECT_FALSE(handOver);
}

TEST_F(StartupFixture, PrepareChoosesTempDirectoryAndReadsSwitches) {
  env["TMPDIR"] = dir.Path();
  settings.WriteSettingInt("Options", "Splash", 1);
  settings.WriteSettingInt("Options", "Kiosk", 3);
  app.tempConfigCounter = 7;
  app.remoteOpenPending = app.askForUrl = true;
  startup.Prepare(GetEnv());
  EXPECT_EQ(app.tempDirectory, dir.Path() + "/");
  EXPECT_EQ(app.tempConfigCounter, 0);
  EXPECT_FALSE(app.remoteOpenPending);
  EXPECT_FALSE(app.askForUrl);
  EXPECT_EQ(app.splashSuppressed, 1);
  EXPECT_EQ(app.kioskMode, 3);
  ASSERT_FALSE(app.privateDirectory.empty());
  EXPECT_EQ(app.privateDirectory.rfind(dir.Path() + "/tamsel-", 0), 0u);

  // Three copies are numbered from 0; a failed one gives its number back.
  std::vector<std::string> copies;
  for (int i = 0; i < 3; ++i) {
    copies.push_back(app.NextTempConfigPath());
    dir.Write(copies.back().substr(dir.Path().size() + 1), "x");
  }
  EXPECT_EQ(copies[2], app.privateDirectory + "config2.TCF");
  std::string failed = app.NextTempConfigPath();
  app.GiveBackTempConfig();
  EXPECT_EQ(app.NextTempConfigPath(), failed);
  app.GiveBackTempConfig();

  std::string privateDir = app.privateDirectory;
  startup.Exit();
  for (const auto& copy : copies) {
    EXPECT_FALSE(FileExists(copy)) << copy;
  }
  EXPECT_FALSE(FileExists(privateDir));
}

TEST(TempDirectoryChoice, FollowsTheEnvironmentOrder) {
  std::map<std::string, std::string> env;
  auto get = [&env](const char* name) -> const char* {
    auto it = env.find(name);
    return it == env.end() ? nullptr : it->second.c_str();
  };
  EXPECT_EQ(CTempFiles::ChooseTempDirectory(get), "/tmp/");
  env["TMPDIR"] = "/var/tmp";
  EXPECT_EQ(CTempFiles::ChooseTempDirectory(get), "/var/tmp/");
  env["TMP"] = "/scratch/";
  EXPECT_EQ(CTempFiles::ChooseTempDirectory(get), "/scratch/");
  env["TEMP"] = "";
  EXPECT_EQ(CTempFiles::ChooseTempDirectory(get), "/scratch/");
  env["TEMP"] = "/t";
  EXPECT_EQ(CTempFiles::ChooseTempDirectory(get), "/t/");
}

TEST(SplashModel, ClosesAfterFiveSecondsOrAtFirstInput) {
  CSplashModel splash;
  EXPECT_FALSE(splash.OnIdle(10000));
  splash.Shown(1000);
  EXPECT_FALSE(splash.OnIdle(5999));
  EXPECT_TRUE(splash.IsShown());
  EXPECT_TRUE(splash.OnIdle(6000));
  EXPECT_FALSE(splash.IsShown());
  EXPECT_FALSE(splash.OnIdle(7000));

  splash.Shown(0);
  EXPECT_TRUE(splash.OnInput());
  EXPECT_FALSE(splash.OnInput());
  EXPECT_FALSE(splash.OnIdle(6000));
}

}  // namespace
