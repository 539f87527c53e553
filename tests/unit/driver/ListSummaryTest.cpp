#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <deque>
#include <map>
#include <numeric>

#include "FakeUi.h"
#include "ManualEventLoop.h"
#include "TempDir.h"
#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "config/CConfiguration.h"
#include "config/CInfoTexts.h"
#include "driver/CDriverLink.h"
#include "driver/CListSummary.h"

namespace {

struct Sent {
  std::uint32_t type;
  int number;
  int kind;
  int labels;
};

std::vector<int> Range(int from, int to) {
  std::vector<int> v(static_cast<std::size_t>(to - from + 1));
  std::iota(v.begin(), v.end(), from);
  return v;
}

// The link writes its requests into one end of a socket pair; the test plays
// the driver on the other end and hands the replies to the link.
struct ListSummaryTest : ::testing::Test {
  TempDir dir;
  FakeUi ui;
  CAppState app;
  CSettingsStore settings{dir.File("Tamsel.conf")};
  ManualEventLoop loop;
  CConfiguration config;
  CInfoTexts infoTexts;
  CDriverLink link{config, infoTexts, app, ui, loop, [](const std::string&) {}};
  CListSummary summary{link, config, app, settings, ui, loop};
  int driverEnd = -1;
  std::string pending;
  std::vector<Sent> sent;
  std::deque<Sent> unanswered;
  std::map<int, std::string> summaries;
  int recordPage = 0;
  int fullCleared = 0;
  ConnectionBag connections;

  void SetUp() override {
    CDBDescRec& db = config.FindOrCreateDatabase("cat");
    db.name = "Catalogue";
    config.currentDatabase = &db;
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    fcntl(fds[1], F_SETFL, O_NONBLOCK);
    link.Connection().AdoptSocket(fds[0]);
    driverEnd = fds[1];
    link.SetLinkState(LINK_IDLE);
    // The link's replies go to the summary window, as the document passes them.
    CDriverLinkEvents& events = link.Events();
    connections += events.hitCount.Connect(
        [this](int count, const std::string& text) { summary.HitCount(count, text); });
    connections += events.titleReceived.Connect(
        [this](int n, const std::string& text) { summary.AddTitle(n, text); });
    connections += events.summaryRecord.Connect(
        [this](int n, const std::string& text) { summary.SummaryArrived(n, text); });
    connections += summary.onShowRecordPage.Connect([this] { ++recordPage; });
    connections += summary.onClearFullRecords.Connect([this] { ++fullCleared; });
  }
  void TearDown() override { close(driverEnd); }

  // Requests the client wrote since the last call.
  std::vector<Sent> NewRequests() {
    char buffer[4096];
    for (ssize_t n; (n = read(driverEnd, buffer, sizeof buffer)) > 0;) {
      pending.append(buffer, static_cast<std::size_t>(n));
    }
    std::vector<Sent> fresh;
    while (pending.size() >= PacketHeader::kSize) {
      PacketHeader h = PacketHeader::Unpack(reinterpret_cast<const unsigned char*>(pending.data()));
      fresh.push_back({h.type, h.param1, h.param2, h.param3});
      pending.erase(0, PacketHeader::kSize + static_cast<std::size_t>(h.length));
    }
    sent.insert(sent.end(), fresh.begin(), fresh.end());
    unanswered.insert(unanswered.end(), fresh.begin(), fresh.end());
    return fresh;
  }
  void Reply(std::uint32_t type, int p1, int p2, const std::string& text) {
    PacketHeader h;
    h.type = type;
    h.param1 = p1;
    h.param2 = p2;
    std::string body = text.empty() ? "" : text + '\0';
    h.length = static_cast<std::int32_t>(body.size());
    link.Dispatch(h, body);
  }
  // Answers up to `limit` requests one at a time, checking that the client
  // never has two outstanding.
  int Serve(int limit = 100000) {
    int answered = 0;
    for (; answered < limit; ++answered) {
      NewRequests();
      if (unanswered.empty()) {
        break;
      }
      EXPECT_EQ(unanswered.size(), 1u) << "more than one request outstanding";
      Sent r = unanswered.front();
      unanswered.pop_front();
      std::string number = std::to_string(r.number);
      if (r.type == MSG_GET_TITLE) {
        Reply(MSG_TITLE, r.number, 0, "Title " + number);
      } else if (r.type == MSG_GET_RECORD) {
        Reply(MSG_RECORD, r.number, 0,
              summaries.count(r.number) != 0 ? summaries[r.number] : "Summary " + number);
      }
    }
    return answered;
  }
  void Forget() {
    NewRequests();
    sent.clear();
    unanswered.clear();
  }
  void Search(int count, const std::string& message = "") {
    summary.ResetForSearch();
    link.SetLinkState(LINK_SEARCHING);
    Reply(MSG_HIT_COUNT, 0, count, message);
  }
  std::vector<int> TitleNumbers() {
    std::vector<int> numbers;
    for (const auto& s : sent) {
      if (s.type == MSG_GET_TITLE) {
        numbers.push_back(s.number);
      }
    }
    return numbers;
  }
};

TEST_F(ListSummaryTest, SeventyFiveMatchesArriveInBatchesOfThirty) {
  // Title 1 is asked for before the explanation is shown.
  std::vector<Sent> outWhenShown;
  Connection shown = summary.onSummaryAppended.Connect(
      [&](const std::string&) { outWhenShown = NewRequests(); });
  Search(75);
  shown.Disconnect();
  ASSERT_EQ(outWhenShown.size(), 1U);
  EXPECT_EQ(outWhenShown[0].type, MSG_GET_TITLE);
  EXPECT_EQ(outWhenShown[0].number, 1);
  const std::string& text = summary.SummaryText();
  EXPECT_EQ(text.substr(0, 75),
            "Your query matched 75 items.\r\nThe first 30 summaries are being retrieved.\r\n");
  EXPECT_NE(text.find("click the 30 MORE button.\r\n\r\n"), std::string::npos);
  // The final period is left off.
  EXPECT_EQ(text.substr(text.size() - 22), " click the Help button");
  EXPECT_EQ(app.StatusMessage(), "Retrieving Titles...");
  EXPECT_EQ(fullCleared, 1);

  EXPECT_EQ(Serve(), 30);
  EXPECT_EQ(TitleNumbers(), Range(1, 30));
  EXPECT_EQ(summary.Titles()[6], "7   Title 7");
  EXPECT_EQ(summary.Titles()[29], "30  Title 30");
  EXPECT_EQ(summary.counterText, " 30 of 75");
  EXPECT_EQ(summary.moreLabel, "30 More?");
  EXPECT_TRUE(summary.moreEnabled);
  EXPECT_EQ(link.State(), LINK_IDLE);
  EXPECT_EQ(app.StatusMessage(), "Titles retrieved");

  // More's request is out before the windows hear the link is busy.
  std::vector<Sent> outWhenBusy;
  Connection busy = link.Events().linkStateChanged.Connect([&](LinkState state) {
    if (state == LINK_RETRIEVING) {
      outWhenBusy = NewRequests();
    }
  });
  ASSERT_TRUE(summary.More());
  busy.Disconnect();
  ASSERT_EQ(outWhenBusy.size(), 1U);
  EXPECT_EQ(outWhenBusy[0].type, MSG_GET_TITLE);
  EXPECT_EQ(outWhenBusy[0].number, 31);
  EXPECT_FALSE(summary.moreEnabled);
  EXPECT_EQ(Serve(), 30);
  EXPECT_EQ(summary.moreLabel, "15 More?");
  EXPECT_EQ(summary.counterText, " 60 of 75");

  ASSERT_TRUE(summary.More());
  EXPECT_EQ(Serve(), 15);
  EXPECT_EQ(TitleNumbers(), Range(1, 75));
  EXPECT_EQ(summary.moreLabel, "30 more?");
  EXPECT_FALSE(summary.moreEnabled);
  EXPECT_EQ(summary.counterText, " 75 of 75");
  EXPECT_FALSE(summary.More());
  EXPECT_TRUE(NewRequests().empty());
}

TEST_F(ListSummaryTest, ExplanationsAndListForOtherCounts) {
  Search(30);
  EXPECT_EQ(summary.SummaryText().substr(0, 65),
            "Your query matched 30 items. The summaries are being retrieved.\r\n");
  EXPECT_EQ(Serve(), 30);
  EXPECT_EQ(summary.moreLabel, "30 more?");
  EXPECT_FALSE(summary.moreEnabled);
  EXPECT_TRUE(summary.Selection().empty());

  // The driver's message leads.
  Search(12, "Sorted by date");
  EXPECT_EQ(summary.SummaryText().substr(0, 30), "Sorted by date\r\nYour query mat");
  Serve();
  Search(31, "Sorted by date");
  EXPECT_EQ(summary.SummaryText().substr(0, 45),
            "Sorted by date\nYour query matched 31 items.\r\n");
  Serve();

  // 7000 are named, 5000 offered.
  Forget();
  Search(7000);
  EXPECT_EQ(summary.SummaryText().substr(0, 30), "Your query matched 7000 items.");
  Serve();
  EXPECT_EQ(summary.counterText, " 30 of 5000");
  while (summary.More()) {
    Serve();
  }
  EXPECT_EQ(TitleNumbers(), Range(1, 5000));
  EXPECT_EQ(summary.Titles()[99], "100 Title 100");
  EXPECT_EQ(summary.Titles()[4999], "5000 Title 5000");
  EXPECT_EQ(summary.counterText, " 5000 of 5000");
}

TEST_F(ListSummaryTest, OneMatchShowsItsSummaryAtOnce) {
  summaries[1] = "a\n\nb\n";
  Search(1);
  EXPECT_EQ(Serve(), 2);
  EXPECT_EQ(sent[1].type, static_cast<std::uint32_t>(MSG_GET_RECORD));
  EXPECT_EQ(sent[1].number, 1);
  EXPECT_EQ(sent[1].kind, 1);
  EXPECT_EQ(summary.Selection(), std::vector<int>{0});
  // Runs of line feeds collapse; two more line breaks end each summary.
  EXPECT_EQ(summary.SummaryText(), "a\r\nb\r\n\r\n\r\n");
  EXPECT_EQ(app.StatusMessage(), "Summaries retrieved");
}

TEST_F(ListSummaryTest, ClickTimerFetchesEachSummaryOnce) {
  link.SetAbbreviatedLabels(1);
  Search(75);
  Serve();
  Forget();
  summary.SetSelection({4, 2, 4});
  loop.Advance(summary.doubleClickMs - 1);
  EXPECT_TRUE(NewRequests().empty());
  loop.Advance(1);
  EXPECT_EQ(Serve(), 2);
  EXPECT_EQ(sent[0].number, 3);
  EXPECT_EQ(sent[1].number, 5);
  EXPECT_EQ(sent[0].labels, 1);
  const std::string both = "Summary 3\r\n\r\n\r\nSummary 5\r\n\r\n\r\n";
  EXPECT_EQ(summary.SummaryText(), both);

  // From the cache, without a request.
  summary.SetSelection({2, 4});
  loop.Advance(summary.doubleClickMs);
  EXPECT_TRUE(NewRequests().empty());
  EXPECT_EQ(summary.SummaryText(), both);
  EXPECT_EQ(app.StatusMessage(), "Summaries retrieved");
  summary.SetSelection({5, 2});
  loop.Advance(summary.doubleClickMs);
  EXPECT_EQ(Serve(), 1);
  EXPECT_EQ(sent.back().number, 6);

  // A new search forgets them.
  Search(75);
  Serve();
  Forget();
  summary.SetSelection({2});
  loop.Advance(summary.doubleClickMs);
  EXPECT_EQ(Serve(), 1);
}

TEST_F(ListSummaryTest, DoubleClickRetrievesFullRecords) {
  Search(75);
  Serve();
  Forget();
  summary.SetSelection({1, 3});
  summary.DoubleClick();
  EXPECT_FALSE(summary.ClickTimerRunning());
  auto fresh = NewRequests();
  ASSERT_EQ(fresh.size(), 1u);
  EXPECT_EQ(fresh[0].type, static_cast<std::uint32_t>(MSG_GET_RECORD));
  EXPECT_EQ(fresh[0].number, 2);
  EXPECT_EQ(fresh[0].kind, 0);
  EXPECT_EQ(link.Retrieval().Items(), (std::vector<int>{1, 3}));
  EXPECT_EQ(link.Retrieval().Count(), 2);
  EXPECT_EQ(link.Busy().Text(), "Retrieving...\n(this could take a while)");
  EXPECT_EQ(fullCleared, 2);
  loop.Advance(5000);
  EXPECT_TRUE(NewRequests().empty());

  // Extension programs: the choice may take over.
  link.SetLinkState(LINK_IDLE);
  config.currentDatabase->extensions.resize(1);
  bool takeOver = true;
  summary.retrieveByExtension = [&] { return takeOver; };
  summary.RetrieveFull();
  EXPECT_TRUE(NewRequests().empty());
  takeOver = false;
  summary.RetrieveFull();
  EXPECT_EQ(NewRequests().size(), 1u);

  // Nothing selected: the empty record page. No database: the page only.
  link.SetLinkState(LINK_IDLE);
  summary.SetSelection({});
  summary.RetrieveFull();
  EXPECT_EQ(recordPage, 1);
  EXPECT_EQ(fullCleared, 5);
  config.currentDatabase = nullptr;
  summary.SetSelection({1});
  summary.RetrieveFull();
  EXPECT_EQ(recordPage, 2);
  EXPECT_EQ(fullCleared, 5);
  EXPECT_TRUE(NewRequests().empty());
}

TEST_F(ListSummaryTest, RetrieveFullWhileBusyRunsWhenTheWorkEnds) {
  Search(75);
  Serve(5);
  summary.SetSelection({1, 3});
  summary.RetrieveFull();
  EXPECT_EQ(app.StatusMessage(), "Wait... ");
  sent.clear();
  Serve(25);
  NewRequests();
  // Right after title 30.
  ASSERT_EQ(sent.size(), 26u);
  EXPECT_EQ(sent[24].number, 30);
  EXPECT_EQ(sent[25].type, static_cast<std::uint32_t>(MSG_GET_RECORD));
  EXPECT_EQ(sent[25].number, 2);
  EXPECT_EQ(sent[25].kind, 0);

  // During the last batch: not lost.
  Forget();
  Search(20);
  Serve(3);
  summary.SetSelection({0});
  summary.RetrieveFull();
  Serve(17);
  NewRequests();
  EXPECT_EQ(sent.back().type, static_cast<std::uint32_t>(MSG_GET_RECORD));
  EXPECT_EQ(sent.back().kind, 0);

  // During summaries: after the last one.
  link.SetLinkState(LINK_IDLE);
  Forget();
  summary.SetSelection({4, 5});
  summary.FetchSummaries();
  summary.RetrieveFull();
  Serve(2);
  NewRequests();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[2].kind, 0);
  EXPECT_EQ(sent[2].number, 5);
}

TEST_F(ListSummaryTest, CancelLeavesTheRestOnOffer) {
  Search(75);
  Serve(10);
  // The busy window's Cancel while title 11 is outstanding.
  link.CancelOperation();
  Serve(1);
  EXPECT_EQ(summary.counterText, " 11 of 75");
  EXPECT_EQ(summary.moreLabel, "30 More?");
  EXPECT_TRUE(summary.moreEnabled);
  EXPECT_TRUE(NewRequests().empty());
  ASSERT_TRUE(summary.More());
  Serve();
  EXPECT_EQ(TitleNumbers(), Range(1, 41));

  // More waits while a summary is outstanding.
  summary.SetSelection({0});
  summary.FetchSummaries();
  EXPECT_FALSE(summary.More());
  Serve();

  // A late title of the old result is not mixed into the next one.
  summary.ResetForSearch();
  Reply(MSG_TITLE, 42, 0, "Late");
  EXPECT_TRUE(summary.Titles().empty());
  EXPECT_EQ(summary.counterText, "");

  summary.Reset();
  EXPECT_TRUE(summary.Titles().empty());
  EXPECT_TRUE(summary.SummaryText().empty());
  EXPECT_FALSE(summary.moreEnabled || summary.saveMailEnabled || summary.printEnabled);
}

TEST_F(ListSummaryTest, SummaryTextCapacity) {
  Search(10);
  Serve();
  summary.summaryTextLimit = 30;
  summaries[2] = std::string(20, 'x');
  summaries[3] = std::string(20, 'y');
  summary.SetSelection({1, 2});
  summary.FetchSummaries();
  Serve();
  EXPECT_EQ(app.StatusMessage(), "Too many selected!");
  EXPECT_EQ(summary.SummaryText(), std::string(20, 'x') + "\r\n\r\n\r\n");
  EXPECT_EQ(link.State(), LINK_IDLE);
  // Cached summaries obey the same limit.
  app.SetStatusMessage("");
  summary.summaryTextLimit = 25;
  summary.SetSelection({1});
  summary.FetchSummaries();
  EXPECT_EQ(app.StatusMessage(), "Too many selected!");
  EXPECT_TRUE(NewRequests().empty());
}

TEST_F(ListSummaryTest, CopyTakesTheFocusedControl) {
  Search(3);
  Serve();
  summary.Copy();
  EXPECT_EQ(ui.clipboard, "1   Title 1\r\n2   Title 2\r\n3   Title 3");
  EXPECT_EQ(app.StatusMessage(), "Selection copied");
  // Selecting everything for the copy fetches no summaries.
  loop.Advance(5000);
  EXPECT_TRUE(NewRequests().empty());
  summary.SetSelection({1});
  summary.Copy();
  EXPECT_EQ(ui.clipboard, "2   Title 2");

  summary.SetFocus(CListSummary::Focus::Summary);
  summary.Copy();
  EXPECT_EQ(ui.clipboard, summary.SummaryText());
  summary.SetSummarySelection(5, 10);
  summary.Copy();
  EXPECT_EQ(ui.clipboard, summary.SummaryText().substr(5, 5));
}

}  // namespace

namespace {

// Clear All while a batch runs: the outstanding title ends the wait instead
// of leaving the link busy until the time limit.
TEST_F(ListSummaryTest, ClearAllDuringABatchLeavesTheLinkIdle) {
  Search(75);
  EXPECT_EQ(Serve(5), 5);
  NewRequests();
  summary.Reset();
  EXPECT_TRUE(summary.Titles().empty());
  ASSERT_EQ(unanswered.size(), 1u);
  Sent r = unanswered.front();
  Reply(MSG_TITLE, r.number, 0, "late");
  EXPECT_TRUE(summary.Titles().empty());
  EXPECT_EQ(link.State(), LINK_IDLE);
  EXPECT_FALSE(link.Busy().IsShown());
  EXPECT_TRUE(NewRequests().empty());
}

TEST_F(ListSummaryTest, AClickWaitsForTheOutstandingRequest) {
  int fullRecords = 0;
  connections += link.Events().fullRecord.Connect([&](const std::string&) { ++fullRecords; });
  Search(3);
  Serve();
  // The summary of title 1 takes the driver `delay` ms; the click timer that
  // was running when the front end fetched it at once falls due meanwhile.
  for (int delay : {0, 300, 500, 2000}) {
    summary.ClearSummaryCache();
    Forget();
    summary.SetSelection({0});
    summary.FetchSummaries();
    loop.Advance(delay);
    EXPECT_EQ(Serve(), 1) << delay;
    loop.Advance(2000);
    EXPECT_EQ(Serve(), 0) << delay;
    EXPECT_EQ(summary.SummaryText(), "Summary 1\r\n\r\n\r\n") << delay;
    EXPECT_EQ(fullRecords, 0) << delay;
    EXPECT_EQ(app.StatusMessage(), "Summaries retrieved") << delay;
  }
  // A click on title 3 while title 2's summary is outstanding: fetched after it.
  Forget();
  summary.SetSelection({1});
  loop.Advance(summary.doubleClickMs);
  summary.SetSelection({2});
  loop.Advance(summary.doubleClickMs);
  EXPECT_TRUE(summary.SummariesDeferred());
  EXPECT_EQ(Serve(1), 1);
  loop.Advance(0);
  EXPECT_EQ(Serve(), 1);
  EXPECT_EQ(sent.back().number, 3);
  EXPECT_EQ(summary.SummaryText(), "Summary 3\r\n\r\n\r\n");
  EXPECT_EQ(fullRecords, 0);
  EXPECT_FALSE(link.Busy().Waiting());
}

}  // namespace
