#include "SearchFixture.h"

namespace {

struct QueryTest : SearchFixture {
  CDBDescRec* books = nullptr;
  void SetUp() override {
    books = &Db("Books",
                {Field("Title", "ti"), Field("Author", "au"), Field("Issued", "is", RANGE_MONTH)},
                {0, 1, 2}, {Limit("English", "la=en"), Limit("Online", "ol")});
    Connect(*books);
  }
};

TEST_F(QueryTest, CaptureStoresAllSixRowsAndTheLimitCaptions) {
  form.SetTerm(0, "whale");
  form.rangeFrom[2].SetEnd("Oldest", 1990, 0, "March");
  form.SetLimit(1, true);
  ASSERT_TRUE(form.CaptureQuery("sea"));
  EXPECT_EQ(queries.queryNames, std::vector<std::string>{"sea"});
  EXPECT_EQ(queries.currentQueryName, "sea");
  const CQueryRecord* record = queries.Find("sea");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->fields[0].fieldName, "Title");
  EXPECT_EQ(record->fields[0].term, "whale");
  EXPECT_EQ(record->fields[2].from.FormatEnd(), "March 1990");
  EXPECT_EQ(record->fields[5].fieldName, "");
  EXPECT_EQ(record->limitLabels,
            (std::array<std::string, 4>{"English", "Online", "Limit 3", "Limit 4"}));
  EXPECT_EQ(record->limitChecked, (std::array<int, 4>{0, 1, 0, 0}));
  EXPECT_EQ(queries.Find("Sea"), nullptr);
}

TEST_F(QueryTest, ApplyPutsTheQueryBackOnTheForm) {
  form.SelectRowField(0, "Author");
  form.SetTerm(0, "melville");
  form.rangeFrom[2].SetEnd("Oldest", 1990, 0, "March");
  form.fromLabels[2] = "March  1990";
  form.SetLimit(0, true);
  form.SetLimit(1, true);
  ASSERT_TRUE(form.CaptureQuery("q"));

  form.ClearAll();
  form.Clear();
  form.rangeFrom[2] = CRangeDesc();
  ASSERT_TRUE(form.ApplyQuery("q"));
  EXPECT_EQ(form.rows[0].listText, "Author");
  EXPECT_EQ(form.rowTerms[0], "melville");
  // The caption is rewritten from the end itself, with one blank.
  EXPECT_EQ(form.fromLabels[2], "March 1990");
  EXPECT_EQ(form.toLabels[2], "Newest");
  EXPECT_EQ(form.limitChecked, (std::array<int, 4>{1, 1, 0, 0}));
  EXPECT_EQ(Body(), std::string("\0melville\0au\0\3"
                                "3/0/1990 0/0/0\0is\0la=en\0ol\0",
                                13 + 19 + 9));
  EXPECT_FALSE(form.ApplyQuery("unknown"));
}

TEST_F(QueryTest, OtherDatabaseKeepsItsFieldsButTakesTermsAndRanges) {
  form.SetTerm(0, "whale");
  form.SetTerm(1, "melville");
  form.rangeTo[2].SetEnd("Newest", 1995, 0, "May");
  form.SetLimit(0, true);
  form.SetLimit(1, true);
  ASSERT_TRUE(form.CaptureQuery("q"));

  CDBDescRec& papers = Db(
      "Papers", {Field("Headline", "hl"), Field("Writer", "wr"), Field("Year", "yr", RANGE_YEAR)},
      {0, 1, 2}, {Limit("Online", "on"), Limit("English", "en")});
  Connect(papers);
  ASSERT_TRUE(form.ApplyQuery("q"));
  EXPECT_EQ(form.rowFieldNames[0], "Headline");
  EXPECT_EQ(form.rowFieldNames[1], "Writer");
  EXPECT_EQ(form.rowTerms[0], "whale");
  EXPECT_EQ(form.rowTerms[1], "melville");
  EXPECT_EQ(form.rangeTo[2].year, 1995);
  EXPECT_EQ(form.toLabels[2], "May 1995");
  // Box captions moved places: neither box takes the saved state.
  EXPECT_EQ(form.limitChecked, (std::array<int, 4>{0, 0, 0, 0}));
  EXPECT_EQ(Body(), std::string("\0whale\0hl\0\0melville\0wr\0\2"
                                "0/0/0 5/0/1995\0yr\0",
                                10 + 13 + 19));
}

TEST_F(QueryTest, StoredNamesPickTheFieldByPrefix) {
  CDBDescRec& papers = Db("Papers", {Field("Title words", "tw"), Field("Title", "ti")}, {1});
  Connect(papers);
  queries.Store([] {
    CQueryRecord record;
    record.name = "p";
    record.fields[0].fieldName = "TITLE W";
    record.fields[0].term = "x";
    return record;
  }());
  ASSERT_TRUE(form.ApplyQuery("p"));
  EXPECT_EQ(form.rows[0].listText, "Title words");
  // An exact name wins over an earlier field that only begins with it.
  queries.Store([] {
    CQueryRecord record;
    record.name = "p";
    record.fields[0].fieldName = "title";
    return record;
  }());
  EXPECT_EQ(queries.queryNames.size(), 1u);
  ASSERT_TRUE(form.ApplyQuery("p"));
  EXPECT_EQ(form.rows[0].listText, "Title");
}

}  // namespace
