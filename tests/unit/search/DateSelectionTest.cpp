#include "SearchFixture.h"
#include "search/CDateSelectionDlg.h"

namespace {

using Strings = std::vector<std::string>;

CDateSelectionDlg Dialog(const char* endWord, int rangeType, int low = 0, int high = 0) {
  CDateSelectionDlg dialog(endWord, "Date", rangeType, low, high, 2026);
  dialog.OnInit();
  return dialog;
}

TEST(DateSelectionDlg, CaptionsAndWhatSpecifyShows) {
  auto numeric = Dialog("Oldest", RANGE_NUMERIC, 1990, 1995);
  EXPECT_EQ(numeric.Caption(), "Date Selection");
  EXPECT_EQ(numeric.firstRadioCaption, "Lowest Date");
  EXPECT_EQ(numeric.specifyCaption, "Specify Date");
  EXPECT_FALSE(numeric.yearLabelShown || numeric.yearBoxShown || numeric.monthShown);
  numeric.SetChoice(CDateSelectionDlg::kSpecify);
  EXPECT_EQ(numeric.yearLabel, "Lowest");
  // A span on a numeric field changes nothing: numbers are typed.
  EXPECT_TRUE(numeric.yearBoxShown && !numeric.yearListShown && !numeric.monthShown);
  EXPECT_EQ(Dialog("Newest", RANGE_NUMERIC).firstRadioCaption, "Highest Date");

  auto year = Dialog("Newest", RANGE_YEAR);
  EXPECT_EQ(year.firstRadioCaption, "Newest Date");
  year.SetChoice(CDateSelectionDlg::kSpecify);
  EXPECT_EQ(year.yearLabel, "Year");
  EXPECT_TRUE(year.yearBoxShown && !year.yearListShown && !year.monthShown && !year.dayShown);

  auto month = Dialog("Oldest", RANGE_MONTH, 1990, 1995);
  month.SetChoice(CDateSelectionDlg::kSpecify);
  EXPECT_TRUE(month.monthShown && month.yearListShown && !month.yearBoxShown && !month.dayShown);
  EXPECT_EQ(month.yearList, (Strings{"1990", "1991", "1992", "1993", "1994", "1995"}));

  auto day = Dialog("Oldest", RANGE_DAY);
  day.SetChoice(CDateSelectionDlg::kSpecify);
  EXPECT_TRUE(day.monthShown && day.dayShown && day.yearBoxShown);
  day.SetChoice(CDateSelectionDlg::kOpenEnd);
  EXPECT_FALSE(day.monthShown || day.dayShown || day.yearBoxShown || day.yearLabelShown);
}

TEST(DateSelectionDlg, ResultsPerRangeType) {
  auto year = Dialog("Oldest", RANGE_YEAR);
  year.SetChoice(CDateSelectionDlg::kSpecify);
  // The box left at 0 is 1900; two-digit years are of the 1900s.
  EXPECT_EQ(year.Result().caption, "1900");
  EXPECT_EQ(year.Result().year, 1900);
  year.yearText = "95";
  EXPECT_EQ(year.Result().caption, "1995");
  year.yearText = "abc";
  EXPECT_EQ(year.Result().year, 1900);

  auto numeric = Dialog("Newest", RANGE_NUMERIC);
  numeric.SetChoice(CDateSelectionDlg::kSpecify);
  numeric.yearText = "1,500";
  EXPECT_EQ(numeric.Result().caption, "1,500");
  EXPECT_EQ(numeric.Result().year, 1);
  numeric.SetChoice(CDateSelectionDlg::kOpenEnd);
  EXPECT_EQ(numeric.Result().caption, "Highest");
  EXPECT_EQ(numeric.Result().year, 0);

  auto month = Dialog("Oldest", RANGE_MONTH);
  month.SetChoice(CDateSelectionDlg::kSpecify);
  month.monthText = "March";
  month.yearText = "1990";
  EXPECT_EQ(month.Result().caption, "March  1990");
  EXPECT_EQ(month.Result().monthName, "March");
  EXPECT_EQ(month.Result().day, 0);

  auto day = Dialog("Oldest", RANGE_DAY);
  day.SetChoice(CDateSelectionDlg::kSpecify);
  day.monthText = "March";
  day.dayText = "5";
  day.yearText = "90";
  EXPECT_EQ(day.Result().caption, "March 5, 1990");
  EXPECT_EQ(day.Result().day, 5);

  // With a span and nothing chosen the ends default to the span's ends; the
  // list takes a typed year as it is.
  auto from = Dialog("Oldest", RANGE_YEAR, 1990, 1995);
  auto to = Dialog("Newest", RANGE_YEAR, 1990, 1995);
  from.SetChoice(CDateSelectionDlg::kSpecify);
  to.SetChoice(CDateSelectionDlg::kSpecify);
  EXPECT_EQ(from.Result().year, 1990);
  EXPECT_EQ(to.Result().caption, "1995");
  to.yearChoiceText = "85";
  EXPECT_EQ(to.Result().caption, "85");
}

TEST(DateSelectionDlg, AnswerTexts) {
  auto day = Dialog("Oldest", RANGE_DAY);
  EXPECT_TRUE(day.ApplyAnswerText("march 5, 1990"));
  EXPECT_EQ(day.choice, CDateSelectionDlg::kSpecify);
  EXPECT_EQ(day.Result().caption, "March 5, 1990");
  EXPECT_TRUE(day.ApplyAnswerText("open"));
  EXPECT_EQ(day.choice, CDateSelectionDlg::kOpenEnd);
  EXPECT_FALSE(day.ApplyAnswerText("March 32, 1990"));
  EXPECT_FALSE(day.ApplyAnswerText("March"));
  EXPECT_EQ(day.choice, CDateSelectionDlg::kOpenEnd);

  auto fresh = Dialog("Oldest", RANGE_DAY);
  EXPECT_TRUE(fresh.ApplyAnswerText("specify"));
  EXPECT_EQ(fresh.Result().caption, "January 1, 1900");

  auto month = Dialog("Newest", RANGE_MONTH, 1990, 1995);
  EXPECT_TRUE(month.ApplyAnswerText("May 1992"));
  EXPECT_EQ(month.yearChoiceText, "1992");
  EXPECT_EQ(month.Result().caption, "May  1992");

  auto numeric = Dialog("Oldest", RANGE_NUMERIC);
  EXPECT_TRUE(numeric.ApplyAnswerText("1,500"));
  EXPECT_EQ(numeric.yearText, "1,500");
}

struct SelectRangeEndTest : SearchFixture {
  void SetUp() override {
    CDBDescRec& db = Db("d",
                        {Field("Title", "ti"), Field("Published", "py", RANGE_YEAR, 0),
                         Field("Pages", "pg", RANGE_NUMERIC)},
                        {0, 1, 2});
    Connect(db);
  }
};

TEST_F(SelectRangeEndTest, OkStoresEndAndCaptionCancelKeepsThem) {
  Strings seen;
  ui.QueueDialog([&](CDialogModel& model) {
    auto& dialog = dynamic_cast<CDateSelectionDlg&>(model);
    seen.push_back(dialog.firstRadioCaption);
    dialog.SetAnswerText("1990");
    return true;
  });
  ASSERT_TRUE(form.SelectRangeEnd(1, "Oldest"));
  EXPECT_EQ(ui.dialogKinds, Strings{"date-selection"});
  EXPECT_EQ(form.fromLabels[1], "1990");
  EXPECT_EQ(form.rangeFrom[1].year, 1990);
  EXPECT_EQ(form.rangeFrom[1].isLowEnd, 1);

  // The dialog opens at its initial values whatever was chosen before.
  ui.QueueDialog([&](CDialogModel& model) {
    auto& dialog = dynamic_cast<CDateSelectionDlg&>(model);
    seen.push_back(dialog.firstRadioCaption);
    EXPECT_EQ(dialog.choice, CDateSelectionDlg::kOpenEnd);
    EXPECT_EQ(dialog.monthText, "January");
    EXPECT_EQ(dialog.dayText, "1");
    EXPECT_EQ(dialog.yearText, "0");
    dialog.SetAnswerText("2000");
    return false;
  });
  EXPECT_FALSE(form.SelectRangeEnd(1, "Oldest"));
  EXPECT_EQ(form.fromLabels[1], "1990");
  EXPECT_EQ(form.rangeFrom[1].year, 1990);

  // The open end: the end is unset and the button reads its word.
  ui.QueueDialog([](CDialogModel& model) {
    dynamic_cast<CDateSelectionDlg&>(model).SetAnswerText("open");
    return true;
  });
  ASSERT_TRUE(form.SelectRangeEnd(2, "Newest"));
  EXPECT_EQ(form.toLabels[2], "Highest");
  EXPECT_EQ(form.rangeTo[2].isSet, 0);
  EXPECT_EQ(form.rangeTo[2].isLowEnd, 0);
  EXPECT_EQ(seen, (Strings{"Oldest Published", "Oldest Published"}));

  // Text rows have no range buttons.
  EXPECT_FALSE(form.SelectRangeEnd(0, "Oldest"));
}

}  // namespace
