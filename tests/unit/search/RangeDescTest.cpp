#include <gtest/gtest.h>

#include "search/CRangeDesc.h"

namespace {

TEST(RangeDesc, SetEndAndFormatEnd) {
  CRangeDesc end;
  EXPECT_EQ(end.isLowEnd, 1);
  EXPECT_EQ(end.FormatEnd(), " ");

  end.SetEnd("Oldest", 1990, 0, "");
  EXPECT_EQ(end.FormatEnd(), "1990");
  EXPECT_EQ(end.isSet, 1);
  EXPECT_EQ(end.isLowEnd, 1);

  end.SetEnd("Newest", 1990, 0, "March");
  EXPECT_EQ(end.month, 3);
  EXPECT_EQ(end.isLowEnd, 0);
  EXPECT_EQ(end.FormatEnd(), "March 1990");
  end.SetEnd("Newest", 1990, 5, "March");
  EXPECT_EQ(end.FormatEnd(), "March 5, 1990");

  // Month names are matched exactly; a name not offered counts as no month.
  end.SetEnd("Newest", 1990, 0, "march");
  EXPECT_EQ(end.month, 0);
  EXPECT_EQ(end.FormatEnd(), "1990");

  end.SetEnd("Oldest", 0, 0, "");
  EXPECT_EQ(end.isSet, 0);
  EXPECT_EQ(end.FormatEnd(), " ");

  // A month number without its name (a loaded query) is written in English;
  // a number out of range gives no name rather than garbage.
  CRangeDesc loaded;
  loaded.month = 12;
  loaded.year = 2001;
  loaded.isSet = 1;
  EXPECT_EQ(loaded.FormatEnd(), "December 2001");
  loaded.month = 13;
  EXPECT_EQ(loaded.FormatEnd(), " 2001");

  CRangeDesc copy;
  end.SetEnd("Newest", 1995, 31, "December");
  copy.CopyFrom(end);
  EXPECT_EQ(copy.FormatEnd(), "December 31, 1995");
  EXPECT_EQ(copy.isLowEnd, 0);
  EXPECT_EQ(copy.month, 12);
}

}  // namespace
