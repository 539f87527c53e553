#include "SearchFixture.h"

namespace {

using SearchRequestTest = SearchFixture;

TEST_F(SearchRequestTest, PlainTermWithLimitBoxIsTheSixteenByteExample) {
  CDBDescRec& db = Db("books", {Field("Title", "ti")}, {0}, {Limit("English", "la=en")});
  Connect(db);
  ASSERT_TRUE(form.SetTerm(0, "whale"));
  ASSERT_TRUE(form.SetLimit(0, true));
  auto request = form.BuildSearchRequest();
  ASSERT_TRUE(request);
  EXPECT_EQ(request->body, Bytes("\0whale\0ti\0la=en\0", 16));
  EXPECT_EQ(request->termCount, 1);
  EXPECT_EQ(request->limitCount, 1);
}

TEST_F(SearchRequestTest, RangeRowsSendTypeByteAndRangeText) {
  CDBDescRec& db = Db("d",
                      {Field("Title", "ti"), Field("Year", "py", RANGE_YEAR),
                       Field("Date", "da", RANGE_DAY), Field("Pages", "pg", RANGE_NUMERIC)},
                      {0, 1, 2, 3});
  Connect(db);
  form.SetTerm(0, "whale");
  form.rangeFrom[1].SetEnd("Oldest", 1990, 0, "");
  form.rangeFrom[2].SetEnd("Oldest", 1990, 15, "March");
  form.rangeTo[2].SetEnd("Newest", 1995, 31, "December");
  form.rangeFrom[3].SetEnd("Oldest", 5, 0, "");
  form.rangeTo[3].SetEnd("Newest", 100, 0, "");
  auto request = form.BuildSearchRequest();
  ASSERT_TRUE(request);
  EXPECT_EQ(request->body, Bytes("\0whale\0ti\0"
                                 "\2"
                                 "0/0/1990 0/0/0\0py\0"
                                 "\4"
                                 "3/15/1990 12/31/1995\0da\0"
                                 "\1"
                                 "0/0/5 0/0/100\0pg\0",
                                 10 + 19 + 25 + 18));
  EXPECT_EQ(request->termCount, 4);
  EXPECT_EQ(request->limitCount, 0);

  // A range row with both ends open adds nothing, not even an empty record.
  form.rangeFrom[1] = CRangeDesc();
  form.rangeFrom[2] = form.rangeTo[2] = CRangeDesc();
  form.rangeFrom[3] = form.rangeTo[3] = CRangeDesc();
  EXPECT_EQ(Body(), Bytes("\0whale\0ti\0", 10));
}

TEST_F(SearchRequestTest, LimitRowsGoAfterTheTermRecordsAndNeedAPlainTerm) {
  CDBDescRec& db = Db("d",
                      {Field("Title", "ti"), Field("Language", "la", RANGE_NONE, 1),
                       Field("Subject", "su"), Field("Span", "sp", RANGE_YEAR, 1)},
                      {0, 1, 2, 3}, {Limit("Online", "ol")});
  Connect(db);
  // Three filled rows, the middle one a limit row; then a range limit row
  // and a checked limit box.
  form.SetTerm(0, "whale");
  form.SetTerm(1, "en");
  form.SetTerm(2, "sea");
  form.rangeFrom[3].SetEnd("Oldest", 1990, 0, "");
  form.SetLimit(0, true);
  auto request = form.BuildSearchRequest();
  ASSERT_TRUE(request);
  EXPECT_EQ(request->body, Bytes("\0whale\0ti\0\0sea\0su\0en\0"
                                 "0/0/1990 0/0/0\0ol\0",
                                 10 + 8 + 3 + 15 + 3));
  EXPECT_EQ(request->termCount, 2);
  EXPECT_EQ(request->limitCount, 3);

  // Limit rows and range rows alone are nothing to search.
  form.SetTerm(0, "");
  form.SetTerm(2, "");
  EXPECT_FALSE(form.BuildSearchRequest());
  CDBDescRec& ranged = Db("r", {Field("Title", "ti"), Field("Year", "py", RANGE_YEAR)}, {0, 1});
  Connect(ranged);
  form.rangeFrom[1].SetEnd("Oldest", 1990, 0, "");
  EXPECT_FALSE(form.BuildSearchRequest());
  // A term of blanks is a term, sent unchanged.
  form.SetTerm(0, "  ");
  EXPECT_EQ(Body(), Bytes("\0  \0ti\0\2"
                          "0/0/1990 0/0/0\0py\0",
                          7 + 19));
}

TEST_F(SearchRequestTest, NothingToSendWithoutDatabaseOrTerm) {
  EXPECT_FALSE(form.BuildSearchRequest());
  CDBDescRec& db = Db("d", {Field("Title", "ti")}, {0}, {Limit("Online", "ol")});
  Connect(db);
  form.SetLimit(0, true);
  EXPECT_FALSE(form.BuildSearchRequest());
  form.SetTerm(0, "x");
  config.currentDatabase = nullptr;
  EXPECT_FALSE(form.BuildSearchRequest());
}

TEST_F(SearchRequestTest, OnlyShownRowsAndBoxesOfThisDatabaseCount) {
  std::vector<CDBFieldDescRec> fields = {Field("Title", "ti"), Field("Author", "au")};
  CDBDescRec& wide = Db("wide", fields, {0, 1, 0, 1, 0, 1},
                        {Limit("A", "a"), Limit("B", "b"), Limit("C", "c"), Limit("D", "d")});
  Connect(wide);
  for (int r = 0; r < 6; ++r) {
    form.SetTerm(r, "t" + std::to_string(r));
  }
  for (int i = 0; i < 4; ++i) {
    form.SetLimit(i, true);
  }
  // Same fields, two rows, two limit fields of the same captions.
  CDBDescRec& narrow = Db("narrow", fields, {0, 1}, {Limit("A", "a"), Limit("B", "b")});
  Connect(narrow);
  EXPECT_FALSE(form.rows[2].termShown);
  EXPECT_FALSE(form.rows[5].listShown);
  EXPECT_EQ(form.rowTerms[5], "t5");
  EXPECT_FALSE(form.limitShown[2]);
  EXPECT_EQ(form.limitChecked[2], 0);
  EXPECT_FALSE(form.SetLimit(3, true));
  auto request = form.BuildSearchRequest();
  ASSERT_TRUE(request);
  EXPECT_EQ(request->body, Bytes("\0t0\0ti\0\0t1\0au\0a\0b\0", 7 + 7 + 4));
  EXPECT_EQ(request->limitCount, 2);
}

TEST_F(SearchRequestTest, RowWithoutFieldIsSkipped) {
  // Two defaults for row 1: row 2 is shown but has no field.
  CDBDescRec& db = Db("d", {Field("Title", "ti"), Field("Author", "au")}, {1, -1});
  Connect(db);
  EXPECT_EQ(form.rows[1].listText, "");
  EXPECT_TRUE(form.rows[1].termShown);
  EXPECT_FALSE(form.SetTerm(1, "ignored"));
  form.rowTerms[1] = "ignored";
  form.SetTerm(0, "smith");
  EXPECT_EQ(Body(), Bytes("\0smith\0au\0", 10));
}

TEST_F(SearchRequestTest, TermsOfAnyLengthAreSentWhole) {
  CDBDescRec& db = Db("d", {Field("Title", "ti"), Field("Lang", "la", RANGE_NONE, 1)}, {0, 1});
  Connect(db);
  std::string term(10000, 'w');
  term[9999] = 'z';
  std::string limit(3000, 'l');
  form.SetTerm(0, term);
  form.SetTerm(1, limit);
  auto request = form.BuildSearchRequest();
  ASSERT_TRUE(request);
  EXPECT_EQ(request->body, std::string(1, '\0') + term + '\0' + "ti" + '\0' + limit + '\0');
}

TEST_F(SearchRequestTest, OverlongFieldNameStopsTheSearchWithItsMessage) {
  CDBDescRec& db = Db("d", {Field(std::string(31, 'N'), "n"), Field("Title", "ti")}, {0, 1});
  Connect(db);
  form.SetTerm(1, "whale");
  EXPECT_FALSE(form.BuildSearchRequest());
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Please enter no more than 30 characters."});
  // Thirty characters are fine.
  db.searchFields[0].name = std::string(30, 'N');
  Connect(db);
  EXPECT_EQ(Body(), Bytes("\0whale\0ti\0", 10));
}

}  // namespace
