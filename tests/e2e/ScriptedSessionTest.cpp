// A whole search session of the tamsel-cli binary against a driver whose
// every byte is scripted: what the program prints is compared whole, and so
// is every request byte it sends.

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "RunProgram.h"
#include "TempDir.h"
#include "TestDriver.h"

namespace {

std::string Z(const std::string& text) {
  return text + std::string(1, '\0');
}

std::string Word(std::int32_t v) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) {
    out[static_cast<size_t>(i)] =
        static_cast<char>((static_cast<std::uint32_t>(v) >> (24 - 8 * i)) & 0xff);
  }
  return out;
}

const char* const kPlaces[] = {"Husavik", "Andenes", "Tadoussac", "Hermanus", "Kaikoura"};

std::string TitleText(int n) {
  return std::string(kPlaces[n % 5]) + " - 199" + std::to_string(n % 10) + "-07-" +
         (n < 10 ? "0" : "") + std::to_string(n);
}

// Time stamps in headers, as "Tue Dec 08 11:42:36 2026", become "TIME".
std::string WithoutTimes(const std::string& text) {
  static const std::regex stamp(
      "[A-Z][a-z]{2} [A-Z][a-z]{2} [0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}");
  return std::regex_replace(text, stamp, "TIME");
}

TEST(ScriptedSession, PrintsTitlesSummariesAndRecordsAsTheWindowsHoldThem) {
  TempDir dir;
  TestDriver driver;
  const std::string config =
      "conf_version = 1.1\n"
      "db_tag = whales\n"
      "db_name = Whale sightings\n"
      "driver = socket:127.0.0.1:" +
      std::to_string(driver.Port()) +
      "\n"
      "db_int_name = sightings\n"
      "title_fields = PL DT\n"
      "summary_fields = PL NO\n"
      "extension_fields = PL\n"
      "env_name = REGION\n"
      "env_val = north\n"
      "t_field_name = Notes\n"
      "t_field_cmd = NO\n"
      "dflt_at = 1\n"
      "t_field_name = Year\n"
      "t_field_cmd = YR\n"
      "t_range_type = YEAR\n"
      "t_year_range = 1990-2000\n"
      "dflt_at = 2\n"
      "l_field_name = Photographed\n"
      "l_field_cmd = PH=yes\n";
  const std::string path = dir.Write("whales.tcf", config);

  // The open: connected, the description, then the field list (place and
  // notes included by default).
  const std::string fieldList =
      Z("\1PL") + Z("Place") + Z(std::string(1, '\0') + "DT") + Z("Date") + Z("\1NO") + Z("Notes");
  driver.OnRequest(
      MSG_OPEN,
      {{TestDriver::Packet(MSG_CONNECTED)},
       {TestDriver::Packet(MSG_DATABASE_INFO, Z("Whale sightings\nNorth Atlantic and beyond"), 0) +
        TestDriver::Packet(MSG_DATABASE_INFO, fieldList, 1, 3)}});
  driver.SetFieldListSent(true);
  // 35 matches, after a progress report; titles are asked for one by one.
  driver.OnRequest(
      MSG_SEARCH,
      {{TestDriver::Packet(MSG_STATUS, Z("Looking through 1200 sightings"), STATUS_PROGRESS)},
       {TestDriver::Packet(MSG_HIT_COUNT, Z("35 sightings"), 0, 35)}});
  for (int n = 1; n <= 35; ++n) {
    driver.OnRequest(MSG_GET_TITLE, {{TestDriver::Packet(MSG_TITLE, Z(TitleText(n)), n)}});
  }
  // Two summaries (an empty line in one), then two full records carrying
  // the positions of their matched words.
  driver.OnRequest(
      MSG_GET_RECORD,
      {{TestDriver::Packet(MSG_RECORD, Z("Place: Andenes\nNotes: blue whale\n\n  with calf"), 2)}});
  driver.OnRequest(MSG_GET_RECORD,
                   {{TestDriver::Packet(MSG_RECORD, Z("Place: Hermanus\nNotes: sperm whale"), 4)}});
  const std::string first = "PL: Andenes\nNO: blue whale\n  with calf";
  const std::string last = "PL: Husavik\nNO: two sperm whales\n";
  driver.OnRequest(MSG_GET_RECORD,
                   {{TestDriver::Packet(MSG_RECORD, Word(21) + Word(26) + Z(first), 2, 0, 1)}});
  driver.OnRequest(
      MSG_GET_RECORD,
      TestDriver::Split(
          TestDriver::Packet(MSG_RECORD, Word(20) + Word(25) + Word(26) + Word(32) + Z(last), 35, 0,
                             2),
          7));

  std::vector<std::string> commands = {
      "row 1 Notes blue whale OR \"sperm whale\"",
      "from 2 1995",
      "limit 1 on",
      "search",
      "more",
      "titles",
      "select 2,4",
      "select 4,2",
      "format labels abbreviated fields PL,NO",
      "full 2,35",
      "find WHALE",
      "find-next",
      "header brief",
      "header full",
      "info",
      "disconnect",
      "status",
  };
  std::vector<std::string> args;
  for (const auto& c : commands) {
    args.push_back("-c");
    args.push_back(c);
  }
  args.push_back(path);
  ProgramResult run = RunProgram(TAMSEL_CLI_BINARY, args, "",
                                 {"XDG_CONFIG_HOME=" + dir.Path(), "TEMP=" + dir.Path()});
  EXPECT_EQ(run.status, 0) << run.err;

  std::string titles;
  for (int n = 1; n <= 35; ++n) {
    titles += (n < 10 ? std::to_string(n) + "   " : std::to_string(n) + "  ") + TitleText(n) + "\n";
  }
  const std::string summaries =
      "Place: Andenes\r\nNotes: blue whale\r\n  with calf\r\n\r\n\r\n"
      "Place: Hermanus\r\nNotes: sperm whale\r\n\r\n\r\n";
  const std::string records = first + last + "\n\n\n\n";
  const std::string finds = "found " + std::to_string(records.find("whale")) + " 5\n" + "found " +
                            std::to_string(records.find("whale", 30)) + " 5\n";
  // The brief header is one line; the full one starts and ends with an empty
  // line.
  const std::string headers =
      "Whale sightings  TIME\n"
      "\n"
      "#################################################################\n"
      "#    TAMSEL SEARCH RESULTS: TIME\n"
      "#             CONNECTED to: Whale sightings\n"
      "#\n"
      "#              Notes : blue whale OR \"sperm whale\"\n"
      "#               Year : FROM 1995  TO Newest\n"
      "# \n"
      "#    [X] Photographed\n"
      "#################################################################\n"
      "\n";
  const std::string info = "\r\n Whale sightings\r\n North Atlantic and beyond\r\n";
  // After the disconnect the status text is still the one of the last
  // retrieval.
  const std::string status = "link: 0\ndatabase: \nstatus:    \n";
  const std::string expected =
      titles + summaries + summaries + records + finds + headers + info + status;
  EXPECT_EQ(WithoutTimes(run.out), expected);

  // The requests, byte for byte: the open with the environment block, the
  // search (a text term, a year range with its open end, the limit box),
  // titles in batches one at a time, summaries without a field list, full
  // records with the chosen fields, and the close.
  ASSERT_TRUE(driver.WaitForClientClose());
  const std::string open =
      Z("1.0") + Z("sightings") + Z("PL DT") + Z("PL NO") + Z("PL") + Z("REGION") + Z("north");
  const std::string search = Z(std::string(1, '\0') + "blue whale OR \"sperm whale\"") + Z("NO") +
                             Z("\2" + std::string("0/0/1995 0/0/0")) + Z("YR") + Z("PH=yes");
  std::string sent =
      TestDriver::Packet(MSG_OPEN, open) + TestDriver::Packet(MSG_SEARCH, search, 2, 1);
  for (int n = 1; n <= 35; ++n) {
    sent += TestDriver::Packet(MSG_GET_TITLE, "", n);
  }
  sent += TestDriver::Packet(MSG_GET_RECORD, "", 2, 1, 0) +
          TestDriver::Packet(MSG_GET_RECORD, "", 4, 1, 0);
  const std::string fields("PL\0NO\0", 6);
  sent += TestDriver::Packet(MSG_GET_RECORD, fields, 2, 0, 1) +
          TestDriver::Packet(MSG_GET_RECORD, fields, 35, 0, 1);
  sent += TestDriver::Packet(MSG_CLOSE);
  EXPECT_EQ(driver.Received(), sent);

  // Events on standard error: nothing went wrong, and the driver's progress
  // text was shown.
  EXPECT_EQ(run.err.find("message: "), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("error: "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("busy: Looking through 1200 sightings\n"), std::string::npos) << run.err;
}

}  // namespace
