#include <gtest/gtest.h>

#include "BrowseFakeDriver.h"
#include "FakeUi.h"
#include "ManualEventLoop.h"
#include "config/CConfiguration.h"
#include "doc/CTabView.h"
#include "search/CBasicMode.h"
#include "search/CListSelectionDlg.h"

namespace {

using Strings = std::vector<std::string>;

struct BasicModeTest : ::testing::Test {
  FakeUi ui;
  ManualEventLoop loop;
  CConfiguration config;
  BrowseFakeDriver driver;
  CBasicMode page{config, driver, loop, ui};
  std::vector<CBasicMode::SearchRequest> searches;
  Connection searched =
      page.searchRequested.Connect([this](const auto& request) { searches.push_back(request); });

  static CDBFieldDescRec Field(const std::string& name, const std::string& command, int basic,
                               Strings lists = {}) {
    CDBFieldDescRec field;
    field.name = name;
    field.command = command;
    field.basicField = basic != 0 ? 1 : 0;
    field.basicOnly = basic == 2 ? 1 : 0;
    field.listNames = std::move(lists);
    field.listCount = static_cast<int>(field.listNames.size());
    return field;
  }

  CDBDescRec& Connect(std::vector<CDBFieldDescRec> fields, int basicMode = 1, int noAdv = 0) {
    CDBDescRec& db = config.FindOrCreateDatabase("cat");
    db.name = "Catalogue";
    db.basicMode = basicMode;
    db.noAdvancedMode = noAdv;
    db.searchFields = std::move(fields);
    db.searchFieldCount = static_cast<int>(db.searchFields.size());
    config.currentDatabase = &db;
    page.OnConnect(db);
    return db;
  }
};

TEST_F(BasicModeTest, ButtonsFromTheBasicFields) {
  Connect({Field("Title", "ti", 1), Field("Notes", "no", 0), Field("Quick", "qu", 2),
           Field("A", "a", 1), Field("B", "b", 1), Field("C", "c", 1), Field("D", "d", 1)});
  EXPECT_EQ(page.buttonCaptions, (std::array<std::string, 5>{"Title", "Quick", "A", "B", "C"}));
  EXPECT_EQ(page.basicFieldIndex, (std::array<int, 5>{0, 2, 3, 4, 5}));
  EXPECT_EQ(page.basicStatus, "Connected to Catalogue Database");
  EXPECT_EQ(page.modeLine, "Connected to Catalogue Database");

  Connect({Field("Title", "ti", 1), Field("Notes", "no", 0), Field("Quick", "qu", 2)});
  EXPECT_EQ(page.buttonCaptions, (std::array<std::string, 5>{"Title", "Quick", "<disabled>",
                                                             "<disabled>", "<disabled>"}));
  EXPECT_EQ(page.buttonEnabled, (std::array<bool, 5>{true, true, false, false, false}));
  EXPECT_EQ(page.basicFieldIndex, (std::array<int, 5>{0, 2, -1, -1, -1}));
  EXPECT_EQ(page.basicFieldNames[2], "");

  // Without basic mode the page is reset and keeps its buttons.
  Connect({Field("Other", "ot", 1)}, 0);
  EXPECT_EQ(page.buttonCaptions[0], "Title");
  EXPECT_EQ(page.modeLine, "");
  EXPECT_FALSE(page.searchEnabled);
}

TEST_F(BasicModeTest, TextSearchSendsOneTermRecord) {
  Connect({Field("Title", "ti", 1)});
  page.PressButton(3);  // "<disabled>"
  EXPECT_FALSE(page.searchEnabled);
  page.PressButton(0);
  EXPECT_EQ(driver.basicModeSearch, 1);
  EXPECT_TRUE(page.textShown && page.searchEnabled);
  EXPECT_FALSE(page.listShown);
  EXPECT_EQ(page.modeLine, "Connected to Catalogue Database,  Title search");

  EXPECT_FALSE(page.Search());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "No search argument!");
  EXPECT_EQ(ui.messages[0].caption, "Search Error");

  page.TypeText("moby dick");
  EXPECT_TRUE(page.Search());
  ASSERT_EQ(searches.size(), 1u);
  EXPECT_EQ(searches[0].body, std::string("moby dick\0ti\0", 13));
  EXPECT_EQ(searches[0].termCount, 1);
  EXPECT_EQ(searches[0].limitCount, 0);
  EXPECT_EQ(searches[0].fieldName, "Title");
  EXPECT_TRUE(driver.requests.empty());

  page.Reset();
  EXPECT_FALSE(page.textShown || page.searchEnabled || page.listShown);
  EXPECT_EQ(page.basicText, "");
  EXPECT_FALSE(page.Search());
}

TEST_F(BasicModeTest, ListSearchSendsThePicksUnquoted) {
  driver.headings = {"Melville, Herman", "Verne", "Woolf, Virginia"};
  driver.list = &page.List();
  Connect(
      {Field("Author", "au", 1, {"Authors"}), Field("Subject", "su", 1, {"Subjects", "Places"})});
  page.PressButton(0);
  EXPECT_EQ(page.basicListMode, 1);
  EXPECT_TRUE(page.listShown && page.textShown && page.headingShown);
  EXPECT_EQ(page.headingText, "Records  Heading");
  EXPECT_EQ(page.modeLine, "Connected to Catalogue Database,  Authors browse");
  EXPECT_EQ(driver.requests, (std::vector<BrowseFakeDriver::Request>{
                                 {"Authors", 'H', "0", 1, 1}, {"Authors", 'N', "0", 30, 0}}));
  EXPECT_FALSE(page.Search()) << "nothing picked";
  page.Click(0, true);
  page.Click(2, true);
  EXPECT_TRUE(page.Search());
  EXPECT_EQ(searches.back().body, std::string("Melville, Herman OR Woolf, Virginia\0au\0", 39));

  // Typing jumps the list; a double click picks and searches.
  page.TypeText("V");
  loop.Advance(500);
  EXPECT_EQ(driver.Last(), (BrowseFakeDriver::Request{"Authors", 'C', "V", 30, 3}));
  EXPECT_EQ(page.List().Current(), 1);
  page.PressKey(CBrowseList::Key::Down);
  EXPECT_EQ(page.List().Current(), 2);
  EXPECT_TRUE(page.DoubleClick(1));
  EXPECT_EQ(searches.back().body, std::string("Verne\0au\0", 9));

  // Several lists: List Selection; cancelled, the page looks reset.
  page.PressButton(1);
  EXPECT_EQ(ui.dialogKinds.back(), "list-selection");
  EXPECT_FALSE(page.listShown || page.textShown || page.searchEnabled);
  EXPECT_EQ(page.modeLine, "Connected to Catalogue Database");
  ui.QueueDialog([](CDialogModel& dialog) {
    dynamic_cast<CListSelectionDlg&>(dialog).SetChoice(1);
    return true;
  });
  page.PressButton(1);
  EXPECT_EQ(driver.Last().list, "Places");
  EXPECT_EQ(page.modeLine, "Connected to Catalogue Database,  Places browse");
  EXPECT_TRUE(page.List().Selection().empty());
}

TEST_F(BasicModeTest, TabsFollowBasicModeAndNoAdvancedMode) {
  CTabView tabs;
  for (const char* label : {"Search Cr&iteria", "&Basic Mode ", "&Summary", "&Record Retrieval "}) {
    tabs.AddPage(label, 100, tabs.Tabs().empty());
  }
  auto apply = [&](const CDBDescRec& db) {
    for (const auto& step : CBasicMode::TabsAfterConnect(db)) {
      switch (step.op) {
        case CBasicMode::TabStep::Op::Enable:
          tabs.EnableTab(step.page, true);
          break;
        case CBasicMode::TabStep::Op::Disable:
          tabs.EnableTab(step.page, false);
          break;
        case CBasicMode::TabStep::Op::Select:
          tabs.SelectPage(step.page);
          break;
      }
    }
  };
  auto enabled = [&] { return std::vector<bool>{tabs.Tabs()[0].enabled, tabs.Tabs()[1].enabled}; };
  tabs.EnableTab(1, false);

  CDBDescRec& db = Connect({Field("Title", "ti", 1)}, 1, 1);
  apply(db);
  EXPECT_EQ(tabs.Selected(), 1);
  EXPECT_EQ(enabled(), (std::vector<bool>{false, true}));

  // Next a database without basic mode: the criteria page comes back first.
  db.basicMode = 0;
  db.noAdvancedMode = 0;
  apply(db);
  EXPECT_EQ(tabs.Selected(), 0);
  EXPECT_EQ(enabled(), (std::vector<bool>{true, false}));

  db.basicMode = 1;
  apply(db);
  EXPECT_EQ(tabs.Selected(), 0);
  EXPECT_EQ(enabled(), (std::vector<bool>{true, true}));
}

}  // namespace
