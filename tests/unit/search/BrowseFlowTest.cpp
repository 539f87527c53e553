#include "BrowseFakeDriver.h"
#include "SearchFixture.h"
#include "search/CBrowseFlow.h"
#include "search/CListSelectionDlg.h"

namespace {

struct BrowseFlowTest : SearchFixture {
  BrowseFakeDriver driver;
  CBrowseFlow flow{form, driver, loop, ui};
  int starts = 0;
  Connection started = flow.starting.Connect([this] { ++starts; });

  void SetUp() override {
    driver.headings = {"Melville, Herman", "Verne", "Woolf, Virginia"};
    driver.route = [this] { return flow.Browser() ? &flow.Browser()->List() : nullptr; };
    CDBFieldDescRec author = Field("Author", "au");
    author.listNames = {"Authors"};
    CDBFieldDescRec subject = Field("Subject", "su");
    subject.listNames = {"Subjects", "Places", "Names"};
    Connect(Db("Books", {author, subject, Field("Title", "ti")}, {0, 1, 2}));
  }

  // The List Browser gets these clicks (Ctrl held), then OK or Cancel.
  void Browse(std::vector<int> clicks, bool ok = true) {
    ui.QueueDialog([this, clicks, ok](CDialogModel& dialog) {
      auto& browser = dynamic_cast<CListBrowserDlg&>(dialog);
      EXPECT_EQ(flow.Browser(), &browser);
      for (int entry : clicks) {
        browser.List().Click(entry, true);
      }
      return ok;
    });
  }
};

TEST_F(BrowseFlowTest, OneListOpensTheBrowserAndPicksReachTheRow) {
  form.OnTermFocus(0);
  Browse({1});
  EXPECT_TRUE(flow.Run());
  EXPECT_EQ(ui.dialogKinds, (std::vector<std::string>{"list-browser"}));
  EXPECT_EQ(flow.BrowseListName(), "Authors");
  EXPECT_EQ(driver.basicModeSearch, 0);
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(form.rowTerms[0], "Verne");
  EXPECT_EQ(driver.requests.size(), 2u) << "header and first window, asked once";
  EXPECT_EQ(flow.Browser(), nullptr);

  // A row holding a term gets " OR " and the picks, quoted where needed.
  Browse({0, 2});
  EXPECT_TRUE(flow.Run());
  EXPECT_EQ(form.rowTerms[0], "Verne OR \"Melville, Herman\" OR \"Woolf, Virginia\"");

  // Cancel, or OK with nothing picked, leaves the row alone.
  Browse({1}, false);
  EXPECT_FALSE(flow.Run());
  Browse({});
  EXPECT_FALSE(flow.Run());
  EXPECT_EQ(form.rowTerms[0], "Verne OR \"Melville, Herman\" OR \"Woolf, Virginia\"");

  // A field without lists, or no connection: nothing at all.
  form.OnTermFocus(2);
  size_t dialogs = ui.dialogKinds.size();
  EXPECT_FALSE(flow.Run());
  form.OnDisconnect();
  form.OnTermFocus(0);
  EXPECT_FALSE(flow.Run());
  EXPECT_EQ(ui.dialogKinds.size(), dialogs);
}

TEST_F(BrowseFlowTest, SeveralListsAskWhichOne) {
  form.OnTermFocus(1);
  ui.QueueDialog([](CDialogModel& dialog) {
    auto& selection = dynamic_cast<CListSelectionDlg&>(dialog);
    EXPECT_EQ(selection.Buttons(), (std::vector<std::string>{"Subjects", "Places", "Names"}));
    EXPECT_EQ(selection.Choice(), 0);
    EXPECT_EQ(selection.DialogHeight(20), 4 * 20 + 40);
    selection.SetAnswerText("places");
    return true;
  });
  Browse({0});
  EXPECT_TRUE(flow.Run());
  EXPECT_EQ(flow.BrowseListName(), "Places");
  EXPECT_EQ(driver.requests.front().list, "Places");
  EXPECT_EQ(form.rowTerms[1], "\"Melville, Herman\"");

  // Cancelling the choice browses nothing.
  size_t sent = driver.requests.size();
  EXPECT_FALSE(flow.Run());
  EXPECT_EQ(driver.requests.size(), sent);
  EXPECT_EQ(ui.dialogKinds.back(), "list-selection");

  CListSelectionDlg many(std::vector<std::string>(25, "L"));
  EXPECT_EQ(many.Buttons().size(), 20u);
  EXPECT_EQ(many.DialogHeight(20), 20 * 30);
}

TEST_F(BrowseFlowTest, StartAndFinishKeepTheBrowserOpenBetweenCommands) {
  form.OnTermFocus(0);
  CListBrowserDlg* browser = flow.Start();
  ASSERT_NE(browser, nullptr);
  EXPECT_EQ(browser->List().Count(), 3);
  browser->List().Click(0, false);
  // OK is refused while a request waits; the browser stays.
  driver.answering = false;
  browser->List().PressKey(CBrowseList::Key::End);
  EXPECT_FALSE(flow.Finish(true));
  EXPECT_EQ(flow.Browser(), browser);
  EXPECT_EQ(flow.Start(), nullptr) << "one browser at a time";
  EXPECT_TRUE(flow.Finish(false));
  EXPECT_EQ(flow.Browser(), nullptr);
  EXPECT_EQ(form.rowTerms[0], "");
}

}  // namespace
