#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BrowseFakeDriver.h"
#include "FakeUi.h"
#include "ManualEventLoop.h"
#include "search/CBrowseList.h"
#include "search/CListBrowserDlg.h"

namespace {

using Request = BrowseFakeDriver::Request;
using Scroll = CBrowseList::Scroll;
using Key = CBrowseList::Key;

struct BrowseListTest : ::testing::Test {
  FakeUi ui;
  ManualEventLoop loop;
  BrowseFakeDriver driver;
  CBrowseList list{driver, loop, ui};

  // V = 10: windows of P = 30 entries, pages of E = 10.
  void Open(int total = 1000) {
    driver.total = total;
    driver.list = &list;
    list.SetVisibleCount(10);
    list.Open("Authors");
  }
  Request Window(const std::string& anchor, int before) const {
    return {"Authors", 'N', anchor, 30, before};
  }
  // Runs a command and gives the request it sent, or none.
  template <typename F>
  std::vector<Request> Sent(F&& command) {
    size_t before = driver.requests.size();
    command();
    return std::vector<Request>(driver.requests.begin() + static_cast<long>(before),
                                driver.requests.end());
  }
  void ExpectView(int first, int count, int top) {
    EXPECT_EQ(list.First(), first);
    EXPECT_EQ(list.Count(), count);
    EXPECT_EQ(list.Top(), top);
  }
};

TEST_F(BrowseListTest, OpeningAsksForTheHeaderThenTheFirstWindow) {
  int heard = 0;
  Connection c = list.headerRead.Connect([&] {
    ++heard;
    EXPECT_EQ(driver.requests.size(), 1u) << "measured before the window is asked for";
  });
  Open();
  EXPECT_EQ(heard, 1);
  EXPECT_EQ(driver.requests, (std::vector<Request>{{"Authors", 'H', "0", 1, 1}, Window("0", 0)}));
  ExpectView(0, 30, 0);
  EXPECT_EQ(list.EntryAt(0)->display, "0\th0000000");
  EXPECT_EQ(list.HeadingLabel(), "Records  Heading");
  EXPECT_FALSE(list.Outstanding());
  EXPECT_EQ(list.HorizontalExtent(), 6 * 11);
  // Home sends its request even though entry 0 is loaded.
  EXPECT_EQ(Sent([&] { list.PressKey(Key::Home); }), (std::vector<Request>{Window("0", 0)}));
}

TEST_F(BrowseListTest, MovementTable) {
  Open();
  // Line up at the very top: nothing.
  EXPECT_TRUE(Sent([&] { list.ScrollBy(Scroll::LineUp); }).empty());
  // Line down inside the window while top < first + count - E - 2 = 18.
  for (int i = 0; i < 18; ++i) {
    ASSERT_TRUE(Sent([&] { list.ScrollBy(Scroll::LineDown); }).empty());
  }
  EXPECT_EQ(list.Top(), 18);
  // ... then a window from the top, E before it.
  EXPECT_EQ(Sent([&] { list.ScrollBy(Scroll::LineDown); }),
            (std::vector<Request>{Window("18", 10)}));
  ExpectView(8, 30, 19);

  // Thumb outside the window: anchor p * s.
  EXPECT_EQ(Sent([&] { list.ThumbTo(500); }), (std::vector<Request>{Window("500", 10)}));
  ExpectView(490, 30, 500);
  // Thumb inside the window: no request.
  EXPECT_TRUE(Sent([&] { list.ThumbTo(505); }).empty());
  EXPECT_EQ(list.Top(), 505);
  list.ThumbTo(500);

  // Page up while the new top is loaded, then a window for the new top.
  EXPECT_TRUE(Sent([&] { list.ScrollBy(Scroll::PageUp); }).empty());
  EXPECT_EQ(list.Top(), 490);
  EXPECT_EQ(Sent([&] { list.PressKey(Key::PageUp); }), (std::vector<Request>{Window("480", 10)}));
  ExpectView(470, 30, 480);

  // Line up inside, and at the window's first entry the window before it.
  for (int i = 0; i < 10; ++i) {
    ASSERT_TRUE(Sent([&] { list.ScrollBy(Scroll::LineUp); }).empty());
  }
  EXPECT_EQ(Sent([&] { list.ScrollBy(Scroll::LineUp); }),
            (std::vector<Request>{Window("470", 10)}));
  ExpectView(460, 30, 469);

  // Page down while the new top is at most first + count - E.
  EXPECT_TRUE(Sent([&] { list.ScrollBy(Scroll::PageDown); }).empty());
  EXPECT_EQ(list.Top(), 479);
  EXPECT_EQ(Sent([&] { list.PressKey(Key::PageDown); }), (std::vector<Request>{Window("489", 10)}));
  ExpectView(479, 30, 489);

  // End: total - E with V before it; then nothing moves further down.
  EXPECT_EQ(Sent([&] { list.PressKey(Key::End); }), (std::vector<Request>{Window("990", 10)}));
  ExpectView(980, 20, 990);
  EXPECT_TRUE(Sent([&] {
                list.ScrollBy(Scroll::LineDown);
                list.ScrollBy(Scroll::PageDown);
              }).empty());
  EXPECT_EQ(list.Top(), 990);

  // Thumb beyond the list: total - E.
  list.PressKey(Key::Home);
  EXPECT_EQ(Sent([&] { list.ThumbTo(999); }), (std::vector<Request>{Window("990", 10)}));
}

TEST_F(BrowseListTest, UpAndDownKeysMoveThePickedEntry) {
  Open();
  // Down with nothing picked takes the top entry; Up the bottom visible one.
  list.PressKey(Key::Down);
  EXPECT_EQ(list.Current(), 0);
  list.ScrollBy(Scroll::PageDown);
  EXPECT_EQ(list.Current(), -1) << "scrolling drops the caret";
  EXPECT_EQ(list.Selection().size(), 1u) << "but not the pick";
  list.PressKey(Key::Up);
  EXPECT_EQ(list.Current(), 19);
  EXPECT_EQ(list.ResultText(true), "h0000019");

  // Down moves inside while before the last E + 2 entries of the window,
  // scrolling the view along; then it asks for a window from the top.
  list.PressKey(Key::Home);
  list.PressKey(Key::Down);
  for (int i = 0; i < 18; ++i) {
    ASSERT_TRUE(Sent([&] { list.PressKey(Key::Down); }).empty());
  }
  EXPECT_EQ(list.Current(), 18);
  EXPECT_EQ(list.Top(), 9);
  EXPECT_EQ(Sent([&] { list.PressKey(Key::Down); }), (std::vector<Request>{Window("9", 10)}));
  EXPECT_EQ(list.Current(), 19);
  EXPECT_EQ(list.Top(), 10);
  EXPECT_EQ(list.ResultText(true), "h0000019");

  // Up at the window's first entry fetches the window before it.
  list.ThumbTo(500);
  list.PressKey(Key::Up);
  EXPECT_EQ(list.Current(), 509);
  for (int i = 0; i < 19; ++i) {
    ASSERT_TRUE(Sent([&] { list.PressKey(Key::Up); }).empty());
  }
  EXPECT_EQ(list.Current(), 490);
  EXPECT_EQ(Sent([&] { list.PressKey(Key::Up); }), (std::vector<Request>{Window("490", 10)}));
  EXPECT_EQ(list.Current(), 489);
  EXPECT_EQ(list.Top(), 489);
  EXPECT_EQ(list.ResultText(true), "h0000489");
}

TEST_F(BrowseListTest, JumpAfterTypingPauses) {
  Open();
  list.TypeText("  h00");
  loop.Advance(300);
  list.TypeText("  h0000730");
  loop.Advance(499);
  EXPECT_EQ(driver.requests.size(), 2u) << "the timer restarts on each change";
  loop.Advance(1);
  EXPECT_EQ(driver.Last(), (Request{"Authors", 'C', "h0000730", 30, 3}));
  // The found entry stands E / 3 below the first loaded one, picked.
  ExpectView(727, 30, 727);
  EXPECT_EQ(list.Current(), 730);
  EXPECT_EQ(list.ResultText(true), "h0000730");

  // One character goes unchanged, even a blank; only blanks send nothing.
  list.TypeText(" ");
  loop.Advance(500);
  EXPECT_EQ(driver.Last(), (Request{"Authors", 'C', " ", 30, 3}));
  size_t sent = driver.requests.size();
  list.TypeText("   ");
  loop.Advance(500);
  EXPECT_EQ(driver.requests.size(), sent);
  EXPECT_EQ(loop.ActiveTimers(), 0);
}

TEST_F(BrowseListTest, AnOutstandingRequestHoldsFurtherOnesForFiveSeconds) {
  Open();
  CListBrowserDlg dialog(driver, loop, ui, "Authors");
  list.Click(3, false);
  driver.answering = false;
  list.ThumbTo(500);
  ASSERT_TRUE(list.Outstanding());
  EXPECT_EQ(list.ResultText(true), "") << "OK gives nothing while waiting";
  loop.Advance(4999);
  EXPECT_TRUE(Sent([&] {
                list.PressKey(Key::Home);
                list.ScrollBy(Scroll::PageDown);
                list.TypeText("abc");
                list.JumpNow();
              }).empty());
  EXPECT_EQ(loop.ActiveTimers(), 0);
  loop.Advance(1);
  EXPECT_EQ(Sent([&] { list.PressKey(Key::Home); }), (std::vector<Request>{Window("0", 0)}));
  // The late reply is taken as the latest request's.
  driver.answering = true;
  int anchor = 0;
  list.ReplyArrived(0, driver.Reply('N', "0", 30, 0, anchor));
  ExpectView(0, 30, 0);
  EXPECT_EQ(list.ResultText(true), "h0000003");

  // The List Browser refuses OK while its list waits.
  driver.list = &dialog.List();
  dialog.OnInit();
  dialog.List().Click(2, false);
  driver.answering = false;
  dialog.List().PressKey(Key::End);
  EXPECT_FALSE(dialog.OnOk());
  dialog.List().ReplyArrived(990, driver.Reply('N', "990", 30, 10, anchor));
  EXPECT_TRUE(dialog.OnOk());
  EXPECT_EQ(dialog.Result(), "h0000002");
  EXPECT_EQ(dialog.Caption(), "Browse Authors List");
}

TEST_F(BrowseListTest, PickingAndTheResultText) {
  driver.headings = {"Moby Dick", "whale", "The \"Best\" of", "sea", "ahab", "", "x"};
  Open();
  // A plain click makes the entry the only pick; on the first pick again it
  // clears them all. Ctrl adds and removes.
  list.Click(3, false);
  list.Click(1, false);
  EXPECT_EQ(list.ResultText(true), "whale");
  list.Click(1, false);
  EXPECT_EQ(list.ResultText(true), "");
  list.Click(0, true);
  list.Click(1, true);
  list.Click(3, true);
  list.Click(3, true);
  EXPECT_EQ(list.ResultText(true), "\"Moby Dick\" OR whale");
  EXPECT_EQ(list.ResultText(false), "Moby Dick OR whale");
  // A value with a double quote is never wrapped; an empty one adds nothing.
  list.Click(2, true);
  list.Click(5, true);
  EXPECT_EQ(list.ResultText(true), "\"Moby Dick\" OR whale OR The \"Best\" of");
  // A double click keeps a multiple selection it belongs to, else picks.
  list.DoubleClick(1);
  EXPECT_EQ(list.Selection().size(), 4u);
  list.DoubleClick(6);
  EXPECT_EQ(list.ResultText(true), "x");
}

TEST_F(BrowseListTest, PicksOutliveTheWindowAndClickingTheFirstEntryLoadsAbove) {
  Open();
  list.Click(4, false);
  list.Click(20, true);
  list.ThumbTo(700);
  EXPECT_EQ(list.EntryAt(4), nullptr);
  list.Click(700, true);
  EXPECT_EQ(list.ResultText(true), "h0000004 OR h0000020 OR h0000700");
  // Clicking the first loaded entry of a later window fetches the one
  // before it; in the window at entry 0 it sends nothing.
  EXPECT_EQ(Sent([&] { list.Click(690, true); }), (std::vector<Request>{Window("690", 10)}));
  EXPECT_EQ(list.First(), 680);
  list.PressKey(Key::Home);
  EXPECT_TRUE(Sent([&] { list.Click(0, true); }).empty());
  EXPECT_TRUE(list.IsSelected(700) && list.IsSelected(4));
}

TEST_F(BrowseListTest, AMillionEntriesEndToEndInAWindow) {
  driver.total = 1000000;
  driver.list = &list;
  list.SetVisibleCount(250);
  list.Open("Words");
  EXPECT_EQ(list.ScrollScale(), 32);
  EXPECT_EQ(list.ScrollRange(), 31350);
  // The thumb across the whole range, then to its end.
  for (int p = 0; p <= list.ScrollRange(); p += 997) {
    list.ThumbTo(p);
    ASSERT_EQ(list.Top(), std::min(p * 32, 1000000 - 250));
    ASSERT_EQ(list.EntryAt(list.Top())->pick, driver.Heading(list.Top()));
  }
  list.ThumbTo(CBrowseList::kScrollLimit);
  EXPECT_EQ(list.Top(), 999750);
  EXPECT_EQ(list.ScrollPosition(), 999750 / 32);
  // Page by page from the end to the start with the keys, then down to
  // the last entry.
  list.PressKey(Key::End);
  int pages = 0;
  while (list.Top() > 0 && pages < 5000) {
    list.PressKey(Key::PageUp);
    ASSERT_EQ(list.EntryAt(list.Top())->pick, driver.Heading(list.Top()));
    ++pages;
  }
  EXPECT_EQ(list.Top(), 0);
  EXPECT_EQ(pages, 3999);
  list.PressKey(Key::PageDown);
  EXPECT_EQ(list.Top(), 250);
  list.ThumbTo(31240);
  list.PressKey(Key::Down);
  while (list.Current() < 999999 && pages < 10000) {
    list.PressKey(Key::Down);
    ++pages;
  }
  EXPECT_EQ(list.Current(), 999999);
  EXPECT_EQ(list.ResultText(true), "h0999999");
  EXPECT_EQ(driver.mostHeld, list.WindowSize());
  EXPECT_LE(list.Count(), 750);
}

TEST_F(BrowseListTest, RepliesWithoutDataOrBrokenOnes) {
  Open(100);
  int noData = 0;
  int broken = 0;
  Connection a = list.noData.Connect([&] { ++noData; });
  Connection b = list.protocolError.Connect([&] { ++broken; });
  driver.answering = false;
  list.ThumbTo(50);
  list.ReplyArrived(-1, "");
  EXPECT_EQ(noData, 1);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Database Error - No Browse data returned");
  EXPECT_EQ(ui.messages[0].caption, "Warning");

  // A window beyond the total is refused and the list keeps what it had.
  list.ThumbTo(50);
  list.ReplyArrived(109, BrowseFakeDriver::Fields("a|1|b|1|"));
  EXPECT_EQ(broken, 1);
  ExpectView(0, 30, 0);
  // Fewer entries than asked for: a shorter window, the view inside it.
  list.ThumbTo(50);
  list.ReplyArrived(50, BrowseFakeDriver::Fields("a|1|b|1|"));
  ExpectView(40, 2, 41);
  EXPECT_TRUE(Sent([&] { list.ScrollBy(Scroll::LineDown); }).size() == 1u);

  // A header with a negative total leaves the list empty, asking no more.
  CBrowseList other(driver, loop, ui);
  other.Open("Other");
  other.ReplyArrived(0, BrowseFakeDriver::Fields("-5|1|1|"));
  EXPECT_FALSE(other.HeaderRead());
  EXPECT_EQ(other.Count(), 0);
  EXPECT_EQ(driver.Last().list, "Other");

  // Without a connection the List Browser closes.
  driver.connected = false;
  CListBrowserDlg dialog(driver, loop, ui, "Authors");
  int closed = 0;
  Connection c = dialog.closeRequested.Connect([&] { ++closed; });
  dialog.OnInit();
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(dialog.List().Outstanding());
}

}  // namespace
