#include <gtest/gtest.h>

#include <memory>

#include "LoopbackDocument.h"
#include "app/CAppState.h"
#include "app/CFontDlg.h"
#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
#include "doc/CTmsfrmDoc.h"
#include "driver/CDriverLink.h"
#include "driver/CListSummary.h"
#include "output/CAbstract.h"
#include "output/CRecordFormat.h"

namespace {

std::string Z(const std::string& text) {
  return text + std::string(1, '\0');
}

struct ResultsTest : ::testing::Test, LoopbackDocument {
  // The document's own result windows, wired as the document wires them.
  CDriverLink* link = nullptr;
  CListSummary* summary = nullptr;
  CAbstract* abstract = nullptr;
  CRecordFormat* format = nullptr;

  void SetUp() override {
    ASSERT_TRUE(
        OpenConfig(CatalogueConfig("t_field_name = Name\ndb_group = debian\nno_info = 1\n")));
    link = &doc->Link();
    summary = &doc->Summary();
    abstract = &doc->Abstract();
    format = &doc->RecordFormat();
  }
  // Everything the driver received after the first `skip` bytes.
  std::string ReceivedAfter(std::size_t skip) { return driver.Received().substr(skip); }
};

TEST_F(ResultsTest, SearchTitlesSummariesAndFullRecords) {
  // The stored format names the fields in another order than the driver's.
  settings.WriteSettingText(kSectionDatabaseFieldFormats, "Catalogue", "IncludeHeader:AU:TI:");
  std::string fields = Z("\1TI") + Z("Title") + Z(std::string(1, '\0') + "AB") + Z("Abstract") +
                       Z("\1AU") + Z("Author");
  driver.OnRequest(MSG_OPEN, {{TestDriver::Packet(MSG_CONNECTED) +
                               TestDriver::Packet(MSG_DATABASE_INFO, fields, 1, 3)}});
  driver.SetFieldListSent(true);
  link->ConnectToDatabase("Catalogue");
  ASSERT_TRUE(loop.RunUntil([&] { return link->State() == LINK_IDLE && link->FieldCount() == 3; }));
  EXPECT_EQ(link->AbbreviatedLabels(), 1);
  EXPECT_EQ(format->headerMode, 2);
  EXPECT_EQ(link->IncludedFieldList(), std::string("TI\0AU\0", 6));

  // A search with 75 matches; the driver answers each title request.
  driver.OnRequest(MSG_SEARCH, {{TestDriver::Packet(MSG_HIT_COUNT, "", 0, 75)}});
  for (int n = 1; n <= 75; ++n) {
    driver.OnRequest(MSG_GET_TITLE,
                     {{TestDriver::Packet(MSG_TITLE, Z("Title " + std::to_string(n)), n)}});
  }
  summary->ResetForSearch();
  std::size_t before = driver.Received().size();
  std::string search = Z(std::string(1, '\0') + "whale") + Z("T");
  link->SendSearch(1, 0, search);
  ASSERT_TRUE(loop.RunUntil([&] { return summary->Titles().size() == 30u; }));
  ASSERT_TRUE(loop.RunUntil([&] { return link->State() == LINK_IDLE; }));
  std::string expected = TestDriver::Packet(MSG_SEARCH, search, 1, 0);
  for (int n = 1; n <= 30; ++n) {
    expected += TestDriver::Packet(MSG_GET_TITLE, "", n);
  }
  ASSERT_TRUE(driver.WaitForRequests(2 + 30));
  EXPECT_EQ(ReceivedAfter(before), expected);
  EXPECT_EQ(summary->moreLabel, "30 More?");
  EXPECT_EQ(summary->counterText, " 30 of 75");
  EXPECT_EQ(summary->Titles()[0], "1   Title 1");

  // The rest in two more batches.
  ASSERT_TRUE(summary->More());
  ASSERT_TRUE(loop.RunUntil([&] { return link->State() == LINK_IDLE; }));
  ASSERT_TRUE(summary->More());
  ASSERT_TRUE(loop.RunUntil([&] { return link->State() == LINK_IDLE; }));
  EXPECT_EQ(summary->Titles()[74], "75  Title 75");

  // Summaries of titles 3 and 5: kind 1, no field list, the label style.
  driver.OnRequest(MSG_GET_RECORD, {{TestDriver::Packet(MSG_RECORD, Z("Three\n\nabc"), 3)}});
  driver.OnRequest(MSG_GET_RECORD, {{TestDriver::Packet(MSG_RECORD, Z("Five"), 5)}});
  ASSERT_TRUE(driver.WaitForRequests(2 + 75));
  before = driver.Received().size();
  summary->SetSelection({2, 4});
  loop.Advance(summary->doubleClickMs);
  ASSERT_TRUE(loop.RunUntil([&] { return app.StatusMessage() == "Summaries retrieved"; }));
  EXPECT_EQ(summary->SummaryText(), "Three\r\nabc\r\n\r\n\r\nFive\r\n\r\n\r\n");
  ASSERT_TRUE(driver.WaitForRequests(2 + 75 + 2));
  EXPECT_EQ(ReceivedAfter(before), TestDriver::Packet(MSG_GET_RECORD, "", 3, 1, 1) +
                                       TestDriver::Packet(MSG_GET_RECORD, "", 5, 1, 1));
  // Selected again: from the cache at once, nothing asked.
  summary->SetSelection({4, 2});
  loop.Advance(summary->doubleClickMs);
  EXPECT_EQ(summary->SummaryText(), "Three\r\nabc\r\n\r\n\r\nFive\r\n\r\n\r\n");
  EXPECT_EQ(link->State(), LINK_IDLE);

  // Full records of titles 1 and 2 with the included fields as the body.
  driver.OnRequest(MSG_GET_RECORD, {{TestDriver::Packet(MSG_RECORD, Z("TI: One\nAU: A"), 1)}});
  driver.OnRequest(MSG_GET_RECORD, {{TestDriver::Packet(MSG_RECORD, Z("TI: Two\nAU: B"), 2)}});
  before = driver.Received().size();
  summary->SetSelection({0, 1});
  summary->DoubleClick();
  EXPECT_EQ(link->Busy().Text(), "Retrieving...\n(this could take a while)");
  ASSERT_TRUE(loop.RunUntil([&] { return link->State() == LINK_IDLE; }));
  EXPECT_EQ(abstract->Text(), "TI: One\nAU: ATI: Two\nAU: B\n\n\n\n");
  EXPECT_TRUE(abstract->redrawEnabled);
  EXPECT_FALSE(link->Busy().IsShown());
  EXPECT_EQ(app.StatusMessage(), "   ");
  ASSERT_TRUE(driver.WaitForRequests(2 + 75 + 2 + 2));
  std::string body("TI\0AU\0", 6);
  EXPECT_EQ(ReceivedAfter(before), TestDriver::Packet(MSG_GET_RECORD, body, 1, 0, 1) +
                                       TestDriver::Packet(MSG_GET_RECORD, body, 2, 0, 1));
  EXPECT_TRUE(ui.messages.empty());

  // A disconnect empties both windows.
  link->Disconnect();
  EXPECT_TRUE(summary->Titles().empty());
  EXPECT_EQ(abstract->Text(), "");
}

TEST_F(ResultsTest, ChangeFontSetsAndStoresBothResultWindows) {
  ui.QueueDialog([](CDialogModel& d) {
    auto& dialog = dynamic_cast<CFontDlg&>(d);
    EXPECT_EQ(dialog.font.faceName, "Courier New");  // starts from the window's font
    dialog.SetAnswerText("Liberation Mono");
    dialog.font.weight = 700;
    return true;
  });
  doc->ChangeResultFont(abstract->font);
  for (const FontDesc* font : {&abstract->font, &summary->font}) {
    EXPECT_EQ(font->faceName, "Liberation Mono");
    EXPECT_EQ(font->weight, 700);
  }
  EXPECT_EQ(settings.ReadSettingText(kSectionFont, kEntrySummaryName, ""), "Liberation Mono");
  EXPECT_EQ(settings.ReadSettingText(kSectionFont, kEntryAbstractName, ""), "Liberation Mono");
  EXPECT_EQ(settings.ReadSettingInt(kSectionFont, kEntryAbstractSize, 0),
            settings.ReadSettingInt(kSectionFont, kEntrySummarySize, 1));
  // Cancelled: nothing changes.
  ui.QueueDialog([](CDialogModel&) { return false; });
  doc->ChangeResultFont(summary->font);
  EXPECT_EQ(summary->font.faceName, "Liberation Mono");
}

}  // namespace
