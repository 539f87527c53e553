#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BrowseFakeDriver.h"
#include "search/CBrowseReply.h"

namespace {

using Result = CBrowseReply::Result;
using Strings = std::vector<std::string>;

std::string F(const char* text) {
  return BrowseFakeDriver::Fields(text);
}

Strings Displays(const std::vector<CBrowseReply::Entry>& entries) {
  Strings texts;
  for (const auto& e : entries) {
    texts.push_back(e.display + "|" + e.pick);
  }
  return texts;
}

TEST(BrowseReplyTest, HeaderAsTheSampleDriverServesIt) {
  CBrowseReply::Header header;
  ASSERT_EQ(CBrowseReply::ReadHeader(BrowseFakeDriver::HeaderBody(4321), header), Result::Ok);
  EXPECT_EQ(header.total, 4321);
  EXPECT_EQ(header.linesPerEntry, 1);
  ASSERT_EQ(header.columns.size(), 2u);
  // The record count has order 1, so it comes first.
  EXPECT_EQ(header.displayOrder, (std::vector<int>{1, 0}));
  EXPECT_EQ(header.HeadingLine(), "Records  Heading");

  std::vector<CBrowseReply::Entry> entries;
  ASSERT_EQ(CBrowseReply::ReadEntries(F("vim|12345678|emacs|3|"), header, 10, 30, entries),
            Result::Ok);
  EXPECT_EQ(Displays(entries), (Strings{"1234567\tvim|vim", "3\temacs|emacs"}));
}

TEST(BrowseReplyTest, ColumnsOrderFlagsAndSeveralLines) {
  // Two lines per entry; line feeds end fields too. Author: width 8, place
  // 4, a pick column. Hidden: asks for place 1 but is not shown. Title: its
  // own place (3), the last pick column, so its value is the pick value.
  std::string body = F("50\n3\n2\nAuthor|8|4|01110|Hidden|0|1|11011|Title|0|0|0111x|");
  CBrowseReply::Header header;
  ASSERT_EQ(CBrowseReply::ReadHeader(body, header), Result::Ok);
  EXPECT_EQ(header.displayOrder, (std::vector<int>{2, 0}));
  EXPECT_EQ(header.columns[1].order, 0);
  EXPECT_EQ(header.HeadingLine(), "Title\r\nAuthor    ");

  std::vector<CBrowseReply::Entry> entries;
  ASSERT_EQ(CBrowseReply::ReadEntries(F("Melville&Herman Q.|x|Moby Dick|"), header, 0, 5, entries),
            Result::Ok);
  // "Surname&Given" is turned round, then cut to the column width.
  EXPECT_EQ(Displays(entries), (Strings{"Moby Dick\r\nHerman Q|Moby Dick"}));

  // A field value is kept to 239 characters.
  ASSERT_EQ(CBrowseReply::ReadEntries(F("x|y|") + std::string(300, 'a'), header, 0, 5, entries),
            Result::Ok);
  EXPECT_EQ(entries[0].pick.size(), 239u);
}

TEST(BrowseReplyTest, BrokenRepliesAreRefusedWithoutReadingOn) {
  CBrowseReply::Header header;
  // Counts beyond the body, too many columns, flags or widths that don't add
  // up, numbers that aren't.
  for (const char* body :
       {"", "10|1", "10|2|1|A|0|0|01110|", "10|11|1|", "10|1|1|A|0|0|0111|", "10|1|1|A|-3|0|01110|",
        "ten|1|1|A|0|0|01110|", "99999999999|1|1|A|0|0|01110|"}) {
    header.total = 7;
    EXPECT_EQ(CBrowseReply::ReadHeader(F(body), header), Result::Malformed) << body;
    EXPECT_EQ(header.total, 7) << "a refused header changes nothing";
  }
  // A negative count leaves the list empty but is no protocol error.
  EXPECT_EQ(CBrowseReply::ReadHeader(F("-1|1|1|"), header), Result::Unusable);
  EXPECT_EQ(CBrowseReply::ReadHeader(F("5|1|-1|"), header), Result::Unusable);

  ASSERT_EQ(CBrowseReply::ReadHeader(BrowseFakeDriver::HeaderBody(3), header), Result::Ok);
  std::vector<CBrowseReply::Entry> entries{{"kept", "kept"}};
  // The body ends inside an entry; more entries than the list's total.
  EXPECT_EQ(CBrowseReply::ReadEntries(F("a|1|b|"), header, 0, 30, entries), Result::Malformed);
  EXPECT_EQ(CBrowseReply::ReadEntries(F("a|1|b|1|"), header, 2, 30, entries), Result::Malformed);
  EXPECT_EQ(entries.size(), 1u);
  // Fewer entries than asked for; more than wanted (the rest unread).
  EXPECT_EQ(CBrowseReply::ReadEntries(F("a|1|"), header, 0, 30, entries), Result::Ok);
  EXPECT_EQ(entries.size(), 1u);
  EXPECT_EQ(CBrowseReply::ReadEntries(F("a|1|b|1|c|1|d|"), header, 0, 2, entries), Result::Ok);
  EXPECT_EQ(entries.size(), 2u);
}

}  // namespace
