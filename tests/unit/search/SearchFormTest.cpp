#include "SearchFixture.h"

namespace {

using Strings = std::vector<std::string>;

struct SearchFormTest : SearchFixture {
  Strings ListNames() {
    Strings names;
    for (const auto& entry : form.fieldEntries) {
      names.push_back(entry.name);
    }
    return names;
  }
  Strings RowTexts() {
    Strings texts;
    for (const auto& row : form.rows) {
      texts.push_back(row.listText);
    }
    return texts;
  }
};

TEST_F(SearchFormTest, SetUpAfterConnect) {
  EXPECT_EQ(form.statusText, "No Databases are open");
  EXPECT_EQ(form.rowFieldNames[0], "Keyword");
  CDBFieldDescRec basicOnly = Field("Quick", "qu");
  basicOnly.basicOnly = 1;
  CDBDescRec& db =
      Db("Books",
         {Field("Title", "ti"), basicOnly, Field("Author", "au"), Field("Year", "py", RANGE_YEAR)},
         {0, 2, 1, 3, -1}, {Limit("English", "la=en"), Limit("Online", "ol")});
  Connect(db);
  // Basic-only fields stay off the lists; a default on one gives no field.
  EXPECT_EQ(ListNames(), (Strings{"Title", "Author", "Year"}));
  EXPECT_EQ(form.fieldEntries[1].fieldIndex, 2);
  EXPECT_EQ(RowTexts(), (Strings{"Title", "Author", "", "Year", "", ""}));
  EXPECT_EQ(form.rowFieldIndex, (std::array<int, 6>{0, 2, 0, 3, 0, 0}));
  EXPECT_EQ(form.DropDownExtra(), 56);
  EXPECT_TRUE(form.rows[3].rangeShown);
  EXPECT_FALSE(form.rows[3].termShown);
  EXPECT_FALSE(form.rows[5].listShown);
  EXPECT_EQ(form.limitCaptions[1], "Online");
  EXPECT_EQ(form.limitCommands, (std::array<std::string, 4>{"la=en", "ol", "", ""}));
  EXPECT_EQ(form.limitShown, (std::array<bool, 4>{true, true, false, false}));
  EXPECT_EQ(form.statusText, "Connected to Books Database");
  EXPECT_EQ(form.connectedDbName, "Books");

  // A second database: rows with a term keep a field of the same name
  // (case ignored), empty rows fall back to its defaults, range rows keep
  // theirs; boxes keep their state only under the same caption.
  form.SetTerm(0, "whale");
  form.SetTerm(1, "");
  form.SetLimit(0, true);
  form.SetLimit(1, true);
  CDBDescRec& other = Db("Papers",
                         {Field("Subject", "su"), Field("AUTHOR", "au"), Field("TITLE", "ti"),
                          Field("Year", "yr", RANGE_YEAR)},
                         {0, 0, 0, 0}, {Limit("English", "lang=en"), Limit("Peer", "pr")});
  Connect(other);
  EXPECT_EQ(RowTexts(), (Strings{"TITLE", "Subject", "Subject", "Year", "", ""}));
  EXPECT_EQ(form.rowTerms[0], "whale");
  EXPECT_EQ(form.limitChecked, (std::array<int, 4>{1, 0, 0, 0}));
  EXPECT_EQ(form.limitCommands[0], "lang=en");
}

TEST_F(SearchFormTest, RowsSwitchBetweenTextAndRange) {
  CDBDescRec& db = Db("d",
                      {Field("Title", "ti"), Field("Year", "py", RANGE_YEAR),
                       Field("Pages", "pg", RANGE_NUMERIC), Field("Month", "mo", RANGE_MONTH)},
                      {0});
  Connect(db);
  std::vector<std::pair<int, CSearchForm::FocusTarget>> focus;
  connections += form.onFocus.Connect([&](int row, CSearchForm::FocusTarget target) {
    focus.push_back({row, target});
  });
  form.SetTerm(0, "whale");
  ASSERT_TRUE(form.SelectRowField(0, "year"));
  EXPECT_EQ(form.rowTerms[0], "");
  EXPECT_FALSE(form.rows[0].termShown);
  EXPECT_TRUE(form.rows[0].rangeShown && form.rows[0].rangeEnabled);
  EXPECT_EQ(form.fromLabels[0], "Oldest");
  EXPECT_EQ(form.toLabels[0], "Newest");
  ASSERT_EQ(focus.size(), 1u);
  EXPECT_EQ(focus[0].second, CSearchForm::FocusTarget::FromButton);

  // A chosen end keeps its caption and value through field changes; open
  // ends take the words of the new field, both ways.
  form.rangeTo[0].SetEnd("Newest", 1995, 0, "");
  form.toLabels[0] = "1995";
  ASSERT_TRUE(form.SelectRowField(0, "Pa"));
  EXPECT_EQ(form.fromLabels[0], "Lowest");
  EXPECT_EQ(form.toLabels[0], "1995");
  ASSERT_TRUE(form.SelectRowField(0, 3));
  EXPECT_EQ(form.fromLabels[0], "Oldest");
  EXPECT_EQ(form.rangeTo[0].year, 1995);

  ASSERT_TRUE(form.SelectRowField(0, "TITLE"));
  EXPECT_TRUE(form.rows[0].termShown && form.rows[0].termEnabled);
  EXPECT_FALSE(form.rows[0].rangeShown);
  EXPECT_EQ(focus.back().second, CSearchForm::FocusTarget::TermBox);
  EXPECT_FALSE(form.SelectRowField(0, "Nothing"));
  EXPECT_FALSE(form.SelectRowField(1, "Title"));  // beyond the row count
}

TEST_F(SearchFormTest, BrowseButtonFollowsTheFocusedRow) {
  CDBFieldDescRec subject = Field("Subject", "su");
  subject.listNames = {"Subjects"};
  CDBDescRec& db = Db("d", {Field("Title", "ti"), subject}, {0, 1});
  Connect(db);
  form.OnTermFocus(1);
  EXPECT_EQ(form.currentRow, 1);
  EXPECT_EQ(form.browseCaption, "Browse Subject List");
  EXPECT_TRUE(form.browseEnabled);
  form.SetTerm(0, "x");
  EXPECT_EQ(form.currentRow, 0);
  EXPECT_EQ(form.browseCaption, "<Browse List>");
  EXPECT_FALSE(form.browseEnabled);
  form.OnTermFocus(1);
  form.Clear();
  EXPECT_EQ(form.browseCaption, "<Browse List>");
  EXPECT_FALSE(form.browseEnabled);
}

TEST_F(SearchFormTest, ClearAndClearAll) {
  CDBDescRec& db =
      Db("d", {Field("Title", "ti"), Field("Author", "au"), Field("Year", "py", RANGE_YEAR)},
         {0, 2}, {Limit("English", "la=en")});
  Connect(db);
  form.SelectRowField(0, "Author");
  form.SetTerm(0, "smith");
  form.rangeFrom[1].SetEnd("Oldest", 1990, 0, "");
  form.fromLabels[1] = "1990";
  form.SetLimit(0, true);

  // Clear: terms and boxes go, fields and ranges stay; the ranges still search.
  form.Clear();
  EXPECT_EQ(form.rowTerms[0], "");
  EXPECT_EQ(form.limitChecked[0], 0);
  EXPECT_EQ(form.rows[0].listText, "Author");
  EXPECT_EQ(form.fromLabels[1], "1990");
  form.SetTerm(0, "jones");
  EXPECT_EQ(Body(), Bytes("\0jones\0au\0\2"
                          "0/0/1990 0/0/0\0py\0",
                          10 + 19));

  // Clear with Ctrl held is Clear All: default fields, boxes and ranges kept.
  form.SetLimit(0, true);
  form.Clear(true);
  EXPECT_EQ(form.rowTerms[0], "");
  EXPECT_EQ(form.rows[0].listText, "Title");
  EXPECT_EQ(form.rowFieldIndex[0], 0);
  EXPECT_EQ(form.limitChecked[0], 1);
  EXPECT_EQ(form.rangeFrom[1].year, 1990);

  // Without a database every row loses its field.
  config.currentDatabase = nullptr;
  form.ClearAll();
  EXPECT_EQ(form.rowFieldNames[0], "");
  EXPECT_EQ(form.rows[0].selection, -1);
}

TEST_F(SearchFormTest, DisconnectResetsThePage) {
  CDBDescRec& db = Db("Books", {Field("Title", "ti")}, {0}, {Limit("English", "la=en")});
  Connect(db);
  form.SetTerm(0, "whale");
  form.SetLimit(0, true);
  form.OnDisconnect();
  EXPECT_EQ(form.statusText, "Disconnected:  Books");
  EXPECT_EQ(form.connectedDbName, "");
  EXPECT_TRUE(form.fieldEntries.empty());
  EXPECT_EQ(form.rows[0].listText, "");
  EXPECT_FALSE(form.searchEnabled);
  EXPECT_FALSE(form.limitShown[0]);
  EXPECT_EQ(form.limitChecked[0], 0);
  EXPECT_EQ(form.limitCaptions[0], "");
  EXPECT_EQ(form.limitCommands[0], "");
  // The term stays, and the field comes back with the next connect.
  config.currentDatabase = nullptr;
  Connect(db);
  EXPECT_EQ(form.rows[0].listText, "Title");
  EXPECT_EQ(form.rowTerms[0], "whale");
}

TEST_F(SearchFormTest, SearchResetsThenSends) {
  CDBDescRec& db = Db("d", {Field("Title", "ti"), Field("Year", "py", RANGE_YEAR)}, {0, 1});
  Connect(db);
  Strings calls;
  connections += form.onBeforeSearch.Connect([&] {
    calls.push_back("before:" + std::to_string(link.BasicModeSearch() ? 1 : 0) + ":" +
                    (form.searchEnabled ? "on" : "off"));
  });
  connections += form.onNothingToSearch.Connect([&] { calls.push_back("summary"); });
  link.SetBasicModeSearch(true);

  // Nothing to search: only the summary page comes up.
  form.rangeFrom[1].SetEnd("Oldest", 1990, 0, "");
  form.Search();
  EXPECT_EQ(calls, Strings{"summary"});
  EXPECT_TRUE(form.searchEnabled);
  EXPECT_EQ(app.StatusMessage(), "");
  EXPECT_FALSE(link.Busy().IsShown());

  form.SetTerm(0, "whale");
  form.Search();
  EXPECT_EQ(calls, (Strings{"summary", "before:0:on"}));
  EXPECT_FALSE(form.searchEnabled);
  EXPECT_EQ(app.StatusMessage(), "Searching...");
  EXPECT_TRUE(link.Busy().IsShown());
  EXPECT_EQ(link.Busy().Text(), "Searching ...\n(This could take a while)\n");
  EXPECT_EQ(link.State(), LINK_SEARCHING);
  // The search button is off until the link gives it back.
  form.Search();
  EXPECT_EQ(calls.size(), 2u);
}

}  // namespace
