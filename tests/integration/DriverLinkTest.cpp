#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "LoopbackDocument.h"
#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "doc/CTmsfrmDoc.h"
#include "driver/CDriverLink.h"
#include "driver/CInfoRequestDlg.h"
#include "driver/CListSummary.h"
#include "driver/CPacketTrace.h"
#include "search/CSearchForm.h"

namespace {

using Chunks = std::vector<TestDriver::Chunk>;

struct LinkFixture : ::testing::Test, LoopbackDocument {
  CDriverLink& Link() { return doc->Link(); }

  std::string Config(const std::string& extra = "") const {
    return CatalogueConfig("t_field_name = Name\ndb_group = debian\n" + extra);
  }
  void Open(const std::string& extra = "") { ASSERT_TRUE(OpenConfig(Config(extra))); }
  void ConnectAndWait() {
    Open();
    ASSERT_TRUE(Connect());
  }
  // A search with `count` matches whose titles 1..`titles` are answered.
  void SearchWithTitles(int count, int titles) {
    driver.OnRequest(MSG_SEARCH, {{TestDriver::Packet(MSG_HIT_COUNT, "", 0, count)}});
    for (int n = 1; n <= titles; ++n) {
      driver.OnRequest(MSG_GET_TITLE,
                       {{TestDriver::Packet(MSG_TITLE, "Title " + std::to_string(n) + '\0', n)}});
    }
    doc->Summary().ResetForSearch();
    Link().SendSearch(1, 0, "q");
  }
  int Sent(std::uint32_t type) {
    int n = 0;
    for (const auto& r : driver.Requests()) {
      n += r.header.type == type ? 1 : 0;
    }
    return n;
  }
  // Lets the client read whatever the driver sends for a moment.
  void Pump(int ms = 200) {
    loop.RunUntil([] { return false; }, ms);
  }
};

TEST_F(LinkFixture, ConnectSendsOpenAndBecomesIdle) {
  Open();
  EXPECT_EQ(doc->LinkStateValue(), LINK_UNCONNECTED);
  EXPECT_EQ(doc->Title(), "Unconnected");
  driver.OnRequest(MSG_OPEN, {{TestDriver::Packet(MSG_CONNECTED)}});
  doc->ConnectToDatabase("Catalogue");
  EXPECT_EQ(Link().State(), LINK_CONNECTING);
  EXPECT_TRUE(Link().Busy().IsShown());
  EXPECT_EQ(Link().Busy().Text(), "Connecting to Catalogue\n");
  EXPECT_EQ(doc->Title(), "Catalogue");
  EXPECT_EQ(doc->Heading(), "Connected to Catalogue Database");
  ASSERT_TRUE(loop.RunUntil([&] { return Link().State() == LINK_IDLE; }));
  EXPECT_EQ(app.StatusMessage(), "Connected");
  EXPECT_FALSE(Link().Busy().IsShown());
  auto requests = driver.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].header.type, static_cast<std::uint32_t>(MSG_OPEN));
  EXPECT_EQ(requests[0].body, std::string("1.0\0abc\0T\0S\0\0", 13));
  EXPECT_TRUE(ui.messages.empty());

  // Disconnect: close request, heading and caption.
  doc->DisconnectCommand();
  EXPECT_TRUE(driver.WaitForRequests(2));
  EXPECT_EQ(driver.Requests()[1].header.type, static_cast<std::uint32_t>(MSG_CLOSE));
  EXPECT_EQ(doc->Heading(), "Disconnected:  Catalogue");
  EXPECT_EQ(doc->Title(), "Unconnected");
  EXPECT_EQ(doc->Config().currentDatabase, nullptr);
  EXPECT_FALSE(Link().Connection().HasSocket());
  // A second disconnect has nothing to do.
  doc->DisconnectCommand();
}

TEST_F(LinkFixture, EchoGoesRightBeforeOpen) {
  Open();
  Link().ToggleEcho();
  doc->ConnectToDatabase("Catalogue");
  ASSERT_TRUE(driver.WaitForRequests(2));
  auto requests = driver.Requests();
  EXPECT_EQ(requests[0].header.type, static_cast<std::uint32_t>(MSG_ECHO));
  EXPECT_EQ(requests[0].header.length, 0);
  EXPECT_EQ(requests[1].header.type, static_cast<std::uint32_t>(MSG_OPEN));
  EXPECT_EQ(driver.Received().size(), 24u + 24u + 14u);
}

TEST_F(LinkFixture, PacketsAreAssembledFromAnySplit) {
  Open();
  // Header in pieces of 10, 10 and 4, then a 100000-byte text in small reads,
  // then two packets in one write.
  std::string connected = TestDriver::Packet(MSG_CONNECTED);
  Chunks chunks = {
      {connected.substr(0, 10), 20}, {connected.substr(10, 10), 20}, {connected.substr(20), 20}};
  std::string text(100000, 'x');
  text[500] = '\n';
  std::string info = TestDriver::Packet(MSG_DATABASE_INFO, text + '\0', 0);
  for (auto& c : TestDriver::Split(info, 4096)) {
    chunks.push_back(c);
  }
  std::string fields = std::string("\1TI\0Title\0\0AB\0Abstract\0", 22);
  chunks.push_back({TestDriver::Packet(MSG_STATUS, "warn\0", STATUS_WARNING) +
                    TestDriver::Packet(MSG_DATABASE_INFO, fields, 1, 2)});
  driver.OnRequest(MSG_OPEN, chunks);
  doc->ConnectToDatabase("Catalogue");
  ASSERT_TRUE(loop.RunUntil([&] { return Link().FieldCount() == 2; }));
  EXPECT_EQ(Link().State(), LINK_IDLE);
  EXPECT_EQ(Link().DatabaseInfoText().size(), 2 + 1 + 100000 + 2 + 2);
  EXPECT_EQ(Link().DatabaseInfoText().substr(0, 4), "\r\n x");
  // The description popped up once, and the warning was shown.
  EXPECT_EQ(ui.dialogKinds, (std::vector<std::string>{"about-database"}));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "warn\n");
  EXPECT_EQ(ui.messages[0].caption, "Database Warning!");
  EXPECT_EQ(Link().IncludedFieldList(), std::string("TI\0", 3));
  EXPECT_TRUE(doc->InfoTexts().Seen("cat"));
}

TEST_F(LinkFixture, UnknownRepliesAreConsumedWhole) {
  Open();
  driver.OnRequest(MSG_OPEN,
                   {{TestDriver::Packet(11, "0123456789") + TestDriver::Packet(MSG_CONNECTED)}});
  doc->ConnectToDatabase("Catalogue");
  ASSERT_TRUE(loop.RunUntil([&] { return Link().State() == LINK_IDLE; }));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LinkFixture, DriverClosingMidBody) {
  ConnectAndWait();
  std::string title = TestDriver::Packet(MSG_TITLE, "a title\0", 1);
  driver.OnRequest(MSG_GET_TITLE, {{title.substr(0, 28), 0, true}});
  Link().GetTitle(1);
  ASSERT_TRUE(loop.RunUntil([&] { return Link().State() == LINK_UNCONNECTED; }));
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Driver has closed"}));
  EXPECT_EQ(ui.messages[0].caption, "Socket Error");
  EXPECT_FALSE(Link().Connection().HasSocket());
  EXPECT_EQ(Link().Connection().receiveState, RECV_IDLE);
}

TEST_F(LinkFixture, StatusKinds) {
  ConnectAndWait();
  // Progress goes to the busy window while connected.
  Link().SendSearch(1, 0, "x");
  Link().Busy().Show("Searching ...\n(This could take a while)\n");
  driver.SendNow({{TestDriver::Packet(MSG_STATUS, "50%\0", STATUS_PROGRESS)}});
  ASSERT_TRUE(loop.RunUntil([&] { return Link().Busy().Text() == "50%"; }));

  driver.SendNow({{TestDriver::Packet(MSG_STATUS, "bad query\0", STATUS_SEARCH_ERROR)}});
  ASSERT_TRUE(loop.RunUntil([&] { return !ui.messages.empty(); }));
  EXPECT_EQ(ui.messages[0].text, "ERROR from database  driver:\nbad query\n");
  EXPECT_EQ(ui.messages[0].caption, "Search Cancelled!");
  EXPECT_EQ(app.StatusMessage(), "Search Cancelled");
  EXPECT_EQ(Link().State(), LINK_IDLE);
  EXPECT_FALSE(Link().Busy().IsShown());
  // The cancel sent MSG_CANCEL_SEARCH.
  ASSERT_TRUE(driver.WaitForRequests(3));
  EXPECT_EQ(driver.Requests()[2].header.type, static_cast<std::uint32_t>(MSG_CANCEL_SEARCH));

  // A hit count of 0 after the cancel keeps the status.
  driver.SendNow({{TestDriver::Packet(MSG_HIT_COUNT, "", 0, 0)}});
  Pump();
  EXPECT_EQ(app.StatusMessage(), "Search Cancelled");

  ui.messages.clear();
  driver.SendNow({{TestDriver::Packet(MSG_STATUS, "", STATUS_SEARCH_ERROR)}});
  ASSERT_TRUE(loop.RunUntil([&] { return !ui.messages.empty(); }));
  EXPECT_EQ(ui.messages[0].text, "Unspecified Database Error");

  ui.messages.clear();
  driver.SendNow({{TestDriver::Packet(MSG_STATUS, "2.0\0", STATUS_PROTOCOL_MISMATCH)}});
  ASSERT_TRUE(loop.RunUntil([&] { return Link().State() == LINK_UNCONNECTED; }));
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages[0].text,
            "Database protocol is 2.0, WinTamsel is using protocol 1.0\nThe latest version of "
            "WinTamsel can be obtained at\n https://tamsel.org/");
  EXPECT_EQ(ui.messages[0].caption, "Protocol Mismatch!");
  EXPECT_EQ(doc->Config().currentDatabase, nullptr);
  EXPECT_EQ(doc->Title(), "Unconnected");

  // Progress while unconnected changes nothing.
  std::string before = Link().Busy().Text();
  PacketHeader progress;
  progress.type = MSG_STATUS;
  progress.param1 = STATUS_PROGRESS;
  Link().Dispatch(progress, std::string("late\0", 5));
  EXPECT_EQ(Link().Busy().Text(), before);
  EXPECT_FALSE(Link().Busy().IsShown());
}

TEST_F(LinkFixture, ErrorClosedDisconnects) {
  ConnectAndWait();
  driver.SendNow({{TestDriver::Packet(MSG_STATUS, "gone\0", STATUS_ERROR_CLOSED)}});
  ASSERT_TRUE(loop.RunUntil([&] { return Link().State() == LINK_UNCONNECTED; }));
  EXPECT_EQ(ui.messages[0].text, "ERROR from database  driver:\ngone\n");
  EXPECT_EQ(ui.messages[0].caption, "Database Closed!");
  EXPECT_EQ(doc->Config().currentDatabase, nullptr);
}

TEST_F(LinkFixture, InformationRequestsRememberAnswersPerGroup) {
  Open();
  std::string request = std::string("Password?\0Login\0Go\0 \0", 22);
  driver.OnRequest(MSG_OPEN, {{TestDriver::Packet(MSG_INFO_REQUEST, request, INFO_PASSWORD)}});
  driver.OnRequest(MSG_INFO_ANSWER, {{TestDriver::Packet(MSG_INFO_REQUEST, request, INFO_TEXT)}});
  driver.OnRequest(MSG_INFO_ANSWER, {{TestDriver::Packet(MSG_CONNECTED)}});
  std::vector<std::string> defaults;
  ui.QueueDialog([&](CDialogModel& d) {
    auto& info = dynamic_cast<CInfoRequestDlg&>(d);
    defaults.push_back(info.editText);
    EXPECT_TRUE(info.hiddenEditVisible);
    EXPECT_EQ(info.Caption(), "Login");
    EXPECT_EQ(info.OkLabel(), "Go");
    EXPECT_EQ(info.CancelLabel(), "Cancel");
    info.SetAnswerText("secret");
    return false;  // Cancel: remembered, but a hidden answer is not sent
  });
  ui.QueueDialog([&](CDialogModel& d) {
    defaults.push_back(dynamic_cast<CInfoRequestDlg&>(d).editText);
    return true;
  });
  doc->ConnectToDatabase("Catalogue");
  ASSERT_TRUE(loop.RunUntil([&] { return Link().State() == LINK_IDLE; }));
  EXPECT_EQ(defaults, (std::vector<std::string>{"", "secret"}));
  auto requests = driver.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[1].header.param1, 0);
  EXPECT_EQ(requests[1].body, std::string("\0", 1));
  EXPECT_EQ(requests[2].header.param1, 1);
  EXPECT_EQ(app.AnswerMemory().Find("debian:Login").value_or(""), "secret");

  // Kiosk mode: the memory is not consulted.
  app.kioskMode = 1;
  PacketHeader h;
  h.type = MSG_INFO_REQUEST;
  h.param1 = INFO_TEXT;
  std::string seen = "unset";
  ui.QueueDialog([&](CDialogModel& d) {
    seen = dynamic_cast<CInfoRequestDlg&>(d).editText;
    return true;
  });
  Link().Dispatch(h, request);
  EXPECT_EQ(seen, "");
}

TEST_F(LinkFixture, UnknownInformationRequestCloses) {
  ConnectAndWait();
  PacketHeader h;
  h.type = MSG_INFO_REQUEST;
  h.param1 = 7;
  Link().Dispatch(h, std::string("p\0c\0o\0k\0", 8));
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Unknown Database Request"}));
  EXPECT_EQ(ui.messages[0].caption, "Connect Cancelled!");
  EXPECT_EQ(Link().State(), LINK_UNCONNECTED);
  EXPECT_FALSE(Link().Connection().HasSocket());
}

TEST_F(LinkFixture, BusyLimitCancelsAfterFiveMinutes) {
  Open();
  doc->ConnectToDatabase("Catalogue");  // the driver never answers
  ASSERT_TRUE(driver.WaitForRequests(1));
  loop.Advance(3000 * 100);
  EXPECT_EQ(Link().State(), LINK_CONNECTING);
  EXPECT_TRUE(ui.messages.empty());
  loop.Advance(300);
  EXPECT_EQ(Link().State(), LINK_UNCONNECTED);
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Database couldn't connect after 5 minutes."}));
  EXPECT_EQ(ui.messages[0].caption, "Database connection closed");
  EXPECT_EQ(app.StatusMessage(), "Database Connection Closed");
  EXPECT_EQ(doc->Title(), "Unconnected");
  EXPECT_EQ(loop.ActiveTimers(), 0);

  // Cancel pressed before the limit: disconnected without a message.
  ui.messages.clear();
  doc->ConnectToDatabase("Catalogue");
  loop.Advance(1000);
  Link().Busy().Cancel();
  EXPECT_EQ(Link().State(), LINK_UNCONNECTED);
  EXPECT_TRUE(ui.messages.empty());

  // A search that never finishes.
  ConnectAndWait();
  ui.messages.clear();
  Link().SendSearch(1, 0, "q");
  Link().Busy().Show("Searching ...\n(This could take a while)\n");
  loop.Advance(302 * 1000);
  EXPECT_EQ(Link().State(), LINK_IDLE);
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Search not completed after 5 minutes."}));
  EXPECT_EQ(app.StatusMessage(), "Search Cancelled");
}

TEST_F(LinkFixture, HostileLengthIsAProtocolError) {
  ConnectAndWait();
  PacketHeader huge;
  huge.type = MSG_TITLE;
  huge.length = 0x7ffffff0;
  driver.SendNow({{huge.Packed()}});
  ASSERT_TRUE(loop.RunUntil([&] { return Link().State() == LINK_UNCONNECTED; }));
  EXPECT_EQ(
      ui.Texts(),
      (std::vector<std::string>{"Database connection error.\nTamsel will close connection\n"}));
  EXPECT_FALSE(Link().Connection().HasSocket());
}

TEST_F(LinkFixture, EarlyCloseAtEveryBytePosition) {
  Open();
  std::string reply = TestDriver::Packet(MSG_CONNECTED) +
                      TestDriver::Packet(MSG_DATABASE_INFO, "abc\nde\0", 0) +
                      TestDriver::Packet(MSG_STATUS, "w\0", STATUS_WARNING);
  for (std::size_t cut = 0; cut < reply.size(); cut += 3) {
    ui.messages.clear();
    driver.OnRequest(MSG_OPEN, {{reply.substr(0, cut), 0, true}});
    int before = driver.Connections();
    doc->ConnectToDatabase("Catalogue");
    ASSERT_TRUE(loop.RunUntil([&] { return !Link().Connection().HasSocket(); })) << cut;
    EXPECT_EQ(ui.messages.back().text, "Driver has closed") << cut;
    EXPECT_EQ(driver.Connections(), before + 1);
  }
}

TEST_F(LinkFixture, BrowseWaitsInPlaceAndCountsSequenceNumbers) {
  Open();
  EXPECT_EQ(Link().Browse('C', "a", 0, 0), -2);  // no connection
  ConnectAndWait();
  EXPECT_EQ(Link().Browse('C', "a", 0, 0), -1);  // no list name
  EXPECT_EQ(driver.Requests().size(), 1u);
  Link().SetBrowseListName("Sections");
  driver.Always(MSG_BROWSE, {{TestDriver::Packet(MSG_BROWSE_REPLY, "list\0", 0, 4)}});
  EXPECT_EQ(Link().Browse('C', "net", 1, 2), 1);
  EXPECT_EQ(Link().Browse('N', "", 1, 2), 2);
  // Another connection in between: the count goes on.
  driver.OnRequest(MSG_OPEN, {{TestDriver::Packet(MSG_CONNECTED)}});
  doc->ConnectToDatabase("Catalogue");
  ASSERT_TRUE(loop.RunUntil([&] { return Link().State() == LINK_IDLE; }));
  EXPECT_EQ(Link().Browse('H', "x", 0, 0), 3);
  auto requests = driver.Requests();
  std::vector<int> sequences;
  for (const auto& r : requests) {
    if (r.header.type == MSG_BROWSE) {
      sequences.push_back(r.header.param1);
    }
  }
  EXPECT_EQ(sequences, (std::vector<int>{1, 2, 3}));
  // The close to the first driver went before the reconnect.
  bool sawClose = false;
  for (const auto& r : requests) {
    sawClose = sawClose || r.header.type == MSG_CLOSE;
    if (r.header.type == MSG_OPEN && &r != &requests.front()) {
      EXPECT_TRUE(sawClose);
    }
  }
}

TEST_F(LinkFixture, PacketsAfterAnAwaitedReplyAreNotLeftBehind) {
  ConnectAndWait();
  Link().SetBrowseListName("Sections");
  // The browse reply and a warning in one write: the wait takes exactly its
  // reply, and the warning still comes through the notifications.
  driver.OnRequest(MSG_BROWSE, {{TestDriver::Packet(MSG_BROWSE_REPLY, "list\0", 0, 4) +
                                 TestDriver::Packet(MSG_STATUS, "late\0", STATUS_WARNING)}});
  EXPECT_EQ(Link().Browse('C', "net", 1, 2), 1);
  ASSERT_TRUE(loop.RunUntil([&] { return !ui.messages.empty(); }));
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"late\n"}));
  // Several replies read at once are all handled in order.
  ui.messages.clear();
  driver.SendNow({{TestDriver::Packet(MSG_STATUS, "one\0", STATUS_WARNING) +
                   TestDriver::Packet(MSG_STATUS, "two\0", STATUS_WARNING) +
                   TestDriver::Packet(MSG_STATUS, "three\0", STATUS_WARNING)}});
  ASSERT_TRUE(loop.RunUntil([&] { return ui.messages.size() == 3; }));
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"one\n", "two\n", "three\n"}));
  EXPECT_FALSE(Link().Connection().DataPending());
}

TEST_F(LinkFixture, RecordRequestsCarryTheFieldList) {
  ConnectAndWait();
  Link().SetAbbreviatedLabels(1);
  Link().GetRecord(7, 1);
  ASSERT_TRUE(driver.WaitForRequests(2));
  auto summary = driver.Requests()[1];
  EXPECT_EQ(summary.header.param1, 7);
  EXPECT_EQ(summary.header.param2, 1);
  EXPECT_EQ(summary.header.param3, 1);
  EXPECT_EQ(summary.header.length, 0);

  // A field list with nothing included: one uncounted zero byte.
  PacketHeader info;
  info.type = MSG_DATABASE_INFO;
  info.param1 = 1;
  info.param2 = 1;
  Link().Dispatch(info, std::string("\0AB\0Abstract\0", 13));
  driver.SetFieldListSent(true);
  std::size_t before = driver.Received().size();
  Link().GetRecord(3, 0);
  ASSERT_TRUE(driver.WaitForRequests(3));
  EXPECT_EQ(driver.Received().size(), before + 25);
  EXPECT_EQ(driver.Requests()[2].header.length, 0);
}

TEST_F(LinkFixture, AnswersAreRememberedPerGroupOrElsePerDatabase) {
  std::string db = "\ndriver = socket:127.0.0.1:" + std::to_string(driver.Port()) +
                   "\ndb_int_name = abc\nsummary_fields = S\ntitle_fields = T\nt_field_name = N\n";
  ASSERT_TRUE(OpenConfig("conf_version = 1.1\ndb_tag = bank\ndb_name = Bank" + db +
                         "db_tag = other\ndb_name = Other" + db));
  std::string request = std::string("Password?\0caption\0 \0 \0", 22);
  driver.Always(MSG_OPEN, {{TestDriver::Packet(MSG_INFO_REQUEST, request, INFO_PASSWORD)}});
  driver.Always(MSG_INFO_ANSWER, {{TestDriver::Packet(MSG_CONNECTED)}});
  std::vector<std::string> defaults;
  ui.QueueDialog([&](CDialogModel& d) {
    defaults.push_back(dynamic_cast<CInfoRequestDlg&>(d).editText);
    dynamic_cast<CInfoRequestDlg&>(d).SetAnswerText("s3cret-bank");
    return true;
  });
  doc->ConnectToDatabase("Bank");
  ASSERT_TRUE(loop.RunUntil([&] { return Link().State() == LINK_IDLE; }));
  doc->DisconnectCommand();
  // Another database without a group: nothing pre-filled, and Cancel of a
  // hidden request sends nothing the user typed.
  ui.QueueDialog([&](CDialogModel& d) {
    defaults.push_back(dynamic_cast<CInfoRequestDlg&>(d).editText);
    dynamic_cast<CInfoRequestDlg&>(d).SetAnswerText("half-typed");
    return false;
  });
  doc->ConnectToDatabase("Other");
  ASSERT_TRUE(loop.RunUntil([&] { return Link().State() == LINK_IDLE; }));
  EXPECT_EQ(defaults, (std::vector<std::string>{"", ""}));
  std::vector<std::string> answers;
  for (const auto& r : driver.Requests()) {
    if (r.header.type == MSG_INFO_ANSWER) {
      answers.push_back(r.body);
    }
  }
  EXPECT_EQ(answers,
            (std::vector<std::string>{std::string("s3cret-bank\0", 12), std::string("\0", 1)}));
  // Bank still gets its own answer back.
  doc->DisconnectCommand();
  ui.QueueDialog([&](CDialogModel& d) {
    defaults.push_back(dynamic_cast<CInfoRequestDlg&>(d).editText);
    return true;
  });
  doc->ConnectToDatabase("Bank");
  ASSERT_TRUE(loop.RunUntil([&] { return Link().State() == LINK_IDLE; }));
  EXPECT_EQ(defaults.back(), "s3cret-bank");
}

TEST_F(LinkFixture, TitleAndSummaryWaitsHaveTheBusyLimit) {
  ConnectAndWait();
  // Title 2 never comes.
  SearchWithTitles(3, 1);
  ASSERT_TRUE(loop.RunUntil([&] { return Sent(MSG_GET_TITLE) == 2; }));
  Pump(50);
  EXPECT_EQ(Link().State(), LINK_RETRIEVING);
  loop.Advance(302 * 1000);
  EXPECT_EQ(Link().State(), LINK_IDLE);
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Search not completed after 5 minutes."}));
  EXPECT_TRUE(doc->Form().CanSearch());

  // A summary that never comes.
  ui.messages.clear();
  SearchWithTitles(1, 1);
  ASSERT_TRUE(loop.RunUntil([&] { return Sent(MSG_GET_RECORD) == 1; }));
  EXPECT_EQ(Link().State(), LINK_RETRIEVING);
  loop.Advance(302 * 1000);
  EXPECT_EQ(Link().State(), LINK_IDLE);
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Search not completed after 5 minutes."}));
  EXPECT_EQ(loop.ActiveTimers(), 0);
}

TEST_F(LinkFixture, RepliesTheRequestCannotProduceAreConsumed) {
  ConnectAndWait();
  // Every title answered twice: the repeat starts nothing.
  driver.OnRequest(MSG_SEARCH, {{TestDriver::Packet(MSG_HIT_COUNT, "", 0, 3)}});
  for (int n = 1; n <= 3; ++n) {
    std::string title = TestDriver::Packet(MSG_TITLE, "Title " + std::to_string(n) + '\0', n);
    driver.OnRequest(MSG_GET_TITLE, {{title + title}});
  }
  doc->Summary().ResetForSearch();
  Link().SendSearch(1, 0, "q");
  ASSERT_TRUE(loop.RunUntil([&] { return doc->Summary().Titles().size() == 3; }));
  Pump(100);
  EXPECT_EQ(doc->Summary().Titles(),
            (std::vector<std::string>{"1   Title 1", "2   Title 2", "3   Title 3"}));
  EXPECT_EQ(Sent(MSG_GET_TITLE), 3);
  EXPECT_EQ(Link().State(), LINK_IDLE);

  // A summary request answered with a title, then the record: the title is
  // dropped and the record is the summary.
  driver.OnRequest(MSG_GET_RECORD, {{TestDriver::Packet(MSG_TITLE, "stray\0", 2) +
                                     TestDriver::Packet(MSG_RECORD, "Sum two\0", 2)}});
  doc->Summary().SetSelection({1});
  doc->Summary().FetchSummaries();
  ASSERT_TRUE(loop.RunUntil([&] { return Link().IsIdle(); }));
  EXPECT_EQ(doc->Summary().SummaryText(), "Sum two\r\n\r\n\r\n");
  EXPECT_EQ(doc->Summary().Titles().size(), 3u);

  // A title request answered with a match count: no request/reply loop.
  driver.Always(MSG_GET_TITLE, {{TestDriver::Packet(MSG_HIT_COUNT, "", 0, 40)}});
  SearchWithTitles(40, 0);
  ASSERT_TRUE(loop.RunUntil([&] { return Sent(MSG_GET_TITLE) >= 4; }));
  Pump(200);
  EXPECT_EQ(Sent(MSG_GET_TITLE), 4);
  EXPECT_EQ(Link().State(), LINK_RETRIEVING);
  Link().Busy().Cancel();
  EXPECT_EQ(Link().State(), LINK_IDLE);

  // A stray "connected" during a search changes nothing.
  app.SetStatusMessage("Searching...");
  Link().SendSearch(1, 0, "q");
  PacketHeader connected;
  connected.type = MSG_CONNECTED;
  Link().Dispatch(connected, "");
  EXPECT_EQ(Link().State(), LINK_SEARCHING);
  EXPECT_EQ(app.StatusMessage(), "Searching...");
}

TEST_F(LinkFixture, ClosedLinkDisablesSearchAtOnce) {
  Open();
  driver.OnRequest(MSG_OPEN, {{TestDriver::Packet(MSG_CONNECTED), 0, true}});
  doc->ConnectToDatabase("Catalogue");
  ASSERT_TRUE(loop.RunUntil([&] { return Link().State() == LINK_UNCONNECTED; }));
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Driver has closed"}));
  EXPECT_FALSE(doc->Form().CanSearch());
  // Asked anyway, the link does not wait for a socket that is gone.
  Link().SendSearch(1, 0, "q");
  EXPECT_EQ(Link().State(), LINK_UNCONNECTED);
  EXPECT_FALSE(Link().Busy().Waiting());
  EXPECT_EQ(app.StatusMessage(), "Driver has closed");
}

TEST_F(LinkFixture, TraceHoldsEveryPacketAsItCrossedTheWire) {
  std::string path = dir.File("trace.txt");
  ASSERT_TRUE(CPacketTrace::Of(app).Start(path, loop.NowMs()));
  std::vector<std::string> replies = {TestDriver::Packet(MSG_CONNECTED),
                                      TestDriver::Packet(MSG_HIT_COUNT, "", 0, 3)};
  ConnectAndWait();
  for (int n = 1; n <= 3; ++n) {
    replies.push_back(TestDriver::Packet(MSG_TITLE, "Title " + std::to_string(n) + '\0', n));
  }
  replies.push_back(TestDriver::Packet(MSG_RECORD, "TI: Two\nAU: B\0", 2));
  driver.OnRequest(MSG_GET_RECORD, {{replies.back()}});
  SearchWithTitles(3, 3);
  ASSERT_TRUE(loop.RunUntil([&] { return doc->Summary().Titles().size() == 3u; }));
  doc->Summary().SetSelection({1});
  doc->Summary().DoubleClick();
  ASSERT_TRUE(loop.RunUntil([&] { return Link().IsIdle(); }));
  CPacketTrace::Of(app).Stop();

  // Request i was answered by reply i; the clock stood still.
  auto requests = driver.Requests();
  ASSERT_EQ(requests.size(), replies.size());
  std::string expected = "# trace started\n";
  for (std::size_t i = 0; i < requests.size(); ++i) {
    // The open request with no environment lines is followed by one zero
    // byte its length does not count; the trace shows it as it was sent.
    std::string sentBody = requests[i].body + (i == 0 ? std::string(1, '\0') : std::string());
    expected +=
        CPacketTrace::FormatEntry(CPacketTrace::Direction::Sent, requests[i].header, sentBody, 0);
    const std::string& reply = replies[i];
    expected += CPacketTrace::FormatEntry(
        CPacketTrace::Direction::Received,
        PacketHeader::Unpack(reinterpret_cast<const unsigned char*>(reply.data())),
        reply.substr(PacketHeader::kSize), 0);
  }
  std::ifstream in(path);
  std::string trace((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(trace, expected);
  EXPECT_EQ(requests[0].header.length, 13);
  EXPECT_EQ(driver.Received()[PacketHeader::kSize + 13], '\0');
}

}  // namespace
