#include <gtest/gtest.h>

#include "LoopbackDocument.h"
#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "doc/CTmsfrmDoc.h"
#include "driver/CDriverLink.h"
#include "search/CQueryList.h"
#include "search/CSearchForm.h"

namespace {

struct SearchFormIntegration : ::testing::Test, LoopbackDocument {};

TEST_F(SearchFormIntegration, SearchSendsTheFormAsOneRequest) {
  ASSERT_TRUE(OpenConfig(
      CatalogueConfig("t_field_name = Title\nt_field_cmd = ti\ndflt_at = 1\n"
                      "t_field_name = Year\nt_field_cmd = py\nt_range_type = YEAR\ndflt_at = 2\n"
                      "l_field_name = English\nl_field_cmd = la=en\n")));
  ASSERT_TRUE(Connect());
  CTmsfrmDoc& doc = *this->doc;
  ASSERT_NE(doc.Config().currentDatabase, nullptr);

  CQueryList queries;
  CSearchForm form(doc.Config(), doc.Link(), app, ui, queries);
  form.OnConnect(*doc.Config().currentDatabase);
  form.SetSearchEnabled(true);
  ASSERT_TRUE(form.SetTerm(0, "whale"));
  ASSERT_TRUE(form.SetLimit(0, true));
  form.rangeFrom[1].SetEnd("Oldest", 1990, 0, "");
  form.Search();

  EXPECT_EQ(doc.Link().Busy().Text(), "Searching ...\n(This could take a while)\n");
  EXPECT_TRUE(doc.Link().Busy().IsShown());
  EXPECT_EQ(app.StatusMessage(), "Searching...");
  EXPECT_EQ(doc.Link().State(), LINK_SEARCHING);
  ASSERT_TRUE(driver.WaitForRequests(2));
  auto requests = driver.Requests();
  ASSERT_EQ(requests.size(), 2u);
  const auto& search = requests[1];
  EXPECT_EQ(search.header.type, static_cast<std::uint32_t>(MSG_SEARCH));
  std::string body(
      "\0whale\0ti\0\2"
      "0/0/1990 0/0/0\0py\0la=en\0",
      10 + 19 + 6);
  EXPECT_EQ(search.body, body);
  EXPECT_EQ(search.header.length, static_cast<std::int32_t>(body.size()));
  EXPECT_EQ(search.header.param1, 2);
  EXPECT_EQ(search.header.param2, 1);
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
