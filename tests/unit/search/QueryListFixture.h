#pragma once

#include <string>
#include <vector>

#include "SearchFixture.h"
#include "TempDir.h"
#include "search/CQueryListFile.h"
#include "search/CSavedQueries.h"

// A connected form with a text row, a range row of every kind, an empty
// text row and two limit fields, plus the Queries menu over it.
struct QueryListFixture : SearchFixture {
  TempDir dir;
  CSavedQueries commands{queries, form, ui};

  void SetUp() override {
    Connect(Db(
        "Books",
        {Field("Title", "ti"), Field("Count", "nu", RANGE_NUMERIC), Field("Year", "yr", RANGE_YEAR),
         Field("Issued", "is", RANGE_MONTH), Field("Date", "da", RANGE_DAY), Field("Lang", "la")},
        {0, 1, 2, 3, 4, 5}, {Limit("English", "la=en"), Limit("Online", "ol")}));
  }

  // Fills the form and names it `name`.
  void NameFilledForm(const std::string& name) {
    form.SetTerm(0, "whale");
    form.rangeFrom[1].SetEnd("Oldest", 5, 0, "");
    form.rangeTo[1].SetEnd("Newest", 100, 0, "");
    form.rangeFrom[2].SetEnd("Oldest", 1990, 0, "");
    form.rangeTo[2].SetEnd("Newest", 0, 0, "");
    form.rangeFrom[3].SetEnd("Oldest", 1990, 0, "March");
    form.rangeTo[3].SetEnd("Newest", 1995, 0, "December");
    form.rangeFrom[4].SetEnd("Oldest", 1990, 15, "March");
    form.rangeTo[4].SetEnd("Newest", 1995, 31, "December");
    form.SetLimit(0, true);
    ASSERT_TRUE(form.CaptureQuery(name));
  }

  // Lines joined with CR LF, each one ended.
  static std::string CrLf(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
      text += line + "\r\n";
    }
    return text;
  }
};
