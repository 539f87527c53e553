#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/CPrintLayout.h"

namespace {

std::vector<std::string> Titles(int count) {
  std::vector<std::string> titles;
  for (int i = 1; i <= count; ++i) {
    titles.push_back("title " + std::to_string(i));
  }
  return titles;
}

TEST(PrintLayoutTest, TitleListOf200WithoutHeader) {
  auto pages = CPrintLayout::LayOutSummaryWindow(CPrintLayout::Kind::List, "", Titles(200), 50);
  // 61 lines on page 1 (positions 0-60), then 60 a page from position 1.
  ASSERT_EQ(pages.size(), 4u);
  EXPECT_EQ(pages[0].lines.size(), 61u);
  EXPECT_EQ(pages[0].lines.back().position, 60);
  EXPECT_EQ(pages[0].lines.back().y, 70 + 60 * 50);
  EXPECT_EQ(pages[1].lines.front().text, "title 62");
  EXPECT_EQ(pages[1].lines.front().position, 1);
  EXPECT_EQ(pages[1].lines.front().y, 70 + 50);
  EXPECT_EQ(pages[1].lines.size(), 60u);
  EXPECT_EQ(pages[3].lines.size(), 200u - 61 - 60 - 60);
  EXPECT_EQ(pages[3].lines.back().text, "title 200");
  EXPECT_EQ(pages[3].lines.back().x, 70);
}

TEST(PrintLayoutTest, HeaderLinesThenOneEmptyLine) {
  std::string fullHeader = "\n#####\n#    TAMSEL SEARCH RESULTS: Mon\n#\n# \n# \n#####\n\n";
  auto pages =
      CPrintLayout::LayOutSummaryWindow(CPrintLayout::Kind::List, fullHeader, Titles(61), 10);
  ASSERT_EQ(pages.size(), 2u);
  const auto& first = pages[0].lines;
  EXPECT_EQ(first[0].text, "#####");  // the empty first and last lines are gone
  EXPECT_EQ(first[5].text, "#####");
  EXPECT_EQ(first[6].text, "title 1");
  EXPECT_EQ(first[6].position, 7);  // one empty line under the header
  // The header's lines count towards page 1.
  EXPECT_EQ(first.back().position, 60);
  EXPECT_EQ(first.back().text, "title 54");
  EXPECT_EQ(pages[1].lines.size(), 7u);

  // Exactly filling page 1 leaves no blank page behind.
  EXPECT_EQ(CPrintLayout::LayOutSummaryWindow(CPrintLayout::Kind::List, "", Titles(61), 10).size(),
            1u);
  // No titles: the header alone.
  auto headerOnly =
      CPrintLayout::LayOutSummaryWindow(CPrintLayout::Kind::List, "Books  T\n", {}, 10);
  ASSERT_EQ(headerOnly.size(), 1u);
  EXPECT_EQ(headerOnly[0].lines.size(), 1u);
}

TEST(PrintLayoutTest, LongSummaryCountsItsOwnWay) {
  std::string summary;
  for (int i = 1; i <= 150; ++i) {
    summary += "line " + std::to_string(i) + (i == 1 ? std::string(150, 'x') : "") + "\n";
  }
  auto lines = CPrintLayout::SummaryLines(summary, CPrintLayout::kPrintedSummaryWidth);
  EXPECT_EQ(lines[0].size(), 100u);
  auto pages = CPrintLayout::LayOutSummaryWindow(CPrintLayout::Kind::Summary, "", lines, 10);
  ASSERT_EQ(pages.size(), 3u);
  // Page 1: positions 0 to 61; later pages begin at position 2.
  EXPECT_EQ(pages[0].lines.size(), 62u);
  EXPECT_EQ(pages[0].lines.back().position, 61);
  EXPECT_EQ(pages[1].lines.front().position, 2);
  EXPECT_EQ(pages[1].lines.front().text, "line 63");
  EXPECT_EQ(pages[1].lines.back().position, 61);
  EXPECT_EQ(pages[1].lines.size(), 60u);
  // 150 lines and the empty one after the last line feed.
  EXPECT_EQ(pages[2].lines.size(), 151u - 62 - 60);
  EXPECT_EQ(CPrintLayout::SummaryLines("a\r\nb", 120), (std::vector<std::string>{"a", "b"}));
}

TEST(PrintLayoutTest, FontHeightAndRecordRectangle) {
  // -11 at 96 dpi: -11*72/96 = -8 points, then -8*600/72 = -66.
  EXPECT_EQ(CPrintLayout::PrinterFontHeight(-11, 96, 600), -66);
  EXPECT_EQ(CPrintLayout::PrinterFontHeight(16, 96, 300), 12 * 300 / 72);
  EXPECT_EQ(CPrintLayout::TwipsToDevice(1440, 600), 600);

  // 240-twip lines: (12960 - 350) / 240 = 52 lines a page; 150-twip
  // characters: (10800 - 350) / 150 = 69 a line.
  std::string text;
  for (int i = 0; i < 60; ++i) {
    text += "record line\n";
  }
  text += std::string(30, 'a') + " " + std::string(50, 'b') + "\n";
  auto pages = CPrintLayout::LayOutRecord("Books  T\n", text, 240, 150);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].lines.size(), 52u);
  EXPECT_EQ(pages[0].lines[0].text, "Books  T");
  EXPECT_EQ(pages[0].lines[0].x, 350);
  EXPECT_EQ(pages[0].lines[1].y, 350 + 240);
  const auto& last = pages[1].lines;
  ASSERT_EQ(last.size(), 1u + 60 + 2 - 52);                     // header, records, the wrapped pair
  EXPECT_EQ(last[last.size() - 2].text, std::string(30, 'a'));  // wrapped at the blank
  EXPECT_EQ(last.back().text, std::string(50, 'b'));
}

}  // namespace
