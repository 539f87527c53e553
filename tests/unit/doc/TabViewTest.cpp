#include <gtest/gtest.h>

#include <vector>

#include "app/Signal.h"
#include "doc/CMainView.h"

namespace {

struct TabFixture : ::testing::Test {
  CMainView view;
  std::vector<std::pair<int, int>> notes;
  std::vector<int> activated;
  ConnectionBag connections;
  void SetUp() override {
    connections +=
        view.onNotify.Connect([this](int hint, int page) { notes.emplace_back(hint, page); });
    connections += view.onActivate.Connect([this](int page) { activated.push_back(page); });
    view.AddPages();
    activated.clear();
  }
};

TEST_F(TabFixture, PagesMnemonicsAndLayout) {
  ASSERT_EQ(view.Tabs().size(), 4u);
  EXPECT_EQ(view.Selected(), 0);
  std::string mnemonics;
  for (const auto& tab : view.Tabs()) {
    mnemonics += tab.mnemonic;
  }
  EXPECT_EQ(mnemonics, "IBSR");
  EXPECT_EQ(CTabView::DisplayLabel("&Record Retrieval "), "Record Retrieval ");
  CTabView::Rect page = view.PageRect(600, 400);
  EXPECT_EQ(page.right - page.left, 600 - 24);
  EXPECT_EQ(page.bottom - page.top, 400 - 43);
  EXPECT_EQ(view.TabRect(3).left, 7 + 300);
  EXPECT_EQ(view.TabRect(3).right, 7 + 450);
  CTabView empty;
  EXPECT_FALSE(empty.AddPage("", 100, false));
}

TEST_F(TabFixture, SelectingNotifiesLeavingThenShown) {
  view.SelectPage(2);
  EXPECT_EQ(notes, (std::vector<std::pair<int, int>>{{CTabView::kHintPageLeaving, 0},
                                                     {CTabView::kHintPageShown, 2}}));
  EXPECT_EQ(activated, std::vector<int>{2});
  // The page in front only gets the focus again.
  notes.clear();
  view.SelectPage(2);
  EXPECT_TRUE(notes.empty());
  EXPECT_EQ(activated, (std::vector<int>{2, 2}));
  view.SelectPage(7);
  view.SelectPage(-1);
  EXPECT_EQ(view.Selected(), 2);
}

TEST_F(TabFixture, DisabledTabsAndTheTabInFront) {
  view.EnableTab(0, false);  // the page in front: unchanged
  EXPECT_TRUE(view.Tabs()[0].enabled);
  view.EnableTab(1, false);
  EXPECT_FALSE(view.Tabs()[1].enabled);
  // Alt+B goes on to the menu bar; Alt+s selects the summary.
  EXPECT_FALSE(view.AltKey('b'));
  EXPECT_EQ(view.Selected(), 0);
  EXPECT_TRUE(view.AltKey('s'));
  EXPECT_EQ(view.Selected(), 2);
  EXPECT_FALSE(view.AltKey('z'));
}

TEST_F(TabFixture, MouseHitsOnTheStrip) {
  view.PressAt(7 + 250, 10);  // third tab (100 + 100 + ...)
  EXPECT_EQ(view.Selected(), 2);
  view.EnableTab(3, false);
  view.PressAt(7 + 320, 10);  // disabled tab: the current page gets the focus
  EXPECT_EQ(view.Selected(), 2);
  EXPECT_EQ(activated.back(), 2);
  // Right of the last tab, and below the strip.
  EXPECT_EQ(view.HitTest(7 + 450, 10), -1);
  EXPECT_EQ(view.HitTest(7 + 449, 10), 3);
  EXPECT_EQ(view.HitTest(50, 7 + 19), -1);
  EXPECT_EQ(view.HitTest(50, 6), -1);
  view.PressAt(700, 10);
  EXPECT_EQ(view.Selected(), 2);
}

}  // namespace
