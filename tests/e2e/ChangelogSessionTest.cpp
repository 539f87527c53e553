// tamsel-cli against the real sample driver: the changelog database reached
// by name, its date ranges, and the three sample configurations as a user
// opens and checks them.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SampleSession.h"

namespace {

class ChangelogSession : public SampleSuite {
 protected:
  static void SetUpTestSuite() {
    StartDriver({"catalogue", "changelog"});
    records = std::make_unique<std::vector<Stanza>>(ReadStanzas(SamplePath("changelog.stanza")));
  }
  static void TearDownTestSuite() {
    SampleSuite::TearDownTestSuite();
    records.reset();
  }
  void SetUp() override {
    SampleSuite::SetUp();
    ASSERT_GT(records->size(), 1000u);
  }

  // Opens sample.tcf, connects to the changelog by its name, fills the form,
  // searches, then runs `after`.
  ProgramResult Search(const std::vector<std::string>& form,
                       const std::vector<std::string>& after) const {
    std::vector<std::string> commands = {"open sample.tcf", "connect Changelog history"};
    commands.insert(commands.end(), form.begin(), form.end());
    commands.push_back("search");
    commands.insert(commands.end(), after.begin(), after.end());
    return work->Commands(commands);
  }

  static std::vector<std::string> ExpectedTitles(const std::function<bool(const Stanza&)>& keep,
                                                 size_t max) {
    std::vector<std::string> titles;
    for (const auto& r : *records) {
      if (titles.size() < max && keep(r)) {
        titles.push_back(
            TitleLine(static_cast<int>(titles.size()) + 1,
                      r.First("day") + " | " + r.First("package") + " | " + r.First("version")));
      }
    }
    return titles;
  }
  static int Count(const std::function<bool(const Stanza&)>& keep) {
    int n = 0;
    for (const auto& r : *records) {
      n += keep(r) ? 1 : 0;
    }
    return n;
  }

  static inline std::unique_ptr<std::vector<Stanza>> records;
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Days as "YYYY-MM-DD" compare as text.
std::function<bool(const Stanza&)> DaysBetween(const std::string& first, const std::string& last) {
  return [first, last](const Stanza& r) {
    std::string day = r.First("day");
    return day >= first && day <= last;
  };
}

TEST_F(ChangelogSession, ConnectsByNameAndSearchesYearMonthAndDayRanges) {
  struct Case {
    std::vector<std::string> form;
    std::function<bool(const Stanza&)> keep;
    std::string headerLine;
  };
  const std::vector<Case> cases = {
      {{"from 4 2022", "to 4 2022"},
       DaysBetween("2022-01-01", "2022-12-31"),
       "#       Date (years) : FROM 2022  TO 2022\n"},
      {{"from 5 March 2021", "to 5 June 2021"},
       DaysBetween("2021-03-01", "2021-06-31"),
       "#      Date (months) : FROM March 2021  TO June 2021\n"},
      {{"from 6 March 5, 2022", "to 6 March 20, 2022"},
       DaysBetween("2022-03-05", "2022-03-20"),
       "#        Date (days) : FROM March 5, 2022  TO March 20, 2022\n"},
      {{"to 6 December 31, 2010"},
       DaysBetween("0000", "2010-12-31"),
       "#        Date (days) : FROM Oldest  TO December 31, 2010\n"},
      // A range row sent as a limit string; the driver applies it to the date.
      {{"row 3 Changed", "from 3 2021", "to 3 2021"},
       DaysBetween("2021-01-01", "2021-12-31"),
       "# Changed in (limit) : FROM 2021  TO 2021\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> form = {"row 2 Package *"};
    form.insert(form.end(), c.form.begin(), c.form.end());
    ProgramResult run = Search(form, {"status", "summary-text", "titles", "header full"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("link: 1\ndatabase: Changelog history\nstatus: ", 0), 0u) << run.out;
    int count = Count(c.keep);
    ASSERT_GT(count, 1) << c.headerLine;
    EXPECT_EQ(MatchCount(run.out), count) << c.headerLine;
    std::string titles;
    for (const auto& t : ExpectedTitles(c.keep, 30)) {
      titles += t + '\n';
    }
    EXPECT_TRUE(Contains(run.out, titles)) << c.headerLine << "\n" << run.out;
    EXPECT_TRUE(Contains(run.out, "\n" + c.headerLine)) << run.out;
  }
}

TEST_F(ChangelogSession, NarrowsByLimitBoxesAndShowsTheEntries) {
  auto keep = [](const Stanza& r) {
    return r.First("distribution") == "unstable" && r.HasWord("security", "changes");
  };
  int count = Count(keep);
  ASSERT_GT(count, 0);
  ProgramResult run =
      Search({"row 1 Changes security", "limit 1 on"},
             {"summary-text", "format labels abbreviated fields Package,Day", "full 1"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(MatchCount(run.out), count) << run.out;
  EXPECT_EQ(run.out.rfind("Changelog entries found: " + std::to_string(count), 0), 0u) << run.out;
  const Stanza* first = nullptr;
  for (const auto& r : *records) {
    if (keep(r)) {
      first = &r;
      break;
    }
  }
  const std::string record =
      "Package: " + first->First("package") + "\nDay: " + first->First("day") + "\n\n\n";
  ASSERT_GE(run.out.size(), record.size());
  EXPECT_EQ(run.out.substr(run.out.size() - record.size()), record);
}

TEST_F(ChangelogSession, OpensTheSeparateFilesConfigurationFromItsDirectory) {
  // No default database: the Open Database dialog takes the queued answer.
  ProgramResult run =
      work->Commands({"answer text Changelog history", "open sample-separate.tcf", "status",
                      "databases", "connect Package catalogue", "status", "row 1 Keyword strategy",
                      "limit 3 on", "search", "summary-text"});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string expected =
      "link: 1\ndatabase: Changelog history\nstatus: Connected\n"
      "+ Debian on this machine [debian]\n"
      "  - Package catalogue [catalogue]\n"
      "  - Changelog history [changelog]\n"
      "link: 1\ndatabase: Package catalogue\nstatus: Connected\n"
      "Packages matching your search: ";
  EXPECT_EQ(run.out.substr(0, expected.size()), expected);
  std::vector<Stanza> catalogue = ReadStanzas(SamplePath("catalogue.stanza"));
  int games = 0;
  for (const auto& r : catalogue) {
    games += r.HasWord("strategy") && r.First("section") == "games" ? 1 : 0;
  }
  EXPECT_EQ(MatchCount(run.out), games) << run.out;

  // With nothing queued the dialog is cancelled and nothing connects.
  ProgramResult cancelled = work->Commands({"open sample-separate.tcf", "status"});
  EXPECT_EQ(cancelled.status, 0) << cancelled.err;
  EXPECT_EQ(cancelled.out, "link: 0\ndatabase: \nstatus: \n");
}

TEST_F(ChangelogSession, ChecksEachSampleConfiguration) {
  ProgramResult single = work->Commands({"check sample.tcf"});
  EXPECT_EQ(single.status, 0) << single.err;
  EXPECT_EQ(single.err, "");
  const std::string menu =
      "menu:\n"
      "+ Debian on this machine [debian]\n"
      "  + Software [software]\n"
      "    - Package catalogue [catalogue]\n"
      "  + History [history]\n"
      "    - Changelog history [changelog]\n";
  ASSERT_EQ(single.out.substr(0, menu.size()), menu);
  const std::string port = std::to_string(driver->Port());
  const std::string databases = single.out.substr(menu.size());
  for (const std::string& line : {
           "database catalogue: Package catalogue\n  driver: 127.0.0.1 " + port +
               "\n  internal name: catalogue\n",
           // Basic mode's buttons and the browse lists.
           std::string("  search field 3: Description = Description lists: Description words\n"
                       "  search field 4: Section = Section basic lists: Section\n"
                       "  search field 5: Maintainer = Maintainer basic lists: Maintainer, "
                       "Maintainer words\n"),
           std::string("  search field 1: Changes = Changes lists: Changes words\n"
                       "  search field 2: Package = Package lists: Package\n"),
           std::string("  search field 6: Installed size (KiB) = Installed-Size range NUMERIC\n"
                       "  search field 7: Also containing = any limit\n"
                       "  search field 8: Home page = Homepage basic-only\n"),
           std::string("  rows: 6 1=Keyword 2=Package 3=Description 4=Section 5=Installed size "
                       "(KiB) 6=Also containing\n"),
           "database changelog: Changelog history\n  driver: 127.0.0.1 " + port + "\n",
           std::string("  search field 6: Date (days) = Day range DAY 2005-2026\n"
                       "  search field 7: Changed in (limit) = Date range YEAR 2005-2026 limit\n"),
           std::string("  limit field 4: Experimental = Distribution=experimental\n"),
       }) {
    EXPECT_TRUE(Contains(databases, line)) << line;
  }

  // The separate files describe the same databases under a flat menu.
  ProgramResult separate = work->Commands({"check sample-separate.tcf", "databases"});
  EXPECT_EQ(separate.status, 1);
  EXPECT_EQ(ErrorLines(separate.err), std::vector<std::string>{"error: not available: databases"});
  EXPECT_EQ(separate.out,
            "menu:\n"
            "+ Debian on this machine [debian]\n"
            "  - Package catalogue [catalogue]\n"
            "  - Changelog history [changelog]\n" +
                databases);

  // The pointer file's address can't be reached (curl is sent through a
  // proxy port nobody listens on, so this holds online as well): one message
  // for the fetch, one for the open, and nothing printed.
  int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
  getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
  close(probe);
  const std::string proxy = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
  ProgramResult pointer =
      work->Run({"-f", "-"}, "check sample-pointer.tcf\nopen sample-pointer.tcf\nstatus\n",
                {"http_proxy=" + proxy, "no_proxy=", "NO_PROXY="});
  // Neither the check nor the open could load it.
  EXPECT_EQ(pointer.status, 3) << pointer.err;
  EXPECT_EQ(pointer.out, "link: -1\ndatabase: \nstatus: \n");
  const std::string failed =
      "message: Could not reach URL: http://tamsel.example.org/sample/sample.tcf\n"
      "message: Tamsel: Couldn't read the selected URL\n";
  EXPECT_EQ(pointer.err, failed + failed);
}

}  // namespace
