// The real sample driver, run as its own process and spoken to byte by byte.

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "DriverProcess.h"
#include "RunProgram.h"
#include "TempDir.h"
#include "config/CDBDescRec.h"
#include "driver/CPacketCodec.h"

namespace {

struct Packet {
  PacketHeader header;
  std::string body;
  std::string Text() const { return CPacketCodec::BodyText(body); }
};

// A blocking client with a receive limit, so a silent driver fails the test
// instead of hanging it.
class RawClient {
 public:
  explicit RawClient(int port) {
    fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    timeval limit{30, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // A failed connect shows as a stream that ends at once.
    connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  }
  ~RawClient() { close(fd); }

  void Send(const std::string& bytes) {
    for (size_t sent = 0; sent < bytes.size();) {
      ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) {
        return;
      }
      sent += static_cast<size_t>(n);
    }
  }
  bool ReadExactly(size_t count, std::string& into) {
    into.clear();
    char buffer[4096];
    while (into.size() < count) {
      ssize_t n = recv(fd, buffer, std::min(sizeof buffer, count - into.size()), 0);
      if (n <= 0) {
        return false;
      }
      into.append(buffer, static_cast<size_t>(n));
    }
    return true;
  }
  // The next packet; a header of type 999 when the stream ended instead.
  Packet Next() {
    Packet packet;
    packet.header.type = 999;
    std::string head;
    if (!ReadExactly(PacketHeader::kSize, head)) {
      return packet;
    }
    PacketHeader h = PacketHeader::Unpack(reinterpret_cast<const unsigned char*>(head.data()));
    if (ReadExactly(static_cast<size_t>(h.length), packet.body)) {
      packet.header = h;
    }
    return packet;
  }
  // True when the driver has closed the connection (nothing more arrives).
  bool ClosedByDriver() {
    char c;
    return recv(fd, &c, 1, 0) == 0;
  }

 private:
  int fd = -1;
};

std::string OpenRequest(const std::string& name, const std::string& titles = "Name Size",
                        const std::string& summaries = "Name Text",
                        const std::string& extensions = "Name Section",
                        const std::string& environment = "") {
  CDBDescRec db;
  db.internalName = name;
  db.titleFields = titles;
  db.summaryFields = summaries;
  db.extensionFields = extensions;
  db.environment = environment;
  db.environmentLength = static_cast<int>(environment.size());
  return CPacketCodec::Open(db);
}

std::string Term(int rangeType, const std::string& text, const std::string& field) {
  return std::string(1, static_cast<char>(rangeType)) + text + '\0' + field + '\0';
}

// Sends a search; the match count, or -1 with the error text in `error`.
int Search(RawClient& client, const std::vector<std::string>& terms,
           const std::vector<std::string>& limits = {}, std::string* error = nullptr,
           std::string* message = nullptr) {
  std::string body;
  for (const auto& t : terms) {
    body += t;
  }
  for (const auto& l : limits) {
    body += l + '\0';
  }
  client.Send(
      CPacketCodec::Search(static_cast<int>(terms.size()), static_cast<int>(limits.size()), body));
  for (;;) {
    Packet p = client.Next();
    if (p.header.type == MSG_STATUS && p.header.param1 == STATUS_PROGRESS) {
      continue;
    }
    if (p.header.type == MSG_HIT_COUNT) {
      if (message) {
        *message = p.Text();
      }
      return p.header.param2;
    }
    EXPECT_EQ(p.header.type, MSG_STATUS);
    EXPECT_EQ(p.header.param1, STATUS_SEARCH_ERROR);
    if (error) {
      *error = p.Text();
    }
    return -1;
  }
}

const char* kPackages =
    "Database: Test packages\n"
    "About: Five packages for tests.\n"
    "Captions:\n"
    " Name: Package name\n"
    "Default-Fields: Name Size Text\n"
    "\n"
    "Name: alpha\nSection: games\nSize: 120\nMaintainer: Games Team <games@example.org>\n"
    "Text: Real-time strategy game of ancient warfare\nDay: 2019-03-15\n"
    "\n"
    "Name: beta-tools\nSection: utils\nSize: 5000\nMaintainer: Tools Team <tools@example.org>\n"
    "Text: Tools for beta testing\n .\n Includes a game of chess.\nDay: 2020-12-31\n"
    "\n"
    "# comments are skipped\n"
    "Name: gamma\nSection: Games\nSize: 42\nMaintainer: Games Team <games@example.org>\n"
    "Text: Ancient strategy engine\nDay: 2021-01-01\n"
    "\n"
    "Name: delta\nSection: libs\nSize: 900\nMaintainer: Solo Hacker <solo@example.org>\n"
    "Text: Library for games and gaming\nDay: 2021-02-10\n"
    "\n"
    "Name: epsilon\nSection: utils\nSize: 7\nMaintainer: Tools Team <tools@example.org>\n"
    "Text: Warfare statistics tool\nDay: 2022-06-30\n";

class SampleDriverTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = std::make_unique<TempDir>();
    std::string packages = dir->Write("packages.stanza", kPackages);
    std::string notes = dir->Write("notes.stanza", "Title: A note\nBody: kept secret\n");
    driver = std::make_unique<DriverProcess>(
        std::vector<std::string>{"--port", "0", "--db", "pkgs=" + packages, "--db",
                                 "notes=" + notes, "--password", "notes=sesame"});
  }
  static void TearDownTestSuite() {
    EXPECT_EQ(driver->Stop(), 0) << "the driver did not stop cleanly";
    driver.reset();
    dir.reset();
  }
  void SetUp() override {
    ASSERT_GT(driver->Port(), 0) << "no driver at " << DriverProcess::Binary();
  }

  // Connects and opens `name`, checking the three replies to the open.
  static std::unique_ptr<RawClient> Opened(const std::string& request) {
    auto client = std::make_unique<RawClient>(driver->Port());
    client->Send(request);
    EXPECT_EQ(client->Next().header.type, MSG_CONNECTED);
    EXPECT_EQ(client->Next().header.type, MSG_DATABASE_INFO);
    EXPECT_EQ(client->Next().header.type, MSG_DATABASE_INFO);
    return client;
  }

  static std::unique_ptr<TempDir> dir;
  static std::unique_ptr<DriverProcess> driver;
};

std::unique_ptr<TempDir> SampleDriverTest::dir;
std::unique_ptr<DriverProcess> SampleDriverTest::driver;

TEST_F(SampleDriverTest, OpensWithDescriptionAndFieldListAndRefusesWhatItCannotOpen) {
  RawClient client(driver->Port());
  client.Send(OpenRequest("pkgs", "Name Bogus"));
  EXPECT_EQ(client.Next().header.type, MSG_CONNECTED);
  Packet info = client.Next();
  EXPECT_EQ(info.header.type, MSG_DATABASE_INFO);
  EXPECT_EQ(info.header.param1, 0);
  EXPECT_NE(info.Text().find("Test packages"), std::string::npos) << info.Text();
  EXPECT_NE(info.Text().find("Five packages for tests."), std::string::npos);
  Packet fields = client.Next();
  ASSERT_EQ(fields.header.type, MSG_DATABASE_INFO);
  EXPECT_NE(fields.header.param1, 0);
  auto list = CPacketCodec::ReadFieldList(fields.header, fields.body);
  ASSERT_EQ(list.size(), 6u);
  std::vector<std::string> names;
  for (const auto& f : list) {
    names.push_back(f.name + (f.includedByDefault ? "+" : "-") + f.caption);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Name+Package name", "Section-Section", "Size+Size",
                                             "Maintainer-Maintainer", "Text+Text", "Day-Day"}));
  // A title field the database doesn't have is worth a warning, not a refusal.
  Packet warning = client.Next();
  EXPECT_EQ(warning.header.param1, STATUS_WARNING);
  EXPECT_NE(warning.Text().find("Bogus"), std::string::npos) << warning.Text();

  RawClient unknown(driver->Port());
  unknown.Send(OpenRequest("nosuch"));
  Packet refused = unknown.Next();
  EXPECT_EQ(refused.header.param1, STATUS_ERROR_CLOSED);
  EXPECT_NE(refused.Text().find("\"nosuch\""), std::string::npos) << refused.Text();
  EXPECT_TRUE(unknown.ClosedByDriver());

  RawClient older(driver->Port());
  std::string request = OpenRequest("pkgs");
  request.replace(PacketHeader::kSize, 3, "0.9");
  older.Send(request);
  Packet mismatch = older.Next();
  EXPECT_EQ(mismatch.header.type, MSG_STATUS);
  EXPECT_EQ(mismatch.header.param1, STATUS_PROTOCOL_MISMATCH);
  EXPECT_EQ(mismatch.Text(), "1.0");
}

TEST_F(SampleDriverTest, AsksForThePasswordOfAProtectedDatabase) {
  RawClient client(driver->Port());
  client.Send(OpenRequest("notes", "Title", "Body", ""));
  Packet ask = client.Next();
  ASSERT_EQ(ask.header.type, MSG_INFO_REQUEST);
  EXPECT_EQ(ask.header.param1, INFO_PASSWORD);
  auto request = CPacketCodec::ReadInfoRequest(ask.body);
  EXPECT_EQ(request.prompt, "Password for the notes database:");
  EXPECT_EQ(request.okLabel, " ");

  client.Send(CPacketCodec::InfoAnswer(1, "guess"));
  Packet again = client.Next();
  ASSERT_EQ(again.header.type, MSG_INFO_REQUEST);
  EXPECT_EQ(CPacketCodec::ReadInfoRequest(again.body).prompt,
            "Wrong password. Password for the notes database:");
  client.Send(CPacketCodec::InfoAnswer(1, "sesame"));
  EXPECT_EQ(client.Next().header.type, MSG_CONNECTED);
  EXPECT_EQ(client.Next().header.type, MSG_DATABASE_INFO);
  EXPECT_EQ(client.Next().header.type, MSG_DATABASE_INFO);
  EXPECT_EQ(Search(client, {Term(0, "secret", "Body")}), 1);

  RawClient cancelled(driver->Port());
  cancelled.Send(OpenRequest("notes"));
  EXPECT_EQ(cancelled.Next().header.type, MSG_INFO_REQUEST);
  // Cancelling the prompt ends the connection.
  cancelled.Send(CPacketCodec::InfoAnswer(0, ""));
  EXPECT_EQ(cancelled.Next().header.param1, STATUS_ERROR_CLOSED);
  EXPECT_TRUE(cancelled.ClosedByDriver());
}

TEST_F(SampleDriverTest, CountsMatchesOfWordsPhrasesTruncationRangesAndLimits) {
  auto client = Opened(OpenRequest("pkgs"));
  struct Case {
    std::vector<std::string> terms;
    std::vector<std::string> limits;
    int count;
  };
  const std::string all = Term(0, "*", "any");
  const std::vector<Case> cases = {
      {{Term(0, "game", "any")}, {}, 2},
      {{Term(0, "GAME*", "any")}, {}, 4},  // game, games, gaming
      {{Term(0, "ancient strategy", "any")}, {}, 2},
      {{Term(0, "ancient AND strategy", "Text")}, {}, 2},
      {{Term(0, "\"strategy game\"", "any")}, {}, 1},
      {{Term(0, "\"ancient strategy\"", "Text")}, {}, 1},
      {{Term(0, "\"ancient str*\"", "Text")}, {}, 1},
      {{Term(0, "chess OR statistics", "any")}, {}, 2},
      {{Term(0, "warfare tool*", "any")}, {}, 1},
      {{Term(0, "games", "Section")}, {}, 2},
      {{Term(0, "games", "section")}, {}, 2},  // field commands ignore case
      {{Term(0, "beta-tools", "Name")}, {}, 1},
      {{Term(0, "nothing", "any")}, {}, 0},
      {{Term(0, "game", "any"), Term(0, "chess", "Text")}, {}, 1},
      // Without a type byte the record is a plain term (the basic mode form).
      {{std::string("strategy") + '\0' + "Text" + '\0'}, {}, 2},
      {{all, Term(1, "0/0/100 0/0/1000", "Size")}, {}, 2},
      {{all, Term(1, "0/0/1000 0/0/0", "Size")}, {}, 1},
      {{all, Term(1, "0/0/0 0/0/42", "Size")}, {}, 2},
      {{all, Term(2, "0/0/2021 0/0/2021", "Day")}, {}, 2},
      {{all, Term(2, "0/0/2022 0/0/2021", "Day")}, {}, 3},  // reversed ends
      {{all, Term(3, "12/0/2020 1/0/2021", "Day")}, {}, 2},
      {{all, Term(3, "1/0/2019 3/0/2019", "Day")}, {}, 1},  // to the end of March
      {{all, Term(2, "0/0/2020 0/0/2020", "Day")}, {}, 1},  // to December 31
      {{all, Term(4, "3/15/2019 3/15/2019", "Day")}, {}, 1},
      {{all, Term(4, "0/0/2020 0/0/0", "Day")}, {}, 4},
      {{all}, {"Section=GAMES"}, 2},
      {{all}, {"Section=util*"}, 2},
      {{all}, {"Section=util"}, 0},
      {{all}, {"0/0/2021 0/0/2021"}, 2},  // a range limit applies to the dates
      {{all}, {"warfare"}, 2},
      {{Term(0, "game*", "any")},
       {"Section=games", "Maintainer=Games Team <games@example.org>"},
       2},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(Search(*client, c.terms, c.limits, &error), c.count)
        << "term " << ::testing::PrintToString(c.terms) << " limits "
        << ::testing::PrintToString(c.limits) << ": " << error;
  }
}

TEST_F(SampleDriverTest, ReportsSearchesItCannotRunAndGoesOn) {
  auto client = Opened(OpenRequest("pkgs"));
  struct Case {
    std::vector<std::string> terms;
    std::vector<std::string> limits;
    std::string text;
  };
  std::string manyWords;
  for (int i = 0; i < 33; ++i) {
    manyWords += "w ";
  }
  const std::vector<Case> cases = {
      {{Term(0, "game", "Bogus")}, {}, "The pkgs database has no field \"Bogus\""},
      {{Term(0, "!!! OR ---", "any")}, {}, "Nothing to search for in \"!!! OR ---\""},
      {{Term(0, "game", "any")}, {"Nope=x"}, "Unknown limit field \"Nope\" in \"Nope=x\""},
      {{Term(1, "0/0/1 0/0/9", "Text")}, {}, "The field \"Text\" holds no numbers"},
      {{Term(4, "13/1/2020 0/0/0", "Day")}, {}, "Invalid date in the range \"13/1/2020 0/0/0\""},
      {{Term(2, "2020 to 2021", "Day")}, {}, "Invalid range"},
      {{Term(0, manyWords, "any")}, {}, "Too many words in one search field"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(Search(*client, c.terms, c.limits, &error), -1);
    EXPECT_EQ(error.rfind(c.text, 0), 0u) << error;
  }
  // Counts that don't match the body are a malformed request, not a crash.
  client->Send(CPacketCodec::Search(2, 0, Term(0, "game", "any")));
  Packet p = client->Next();
  EXPECT_EQ(p.header.param1, STATUS_SEARCH_ERROR);
  EXPECT_EQ(p.Text(), "Malformed search request: term 2 is incomplete");
  EXPECT_EQ(Search(*client, {Term(0, "game", "any")}), 2);
}

TEST_F(SampleDriverTest, ReturnsTitlesSummariesRecordsAndExtensionDataOfTheResult) {
  std::string environment = std::string("TITLE_SEPARATOR") + '\0' + "|" + '\0' + "HIT_MESSAGE" +
                            '\0' + "Found %d matches" + '\0';
  auto client = Opened(OpenRequest("pkgs", "Name Size", "Name,Text", "Name;Section", environment));
  std::string message;
  ASSERT_EQ(Search(*client, {Term(0, "game", "any")}, {}, nullptr, &message), 2);
  EXPECT_EQ(message, "Found 2 matches");

  client->Send(CPacketCodec::HeaderOnly(MSG_GET_TITLE, 2));
  Packet title = client->Next();
  EXPECT_EQ(title.header.type, MSG_TITLE);
  EXPECT_EQ(title.header.param1, 2);
  EXPECT_EQ(title.Text(), "beta-tools | 5000");
  client->Send(CPacketCodec::HeaderOnly(MSG_GET_TITLE, 3));
  EXPECT_EQ(client->Next().Text(), "No record 3 in the result");

  const std::string abbreviated =
      "Name: beta-tools\nText: Tools for beta testing\n\n  Includes a game of chess.\n";
  const std::string expanded =
      "Package name: beta-tools\nText: Tools for beta testing\n\n  Includes a game of chess.\n";
  struct Case {
    std::string request;
    std::string text;
  };
  const std::vector<Case> cases = {
      {CPacketCodec::GetRecord(2, 1, 1, false, ""), abbreviated},
      {CPacketCodec::GetRecord(2, 0, 1, true, std::string("Name\0Text\0", 10)), abbreviated},
      {CPacketCodec::GetRecord(2, 0, 0, true, std::string("Name\0Text\0", 10)), expanded},
      // An empty field list: one uncounted zero byte, and the default fields.
      {CPacketCodec::GetRecord(2, 0, 1, true, ""),
       "Name: beta-tools\nSize: 5000\nText: Tools for beta testing\n\n  Includes a game of "
       "chess.\n"},
  };
  for (const Case& c : cases) {
    client->Send(c.request);
    Packet p = client->Next();
    ASSERT_EQ(p.header.type, MSG_RECORD);
    EXPECT_EQ(p.header.param1, 2);
    CPacketCodec::Record record = CPacketCodec::ReadRecord(p.header, p.body);
    EXPECT_EQ(record.text, c.text);
    size_t game = record.text.find("game");
    ASSERT_EQ(record.termPositions.size(), 1u);
    EXPECT_EQ(record.termPositions[0],
              std::make_pair(static_cast<int32_t>(game), static_cast<int32_t>(game + 4)));
  }
  // Still in step after the uncounted byte.
  client->Send(CPacketCodec::HeaderOnly(MSG_GET_TITLE, 1));
  EXPECT_EQ(client->Next().Text(), "alpha | 120");

  client->Send(CPacketCodec::HeaderOnly(MSG_GET_EXTENSION_DATA, 2));
  Packet extension = client->Next();
  EXPECT_EQ(extension.header.type, MSG_EXTENSION_DATA);
  EXPECT_EQ(extension.Text(), "Name: beta-tools\nSection: utils\n");

  // Truncated words mark every word they begin, in the searched field only.
  ASSERT_EQ(Search(*client, {Term(0, "gam*", "Text")}), 3);
  const std::vector<std::tuple<int, std::string, std::vector<std::string>>> marks = {
      {1, "Section: games\nText: Real-time strategy game of ancient warfare\n", {"game"}},
      {3, "Section: libs\nText: Library for games and gaming\n", {"games", "gaming"}},
  };
  for (const auto& [number, text, words] : marks) {
    client->Send(CPacketCodec::GetRecord(number, 0, 1, true, std::string("Section\0Text\0", 13)));
    Packet p = client->Next();
    CPacketCodec::Record record = CPacketCodec::ReadRecord(p.header, p.body);
    EXPECT_EQ(record.text, text);
    std::vector<std::string> marked;
    for (auto [start, end] : record.termPositions) {
      marked.push_back(record.text.substr(start, end - start));
    }
    EXPECT_EQ(marked, words);
  }
}

TEST_F(SampleDriverTest, BrowsesSortedHeadingsWithTheirCounts) {
  auto client = Opened(OpenRequest("pkgs"));
  auto browse = [&client](char command, const std::string& list, const std::string& argument,
                          int count, int before) {
    client->Send(CPacketCodec::Browse(7, command, count, before, list, argument));
    Packet p = client->Next();
    EXPECT_EQ(p.header.type, MSG_BROWSE_REPLY);
    EXPECT_EQ(p.header.param1, 7);
    return std::make_pair(p.header.param2, p.Text());
  };
  // Reply fields are ended by 0x1E; written here as "|".
  auto reply = [](int32_t anchor, std::string fields) {
    std::replace(fields.begin(), fields.end(), '|', '\x1e');
    return std::make_pair(anchor, fields);
  };
  EXPECT_EQ(browse('H', "Section", "0", 1, 1),
            reply(0, "3|2|1|Section|0|2|01110|Records|7|1|00110|"));
  // "games" and "Games" are one heading.
  EXPECT_EQ(browse('N', "section", "0", 10, 0), reply(0, "Games|2|libs|1|utils|2|"));
  EXPECT_EQ(browse('N', "Section", "2", 1, 1), reply(2, "libs|1|"));
  EXPECT_EQ(browse('N', "Section", "99", 5, 0), reply(2, "utils|2|"));
  EXPECT_EQ(browse('C', "Section", "LI", 5, 1), reply(1, "Games|2|libs|1|utils|2|"));
  EXPECT_EQ(browse('C', "Section", "zz", 1, 0), reply(2, "utils|2|"));
  EXPECT_EQ(browse('C', "Maintainer", "t", 1, 0), reply(2, "Tools Team <tools@example.org>|2|"));
  EXPECT_EQ(browse('C', "Text words", "ga", 3, 0), reply(7, "game|2|games|1|gaming|1|"));

  EXPECT_LT(browse('N', "Nosuch", "0", 5, 0).first, 0);
  EXPECT_LT(browse('X', "Section", "0", 5, 0).first, 0);
}

TEST_F(SampleDriverTest, KeepsEachConnectionsStateApart) {
  auto first = Opened(OpenRequest("pkgs", "Name"));
  auto second = Opened(OpenRequest("pkgs", "Size"));
  ASSERT_EQ(Search(*first, {Term(0, "chess", "any")}), 1);
  ASSERT_EQ(Search(*second, {Term(0, "statistics", "any")}), 1);
  first->Send(CPacketCodec::HeaderOnly(MSG_GET_TITLE, 1));
  second->Send(CPacketCodec::HeaderOnly(MSG_GET_TITLE, 1));
  EXPECT_EQ(second->Next().Text(), "7");
  EXPECT_EQ(first->Next().Text(), "beta-tools");
}

TEST_F(SampleDriverTest, DropsHostileClientsAndServesTheNextOne) {
  PacketHeader bad;
  bad.type = 99;
  std::vector<std::string> attacks = {
      bad.Packed(),
      CPacketCodec::HeaderOnly(MSG_SEARCH).substr(0, 4) + std::string("\x7f\xff\xff\xff", 4) +
          std::string(16, '\0'),
      CPacketCodec::HeaderOnly(MSG_GET_TITLE).substr(0, 12),
      OpenRequest("pkgs").substr(0, 30),
  };
  std::string wrongExtraByte = OpenRequest("pkgs");
  wrongExtraByte.back() = '\x07';
  attacks.push_back(wrongExtraByte + CPacketCodec::HeaderOnly(MSG_CLOSE));
  std::string noise;
  for (int i = 0; i < 4000; ++i) {
    noise += static_cast<char>((i * 7919 + 13) % 251);
  }
  attacks.push_back(noise);
  for (const std::string& bytes : attacks) {
    RawClient client(driver->Port());
    client.Send(bytes);
  }
  // Garbage is closed on; an open that lacks its texts, or a request before
  // any open, gets the error first.
  RawClient garbage(driver->Port());
  garbage.Send(bad.Packed());
  EXPECT_TRUE(garbage.ClosedByDriver());
  RawClient early(driver->Port());
  early.Send(CPacketCodec::HeaderOnly(MSG_GET_TITLE, 1));
  Packet refused = early.Next();
  EXPECT_EQ(refused.header.param1, STATUS_ERROR_CLOSED);
  EXPECT_EQ(refused.Text(), "No database is open on this connection");
  EXPECT_TRUE(early.ClosedByDriver());
  RawClient incomplete(driver->Port());
  PacketHeader open;
  open.length = 3;
  incomplete.Send(open.Packed() + "1.0");
  EXPECT_EQ(incomplete.Next().Text(), "The open request is incomplete");

  auto client = Opened(OpenRequest("pkgs"));
  EXPECT_EQ(Search(*client, {Term(0, "game", "any")}), 2);
}

// Options for tests and demos, on a driver of their own.
TEST(SampleDriverOptions, SpeaksItsProtocolDelaysSplitsHonoursCancelAndClosesAfterN) {
  TempDir dir;
  DriverProcess driver({"--port", "0", "--db", "pkgs=" + dir.Write("p.stanza", kPackages),
                        "--protocol", "2.0", "--delay-ms", "500", "--split-writes", "5",
                        "--close-after", "7"});
  ASSERT_GT(driver.Port(), 0);
  RawClient older(driver.Port());
  older.Send(OpenRequest("pkgs"));
  Packet mismatch = older.Next();
  EXPECT_EQ(mismatch.header.param1, STATUS_PROTOCOL_MISMATCH);
  EXPECT_EQ(mismatch.Text(), "2.0");

  RawClient client(driver.Port());
  std::string request = OpenRequest("pkgs");
  request.replace(PacketHeader::kSize, 3, "2.0");
  client.Send(request);
  EXPECT_EQ(client.Next().header.type, MSG_CONNECTED);
  EXPECT_EQ(client.Next().header.type, MSG_DATABASE_INFO);
  EXPECT_EQ(client.Next().header.type, MSG_DATABASE_INFO);
  const std::string search = CPacketCodec::Search(1, 0, Term(0, "game", "any"));
  const std::string cancel = CPacketCodec::HeaderOnly(MSG_CANCEL_SEARCH);
  const std::string title = CPacketCodec::HeaderOnly(MSG_GET_TITLE, 1);
  // A cancel right behind the search: nothing of the search comes back.
  client.Send(search + cancel + title);
  Packet none = client.Next();
  EXPECT_EQ(none.header.type, MSG_TITLE);
  EXPECT_EQ(none.Text(), "No record 1 in the result");
  // A cancel while the search runs (each reply waits its delay): the rest of
  // it is dropped and it leaves no result.
  client.Send(search);
  Packet progress = client.Next();
  EXPECT_EQ(progress.header.param1, STATUS_PROGRESS);
  client.Send(cancel + title);
  EXPECT_EQ(client.Next().Text(), "No record 1 in the result");
  client.Send(title);
  EXPECT_EQ(client.Next().header.type, MSG_TITLE);
  EXPECT_TRUE(client.ClosedByDriver());  // after its seventh packet
  EXPECT_EQ(driver.Stop(), 0);
}

TEST(SampleDriverCommandLine, AnswersHelpAndVersionAndRefusesAMissingValue) {
  ProgramResult version = RunProgram(DriverProcess::Binary(), {"--version"});
  EXPECT_EQ(version.status, 0) << version.err;
  EXPECT_EQ(version.out, std::string("tamsel-sample-driver ") + TAMSEL_VERSION + "\n");
  ProgramResult help = RunProgram(DriverProcess::Binary(), {"--help"});
  EXPECT_EQ(help.status, 0) << help.err;
  EXPECT_EQ(help.out.rfind("usage: tamsel-sample-driver", 0), 0u) << help.out;
  EXPECT_NE(help.out.find("--version"), std::string::npos) << help.out;
  ProgramResult missing = RunProgram(DriverProcess::Binary(), {"--port"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err.rfind("tamsel-sample-driver: --port needs a value\n", 0), 0u)
      << missing.err;
}

std::string ReadSampleFile(const std::string& name) {
  std::ifstream in(std::string(TAMSEL_SOURCE_DIR) + "/data/sample/" + name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The value of `Field: value` lines that start at `from`; "" when the next
// such line is not there.
std::string LineValue(const std::string& text, size_t from, const std::string& field) {
  if (text.compare(from, field.size() + 2, field + ": ") != 0) {
    return "";
  }
  size_t start = from + field.size() + 2;
  return text.substr(start, text.find('\n', start) - start);
}

TEST(SampleDriverBundledData, HoldsEachChangelogEntryOnce) {
  const std::string text = ReadSampleFile("changelog.stanza");
  std::set<std::pair<std::string, std::string>> seen;
  std::vector<std::string> repeated;
  int entries = 0;
  for (size_t at = text.find("\nPackage: "); at != std::string::npos;
       at = text.find("\nPackage: ", at + 1)) {
    std::string package = LineValue(text, at + 1, "Package");
    size_t next = text.find('\n', at + 1) + 1;
    std::string version = LineValue(text, next, "Version");
    ASSERT_FALSE(version.empty()) << package;
    ++entries;
    if (!seen.emplace(package, version).second) {
      repeated.push_back(package + " " + version);
    }
  }
  EXPECT_GT(entries, 3000);
  EXPECT_TRUE(repeated.empty()) << repeated.size() << " repeated, the first " << repeated[0];
}

// The bundled sample data, as `make run` serves it.
TEST(SampleDriverBundledData, ServesTheCatalogueAndTheChangelog) {
  DriverProcess driver({"--port", "0"});
  ASSERT_GT(driver.Port(), 0);
  RawClient catalogue(driver.Port());
  catalogue.Send(OpenRequest("catalogue", "Package Version Description", "Package", "Package"));
  EXPECT_EQ(catalogue.Next().header.type, MSG_CONNECTED);
  EXPECT_NE(catalogue.Next().Text().find("Debian package catalogue"), std::string::npos);
  EXPECT_EQ(catalogue.Next().header.type, MSG_DATABASE_INFO);
  EXPECT_GT(Search(catalogue, {Term(0, "debian", "Maintainer")}), 4000);
  catalogue.Send(CPacketCodec::HeaderOnly(MSG_GET_TITLE, 4000));
  EXPECT_NE(catalogue.Next().Text().find(" - "), std::string::npos);

  RawClient changelog(driver.Port());
  changelog.Send(OpenRequest("changelog", "Day Package", "Package", "Package"));
  for (int i = 0; i < 3; ++i) {
    changelog.Next();
  }
  int all = Search(changelog, {Term(0, "*", "any")});
  int year = Search(changelog, {Term(0, "*", "any"), Term(2, "0/0/2022 0/0/2022", "Date")});
  int days = Search(changelog, {Term(0, "*", "any"), Term(4, "1/1/2022 12/31/2022", "Day")});
  EXPECT_GT(year, 0);
  EXPECT_LT(year, all);
  EXPECT_EQ(days, year);  // the RFC dates and the sortable days agree

  // Records are kept whatever words they use: these were once left out for a
  // word in their text.
  const std::string any = Term(0, "*", "any");
  EXPECT_EQ(Search(catalogue, {any}, {"Package=bash"}), 1);
  EXPECT_EQ(Search(catalogue, {any}, {"Package=perl"}), 1);
  EXPECT_EQ(Search(changelog, {any}, {"Package=bash", "Version=5.2-2"}), 1);
  EXPECT_EQ(driver.Stop(), 0);
}

// Every list the sample configuration names, as the client asks for it: the
// header, then windows and jumps anywhere in the list.
TEST(SampleDriverBundledData, ServesEveryBrowseListOfTheSampleConfiguration) {
  std::vector<std::pair<std::string, std::string>> lists;  // database, list
  std::istringstream config(ReadSampleFile("sample.tcf"));
  std::string database;
  for (std::string line; std::getline(config, line);) {
    auto value = [&line] { return line.substr(line.find('=') + 2); };
    if (line.rfind("db_int_name = ", 0) == 0) {
      database = value();
    } else if (line.rfind("list_name = ", 0) == 0) {
      lists.emplace_back(database, value());
    }
  }
  ASSERT_GE(lists.size(), 8u);

  DriverProcess driver({"--port", "0"});
  ASSERT_GT(driver.Port(), 0);
  std::map<std::string, std::unique_ptr<RawClient>> clients;
  for (const char* name : {"catalogue", "changelog"}) {
    auto client = std::make_unique<RawClient>(driver.Port());
    client->Send(OpenRequest(name, "Package", "Package", "Package"));
    for (int i = 0; i < 3; ++i) {
      client->Next();
    }
    clients[name] = std::move(client);
  }
  std::map<std::string, int> totals;
  for (const auto& [db, list] : lists) {
    SCOPED_TRACE(db + ": " + list);
    RawClient& client = *clients.at(db);
    auto browse = [&client, &list = list](char command, const std::string& argument, int count,
                                          int before) {
      client.Send(CPacketCodec::Browse(1, command, count, before, list, argument));
      Packet p = client.Next();
      EXPECT_EQ(p.header.type, MSG_BROWSE_REPLY);
      std::vector<std::string> fields;
      std::string field;
      for (char c : p.Text()) {
        if (c == '\x1e') {
          fields.push_back(field);
          field.clear();
        } else {
          field += c;
        }
      }
      return std::make_pair(p.header.param2, fields);
    };
    auto [anchor, header] = browse('H', "0", 1, 1);
    ASSERT_EQ(anchor, 0);
    ASSERT_EQ(header.size(), 11u);
    int total = std::stoi(header[0]);
    totals[list] = total;
    ASSERT_GT(total, 1);
    // Entries are heading and count; the heading is the pick value.
    EXPECT_EQ(header[6], "01110");
    for (int at : {0, total / 2, total - 1}) {
      auto [windowAnchor, window] = browse('N', std::to_string(at), 30, 10);
      EXPECT_EQ(windowAnchor, at);
      EXPECT_EQ(window.size(),
                2u * static_cast<size_t>(std::min(30, total - std::max(0, at - 10))));
      ASSERT_GE(window.size(), 2u);
      // Jumping to a heading finds that heading.
      const std::string& heading = window[2 * static_cast<size_t>(std::min(at, 10))];
      auto [match, around] = browse('C', heading, 30, 10);
      ASSERT_GE(around.size(), 2u);
      EXPECT_EQ(match, at);
      EXPECT_GE(std::stoi(around.back()), 1);
    }
  }
  // Thousands of headings in the big lists, so browsing them is the real thing.
  for (const char* big : {"Maintainer", "Maintainer words", "Description words", "Changes words"}) {
    EXPECT_GT(totals[big], 1500) << big;
  }
  EXPECT_GT(totals["Section"], 20);
  EXPECT_EQ(driver.Stop(), 0);
}

}  // namespace
