#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "FakeUi.h"
#include "TempDir.h"
#include "app/CAboutDlg.h"
#include "app/CAppState.h"
#include "app/CInfoOptions.h"
#include "app/CMailHostDlg.h"
#include "app/CMainFrameModel.h"
#include "app/CSettingsStore.h"
#include "app/CommandIds.h"
#include "app/SettingsNames.h"
#include "config/CConfigFetcher.h"
#include "config/CDefaultUrlCommand.h"
#include "config/CUrlDialog.h"

namespace {

using Words = std::vector<std::string>;

struct MainFrameModelTest : ::testing::Test {
  TempDir dir;
  FakeUi ui;
  CAppState app;
  CSettingsStore settings{dir.File("Tamsel.conf")};
  CMainFrameModel model{app, settings};
};

// Every command item of the menus, submenus included.
void CollectItems(const std::vector<MenuItem>& items, std::vector<MenuItem>& out) {
  for (const MenuItem& item : items) {
    if (item.kind == MenuItem::Kind::Submenu)
      CollectItems(item.items, out);
    if (item.kind == MenuItem::Kind::Command)
      out.push_back(item);
  }
}

std::map<int, MenuItem> ItemsById(const std::vector<Menu>& menus) {
  std::vector<MenuItem> items;
  for (const Menu& menu : menus)
    CollectItems(menu.items, items);
  std::map<int, MenuItem> byId;
  for (const MenuItem& item : items)
    byId.emplace(item.commandId, item);
  return byId;
}

TEST_F(MainFrameModelTest, MenusWithAndWithoutADocument) {
  Words frameTitles;
  for (const Menu& menu : CMainFrameModel::FrameMenus())
    frameTitles.push_back(menu.text);
  EXPECT_EQ(frameTitles, (Words{"&File", "&View", "&Options", "&Help"}));

  auto frame = ItemsById(CMainFrameModel::FrameMenus());
  EXPECT_EQ(frame.size(), 15u);
  EXPECT_EQ(frame[kCmdOpenLocal].text, "&Open Local ...\tCtrl+O");
  EXPECT_EQ(frame[kCmdOpenRemote].prompt, "Open remote configuration file\nOpen remote config");
  EXPECT_EQ(frame[kCmdExit].shortcut, "Alt+X");
  EXPECT_EQ(frame[kCmdViewToolbar].text, "&Toolbar ");
  EXPECT_EQ(frame[kCmdDefaultUrl].text, "Default Configuration URL ");
  EXPECT_TRUE(frame[kCmdSplashOn].checkable);
  EXPECT_EQ(frame[kCmdAbout].text, "&About Tamsel");

  // The document's menus keep every Options and Help entry of the frame.
  auto document = ItemsById(CMainFrameModel::DocumentMenus());
  for (int id :
       {kCmdSaveWindowPosition, kCmdDefaultMailhost, kCmdDefaultUrl, kCmdWebBrowser, kCmdSplashOn,
        kCmdPacketTrace, kCmdHelpIndex, kCmdUsingHelp, kCmdAbout, kCmdOpenRemote, kCmdExit}) {
    ASSERT_EQ(document.count(id), 1u) << id;
    EXPECT_EQ(document[id].text, frame[id].text) << id;
  }
  EXPECT_EQ(document[kCmdDatabaseHelp].prompt, "Database specific help");
  EXPECT_EQ(document[kCmdSaveMail].shortcut, "Ctrl+S");
  EXPECT_EQ(document[kCmdRecordFormat].prompt, "Specify format options");
  EXPECT_EQ(frame.count(kCmdDatabaseHelp), 0u);
}

TEST_F(MainFrameModelTest, ToolbarKeysAndPanes) {
  std::vector<int> ids;
  for (const ToolbarButton& button : CMainFrameModel::ToolbarButtons()) {
    ids.push_back(button.commandId);
    if (button.commandId != 0) {
      EXPECT_FALSE(button.toolTip.empty()) << button.commandId;
      EXPECT_FALSE(button.statusPrompt.empty()) << button.commandId;
    }
  }
  EXPECT_EQ(ids, (std::vector<int>{31033, 31016, 31017, 31021, 0, 57635, 57634, 57637, 0, 31007,
                                   31008, 0, 31031, 31032, 0, 57664, 57669}));

  std::map<std::string, int> keys;
  for (const ShortcutKey& key : CMainFrameModel::Shortcuts()) {
    EXPECT_TRUE(keys.emplace(key.key, key.commandId).second) << key.key << " twice";
  }
  EXPECT_EQ(keys.size(), 27u);
  EXPECT_EQ(keys["Ctrl+O"], kCmdOpenRemote);
  EXPECT_EQ(keys["Alt+X"], kCmdExit);
  EXPECT_EQ(keys["Ctrl+Q"], kCmdExit);
  EXPECT_EQ(keys["Shift+F1"], kCmdContextHelp);
  EXPECT_EQ(keys["Ctrl+M"], kCmdMoreTitles);

  auto panes = CMainFrameModel::StatusPanes();
  ASSERT_EQ(panes.size(), 5u);
  EXPECT_EQ(panes[1].id, 59142);
  EXPECT_EQ(panes[1].sizingText, "Somewhat Longer Result");

  EXPECT_TRUE(CMainFrameModel::IsAcceptedNoOpMessage(1044));
  EXPECT_TRUE(CMainFrameModel::IsAcceptedNoOpMessage(1049));
  EXPECT_FALSE(CMainFrameModel::IsAcceptedNoOpMessage(1046));
  EXPECT_FALSE(CMainFrameModel::IsAcceptedNoOpMessage(1035));
}

TEST_F(MainFrameModelTest, SavedWindowPositionIsWhereTheNextStartOpens) {
  model.SaveWindowPosition({15, 25, 801, 602});
  EXPECT_EQ(app.StatusMessage(), "Window Position Saved");
  FramePlacement placement = model.InitialPlacement(1920);
  EXPECT_EQ(placement.x, 15);
  EXPECT_EQ(placement.y, 25);
  EXPECT_EQ(placement.width, 801);
  EXPECT_EQ(placement.height, 602);
}

TEST_F(MainFrameModelTest, SplashOnTogglesTheStoredSwitch) {
  EXPECT_TRUE(model.SplashChecked());
  model.ToggleSplash();
  EXPECT_EQ(settings.ReadSettingInt(kSectionOptions, kEntrySplash, -1), 1);
  EXPECT_FALSE(model.SplashChecked());
  // This run's splash choice was made at start.
  EXPECT_TRUE(model.SplashWanted());
  model.ToggleSplash();
  EXPECT_EQ(settings.ReadSettingInt(kSectionOptions, kEntrySplash, -1), 0);
  EXPECT_TRUE(model.SplashChecked());
}

TEST_F(MainFrameModelTest, DefaultMailhostNeedsAHost) {
  settings.WriteSettingText(kSectionMailParameters, kEntrySmtpHost, "old.example");
  std::string shown;
  ui.QueueDialog([&](CDialogModel& model) {
    auto& dialog = dynamic_cast<CMailHostDlg&>(model);
    shown = dialog.text;
    dialog.SetAnswerText("");
    return true;  // refused: stays open
  });
  ui.QueueDialog([](CDialogModel& model) {
    dynamic_cast<CMailHostDlg&>(model).SetAnswerText("mail.example:2525");
    return true;
  });
  EXPECT_TRUE(model.DefaultMailhostCommand(ui));
  EXPECT_EQ(shown, "old.example");
  EXPECT_EQ(ui.dialogKinds, (Words{"mail-host"}));
  EXPECT_EQ(settings.ReadSettingText(kSectionMailParameters, kEntrySmtpHost, ""),
            "mail.example:2525");

  EXPECT_FALSE(model.DefaultMailhostCommand(ui));  // cancelled
  EXPECT_EQ(settings.ReadSettingText(kSectionMailParameters, kEntrySmtpHost, ""),
            "mail.example:2525");
}

TEST_F(MainFrameModelTest, DefaultConfigurationUrlShiftsTheRecentList) {
  CDefaultUrlCommand command(ui, settings);
  Words shown;
  std::string caption;
  auto answer = [&](const std::string& url) {
    ui.QueueDialog([&, url](CDialogModel& model) {
      auto& dialog = dynamic_cast<CUrlDialog&>(model);
      shown = dialog.list;
      caption = dialog.Caption() + "|" + dialog.Prompt() + "|" + dialog.text;
      dialog.SetAnswerText(url);
      return true;
    });
  };
  // An empty store proposes the built-in URL; the new URL pushes it down.
  answer("http://a/x.conf");
  EXPECT_TRUE(command.Run());
  EXPECT_EQ(shown, (Words{kBuiltinDefaultConfigUrl}));
  EXPECT_EQ(caption, std::string("Set configuration URL|Enter configuration url:|") +
                         kBuiltinDefaultConfigUrl);
  EXPECT_EQ(settings.ReadUrlList(), (Words{"http://a/x.conf", kBuiltinDefaultConfigUrl}));

  // Choosing a recent URL moves it to the front without a second copy.
  answer(kBuiltinDefaultConfigUrl);
  EXPECT_TRUE(command.Run());
  EXPECT_EQ(settings.ReadUrlList(), (Words{kBuiltinDefaultConfigUrl, "http://a/x.conf"}));

  // A blank stored default counts as none.
  settings.WriteSettingText(kSectionDefaultUrl, kEntryDefaultUrl, " ");
  EXPECT_EQ(command.ProposedList().front(), kBuiltinDefaultConfigUrl);

  // An empty answer is refused and Cancel changes nothing.
  settings.WriteUrlList({"u0", "u1", "u2", "u3", "u4", "u5"});
  answer("");
  EXPECT_FALSE(command.Run());
  EXPECT_EQ(settings.ReadUrlList(), (Words{"u0", "u1", "u2", "u3", "u4", "u5"}));
  // A full list drops its oldest entry.
  answer("new");
  EXPECT_TRUE(command.Run());
  EXPECT_EQ(settings.ReadUrlList(), (Words{"new", "u0", "u1", "u2", "u3", "u4"}));
}

TEST(MainFrameInfoTest, AboutAndInformationOptions) {
  CAboutDlg about;
  EXPECT_EQ(about.Caption(), "About Tamsel");
  EXPECT_EQ(about.VersionText(), "WinTamsel32 1.41");
  EXPECT_FALSE(about.NeedsAnswer());
  EXPECT_FALSE(about.Copyright().empty());

  auto help = CInfoOptions::TextFor({"--help"});
  ASSERT_TRUE(help.has_value());
  EXPECT_EQ(help->rfind("Usage: tamsel", 0), 0u);
  auto version = CInfoOptions::TextFor({"--version"});
  ASSERT_TRUE(version.has_value());
  EXPECT_NE(version->find("WinTamsel32 1.41"), std::string::npos);
  EXPECT_FALSE(CInfoOptions::TextFor({}).has_value());
  EXPECT_FALSE(CInfoOptions::TextFor({"-e"}).has_value());
  EXPECT_FALSE(CInfoOptions::TextFor({"my config.tcf"}).has_value());
}

}  // namespace
