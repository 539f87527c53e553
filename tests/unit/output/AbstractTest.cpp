#include <gtest/gtest.h>

#include <cctype>
#include <random>

#include "FakeUi.h"
#include "TempDir.h"
#include "app/CAppState.h"
#include "app/CFontDlg.h"
#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
#include "driver/CInfoRequestDlg.h"
#include "output/CAbstract.h"

namespace {

struct AbstractTest : ::testing::Test {
  TempDir dir;
  FakeUi ui;
  CAppState app;
  CSettingsStore settings{dir.File("Tamsel.conf")};
  CAbstract window{app, settings, ui};

  std::string Selected() const {
    return window.Text().substr(window.SelectionStart(),
                                window.SelectionEnd() - window.SelectionStart());
  }
};

TEST_F(AbstractTest, RecordsFollowEachOtherAndLineFeedsCollectAtTheEnd) {
  EXPECT_FALSE(window.HasText());
  EXPECT_FALSE(window.buttonsEnabled);
  // A view that only applies the reported insertions holds the same text.
  std::string mirror;
  ConnectionBag connections;
  connections += window.onTextInserted.Connect(
      [&](std::size_t at, const std::string& text) { mirror.insert(at, text); });
  connections += window.onTextCleared.Connect([&] { mirror.clear(); });

  window.AddRecordText("first\n");
  window.AddRecordText("second");
  window.AddRecordText("third");
  EXPECT_EQ(window.Text(), "first\nsecondthird\n\n\n\n\n\n");
  EXPECT_EQ(window.insertionPoint, 17u);
  EXPECT_EQ(mirror, window.Text());
  EXPECT_TRUE(window.buttonsEnabled);
  EXPECT_TRUE(window.HasText());

  window.Find("third");
  window.ClearText();
  EXPECT_EQ(window.Text(), "");
  EXPECT_EQ(mirror, "");
  EXPECT_EQ(window.insertionPoint, 0u);
  EXPECT_FALSE(window.buttonsEnabled);
  EXPECT_FALSE(window.HasText());
  // The search survives a clear.
  EXPECT_EQ(window.searchWord, "THIRD");
  EXPECT_TRUE(window.CanFindNext());

  window.AddRecordText("a");
  window.AddRecordText("b");
  EXPECT_EQ(window.Text(), "ab\n\n\n\n");
  EXPECT_EQ(mirror, window.Text());

  window.EnableRedraw(false);
  EXPECT_FALSE(window.redrawEnabled);
  window.EnableRedraw(true);
  EXPECT_TRUE(window.redrawEnabled);
}

TEST_F(AbstractTest, FindAndFindNext) {
  // An empty window: Find Next is off, Find reports the word upper-cased.
  EXPECT_FALSE(window.FindNext());
  window.Find("abc");
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"'ABC' not found"});
  EXPECT_EQ(ui.messages[0].caption, "Search Result");

  window.AddRecordText("xABCx");
  window.Find("abc");
  EXPECT_EQ(window.SelectionStart(), 1u);
  EXPECT_EQ(window.SelectionEnd(), 4u);
  EXPECT_EQ(window.searchPosition, 4u);
  ASSERT_TRUE(window.FindNext());
  EXPECT_EQ(ui.messages.back().text, "Only one occurrance of 'ABC' found");
  EXPECT_EQ(ui.messages.back().caption, "Search Result");
  EXPECT_EQ(window.SelectionStart(), 1u);
  EXPECT_EQ(window.searchPosition, 4u);

  // Several: in order, then round to the first without a message.
  window.ClearText();
  window.AddRecordText("abc aBc\nABC");
  ui.messages.clear();
  window.Find("Abc");
  EXPECT_EQ(window.SelectionStart(), 0u);
  window.FindNext();
  EXPECT_EQ(window.SelectionStart(), 4u);
  window.FindNext();
  EXPECT_EQ(window.SelectionStart(), 8u);
  window.FindNext();
  EXPECT_EQ(window.SelectionStart(), 0u);
  EXPECT_TRUE(ui.messages.empty());

  // Refilled without the word: not found, and Find Next goes off.
  window.ClearText();
  window.AddRecordText("nothing here");
  window.FindNext();
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"'ABC' not found"});
  EXPECT_FALSE(window.CanFindNext());
  EXPECT_EQ(window.searchPosition, 0u);
  EXPECT_EQ(window.SelectionStart(), 0u);
  EXPECT_EQ(window.SelectionEnd(), 0u);

  // The line feeds after the last record are not searched.
  window.Find("here\n");
  EXPECT_EQ(ui.messages.back().text, "'HERE\n' not found");

  window.Find("");
  EXPECT_EQ(ui.messages.back().text, "No search word was entered");
  EXPECT_EQ(ui.messages.back().caption, "Search Error");
}

TEST_F(AbstractTest, FindTextAsksWithTheSelection) {
  window.AddRecordText("Whales and dolphins");
  CInfoRequestDlg seen;
  ui.QueueDialog([&](CDialogModel& d) {
    auto& dialog = dynamic_cast<CInfoRequestDlg&>(d);
    seen = dialog;
    dialog.SetAnswerText("DOLPHIN");
    return true;
  });
  ASSERT_TRUE(window.FindText());
  EXPECT_EQ(seen.Caption(), "Find");
  EXPECT_EQ(seen.prompt, "Find what?");
  EXPECT_EQ(seen.OkLabel(), "Find Next");
  EXPECT_EQ(seen.editText, "  ");
  EXPECT_EQ(Selected(), "dolphin");

  // The selection is offered; Cancel changes nothing.
  window.SetSelection(0, 6);
  ui.QueueDialog([&](CDialogModel& d) {
    seen = dynamic_cast<CInfoRequestDlg&>(d);
    return false;
  });
  EXPECT_FALSE(window.FindText());
  EXPECT_EQ(seen.editText, "Whales");
  EXPECT_EQ(window.searchWord, "DOLPHIN");
}

TEST_F(AbstractTest, FindAgreesWithAPlainSearch) {
  std::mt19937 rng(7);
  const std::string letters = "aAbBc\n";
  auto Pick = [&](std::size_t length) {
    std::string s;
    for (std::size_t i = 0; i < length; ++i) {
      s += letters[rng() % letters.size()];
    }
    return s;
  };
  auto Upper = [](std::string s) {
    for (char& c : s) {
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return s;
  };
  for (int round = 0; round < 500; ++round) {
    window.ClearText();
    std::string text = Pick(rng() % 40);
    std::string word = Pick(1 + rng() % 4);
    window.AddRecordText(text);
    ui.messages.clear();
    window.Find(word);
    std::size_t expected = Upper(text).find(Upper(word));
    if (expected == std::string::npos) {
      EXPECT_EQ(ui.messages.size(), 1u) << text << " / " << word;
    } else {
      EXPECT_EQ(window.SelectionStart(), expected) << text << " / " << word;
    }
  }
}

TEST_F(AbstractTest, FindOnTwentyMegabytes) {
  std::string big;
  big.reserve(21u << 20);
  const std::string filler = "the quick brown fox jumps over the lazy dog\n";
  while (big.size() < (20u << 20)) {
    big += filler;
  }
  std::size_t first = 1000;
  big.replace(first, 6, "NeEdLe");
  std::size_t second = big.size() - 10;
  big.replace(second, 6, "needle");
  window.AddRecordText(big);
  window.Find("needle");
  EXPECT_EQ(window.SelectionStart(), first);
  window.FindNext();
  EXPECT_EQ(window.SelectionStart(), second);
  window.FindNext();
  EXPECT_EQ(window.SelectionStart(), first);
  EXPECT_TRUE(ui.messages.empty());
  window.Find("haystack");
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"'HAYSTACK' not found"});
}

TEST_F(AbstractTest, CopyAndFont) {
  window.AddRecordText("one two");
  window.Copy();
  EXPECT_EQ(ui.clipboard, "one two\n\n");
  EXPECT_EQ(app.StatusMessage(), "Selection copied");
  window.SetSelection(4, 7);
  window.Copy();
  EXPECT_EQ(ui.clipboard, "two");

  EXPECT_EQ(window.font.height, -11);
  EXPECT_EQ(window.font.faceName, "Courier New");
  // A window starts from the stored height and name alone.
  settings.WriteSettingText(kSectionFont, kEntryAbstractName, "Liberation Mono");
  FontDesc bold = window.font;
  bold.weight = 700;
  window.SetFont(bold);
  CAbstract next(app, settings, ui);
  EXPECT_EQ(next.font.faceName, "Liberation Mono");
  EXPECT_EQ(next.font.weight, 500);
}

}  // namespace
