#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "CliRun.h"
#include "TempDir.h"
#include "TestDriver.h"
#include "cli/CCliMain.h"

namespace {

std::string Z(const std::string& text) {
  return text + '\0';
}

struct CliDriver : ::testing::Test, CliRun {
  using CliRun::Run;
  TestDriver driver;

  std::string Config() {
    return dir.Write("c.tcf",
                     "conf_version = 1.1\ndb_tag = cat\ndb_name = Catalogue\n"
                     "driver = socket:127.0.0.1:" +
                         std::to_string(driver.Port()) +
                         "\ndb_int_name = cat\nsummary_fields = S\n"
                         "t_field_name = Words\nt_field_cmd = W\ndflt_at = 1\n");
  }
};

TEST_F(CliDriver, ASlowSummaryStillLandsInTheSummaryWindow) {
  std::string path = Config();
  driver.Always(MSG_OPEN, {{TestDriver::Packet(MSG_CONNECTED)}});
  // Longer and shorter than the double-click time.
  for (int delay : {0, 300, 500}) {
    driver.OnRequest(MSG_SEARCH, {{TestDriver::Packet(MSG_HIT_COUNT, "", 0, 2)}});
    driver.OnRequest(MSG_GET_TITLE, {{TestDriver::Packet(MSG_TITLE, Z("One"), 1)}});
    driver.OnRequest(MSG_GET_TITLE, {{TestDriver::Packet(MSG_TITLE, Z("Two"), 2)}});
    driver.OnRequest(MSG_GET_RECORD, {{TestDriver::Packet(MSG_RECORD, Z("Sum one"), 1), delay}});
    ASSERT_EQ(Run({"open " + path, "term 1 game", "search", "select 1", "summary-text",
                   "record-text", "status"}),
              0)
        << err;
    EXPECT_EQ(out,
              "Sum one\r\n\r\n\r\nSum one\r\n\r\n\r\n"
              "link: 1\ndatabase: Catalogue\nstatus: Summaries retrieved\n")
        << delay;
  }
}

TEST_F(CliDriver, FailedOpenKeepsTheOpenDocument) {
  std::string path = Config();
  driver.Always(MSG_OPEN, {{TestDriver::Packet(MSG_CONNECTED)}});
  Run({"open " + path, "open " + dir.File("missing.tcf"), "status"});
  EXPECT_NE(out.find("link: 1\ndatabase: Catalogue\n"), std::string::npos) << out << err;
}

TEST_F(CliDriver, TraceCommandWritesPacketsAndRefusesBadFiles) {
  std::string path = Config();
  std::string trace = dir.File("t.txt");
  driver.Always(MSG_OPEN, {{TestDriver::Packet(MSG_CONNECTED)}});
  ASSERT_EQ(Run({"trace " + trace, "open " + path, "trace off", "disconnect"}), 0) << err;
  std::ifstream in(trace);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find(" ms sent MSG_OPEN type=0 "), std::string::npos) << text;
  EXPECT_NE(text.find(" ms received MSG_CONNECTED type=1 length=0"), std::string::npos) << text;
  // Nothing after "off": the close request is not in it.
  EXPECT_EQ(text.find("MSG_CLOSE"), std::string::npos) << text;

  EXPECT_EQ(Run({"trace " + dir.File("no/such/dir/t.txt")}), 3);
  EXPECT_NE(err.find("error: Couldn't open trace file "), std::string::npos) << err;

  ScopedEnv env{"TAMSEL_TRACE", trace.c_str()};
  ASSERT_EQ(Run({"open " + path}), 0) << err;
  std::ifstream again(trace);
  std::string more((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>());
  EXPECT_GT(more.size(), text.size());
}

}  // namespace
