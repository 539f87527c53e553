#include <gtest/gtest.h>

#include "output/CResultHeaders.h"

namespace {

const std::string kSeparator(65, '#');

std::tm Example() {
  std::tm t{};
  t.tm_wday = 1;
  t.tm_mon = 11;
  t.tm_mday = 7;
  t.tm_hour = 1;
  t.tm_min = 26;
  t.tm_sec = 2;
  t.tm_year = 2026 - 1900;
  return t;
}

CResultHeaders Headers() {
  CResultHeaders headers;
  headers.localTime = Example;
  return headers;
}

CResultHeaders::Row Plain(const std::string& name, const std::string& term) {
  CResultHeaders::Row row;
  row.fieldName = name;
  row.term = term;
  return row;
}

CResultHeaders::Row Range(const std::string& name, int type, const std::string& from,
                          const std::string& to) {
  CResultHeaders::Row row;
  row.fieldName = name;
  row.rangeType = type;
  row.fromText = from;
  row.toText = to;
  return row;
}

std::string Banner(const std::string& name) {
  return "\n" + kSeparator + "\n#    TAMSEL SEARCH RESULTS: Mon Dec 07 01:26:02 2026\n" +
         "#             CONNECTED to: " + name + "\n#\n";
}

TEST(ResultHeadersTest, CriteriaFormSearch) {
  CResultHeaders headers = Headers();
  CResultHeaders::Search search;
  search.databaseName = "Books";
  search.rows = {Plain("Title", "whales"), Range("Date", 3, "May 1996", " ")};
  search.limits = {{"English only", true}};
  headers.Build(search);
  EXPECT_EQ(headers.briefHeader, "Books  Mon Dec 07 01:26:02 2026\n");
  EXPECT_EQ(headers.fullHeader, Banner("Books") + "# " + std::string(13, ' ') +
                                    "Title : whales\n# " + std::string(14, ' ') +
                                    "Date : FROM May 1996  TO Newest\n"
                                    "# \n"
                                    "#    [X] English only\n" +
                                    kSeparator + "\n\n");
}

TEST(ResultHeadersTest, LabelsRangesAndLimitMarks) {
  CResultHeaders headers = Headers();
  CResultHeaders::Search search;
  search.databaseName = "Books";
  search.rows = {Plain("Publication Country", "Peru"), Plain("Eighteen Character", ""),
                 Range("Pages", 1, " ", " "),
                 Range("Issued", 4, "March 5, 1990", "December 31, 1995"),
                 Range("Year", 2, " ", "1999")};
  search.limits = {{"A", false}, {"B", true}, {"C", false}, {"D", true}, {"E", true}};
  headers.Build(search);
  EXPECT_EQ(headers.fullHeader,
            Banner("Books") +
                "# Publication Country : Peru\n"
                "# Eighteen Character : \n"
                "#              Pages : FROM Lowest  TO Highest\n"
                "#             Issued : FROM March 5, 1990  TO December 31, 1995\n"
                "#               Year : FROM Oldest  TO 1999\n"
                "# \n"
                "#    [ ] A   [X] B   [ ] C   [X] D\n" +
                kSeparator + "\n\n");

  // No limit fields: the mark line is "# " alone.
  search.rows.clear();
  search.limits.clear();
  headers.Build(search);
  EXPECT_EQ(headers.fullHeader, Banner("Books") + "# \n# \n" + kSeparator + "\n\n");
}

TEST(ResultHeadersTest, BasicModeSplitsAtEveryOr) {
  CResultHeaders headers = Headers();
  CResultHeaders::Search search;
  search.databaseName = "Pets";
  search.basicMode = true;
  search.basicFieldName = "Animal";
  search.basicText = "cats OR dogs OR mice";
  // Limit boxes belong to the criteria form only.
  search.limits = {{"Young", true}};
  search.rows = {Plain("Title", "ignored")};
  headers.Build(search);
  std::string continuation = "# " + std::string(20, ' ');
  EXPECT_EQ(headers.fullHeader, Banner("Pets") + "#             Animal : cats \n" + continuation +
                                    " dogs \n" + continuation + " mice\n# \n# \n" + kSeparator +
                                    "\n\n");

  // Inside a word too.
  search.basicText = "FLOOR TILES";
  headers.Build(search);
  EXPECT_NE(headers.fullHeader.find(": FLO\n" + continuation + " TILES\n# \n"), std::string::npos);
}

TEST(ResultHeadersTest, TimeStampFormat) {
  std::tm t{};
  t.tm_wday = 6;
  t.tm_mon = 0;
  t.tm_mday = 1;
  t.tm_hour = 9;
  t.tm_min = 5;
  t.tm_sec = 7;
  t.tm_year = 100;
  EXPECT_EQ(CResultHeaders::TimeStamp(t), "Sat Jan 01 09:05:07 2000\n");
}

}  // namespace
