#include <gtest/gtest.h>

#include <sstream>

#include "CliRun.h"
#include "HttpTestServer.h"
#include "TempDir.h"
#include "TestDriver.h"
#include "cli/CCliMain.h"
#include "cli/CCliSession.h"

namespace {

std::string Database(const std::string& tag, const std::string& name, int port) {
  return "db_tag = " + tag + "\ndb_name = " + name +
         "\ndriver = socket:127.0.0.1:" + std::to_string(port) + "\ndb_int_name = " + tag +
         "\nsummary_fields = S\nt_field_name = Words\nt_field_cmd = W\nlist_name = Terms\n"
         "t_field_name = Year\nt_range_type = YEAR\nt_year_range = 1990-2000\ndflt_at = 1\n"
         "l_field_name = English\nl_field_cmd = la=en\n";
}

struct CliSession : ::testing::Test, CliRun {
  using CliRun::Run;
};

TEST_F(CliSession, LexPrintsKeywordLinesWithLineNumbers) {
  std::string path =
      dir.Write("a.tcf", "# comment\n\nconf_version = 1.1\nDB_NAME=x\nitem = a : A\n");
  EXPECT_EQ(Run({"lex " + path}), 0);
  EXPECT_EQ(out, "3 33 conf_version=1.1\n4 51 DB_NAME=x\n5 28 item=a : A\nend 6\n");
  EXPECT_EQ(err, "message: Tamsel: Fieldname lookup failed, DB_NAME, 0\n");
  EXPECT_EQ(Run({"lex " + dir.File("missing")}), 1);
}

TEST_F(CliSession, CheckAndDatabasesPrintTheMenu) {
  std::string path = dir.Write("m.tcf",
                               "conf_version = 1.1\n"
                               "begin_menu = deb : Debian\n"
                               "item = cat : Catalogue\n"
                               "begin_menu = Older\n"
                               "item = log : Changelog\n"
                               "end_menu\n"
                               "end_menu\n"
                               "item = misc : Misc\n" +
                                   Database("cat", "Catalogue", 9) +
                                   Database("log", "Changelog", 9) + Database("misc", "Misc", 9));
  EXPECT_EQ(Run({"check " + path}), 0) << err;
  EXPECT_NE(out.find("menu:\n+ Debian [deb]\n  - Catalogue [cat]\n  + Older []\n"
                     "    - Changelog [log]\n- Misc [misc]\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("database cat: Catalogue\n  driver: 127.0.0.1 9\n"), std::string::npos) << out;
  EXPECT_NE(out.find("  search field 2: Year =  range YEAR 1990-2000\n"), std::string::npos) << out;
  EXPECT_NE(out.find("  limit field 1: English = la=en\n  rows: 1 1=Year\n"), std::string::npos)
      << out;

  // Several databases and no default: the open asks which one; cancelled.
  EXPECT_EQ(Run({"open " + path, "databases", "status", "close", "databases"}), 1);
  EXPECT_EQ(out,
            "+ Debian [deb]\n  - Catalogue [cat]\n  + Older []\n    - Changelog [log]\n"
            "- Misc [misc]\nlink: 0\ndatabase: \nstatus: \n");
  EXPECT_NE(err.find("error: not available: databases"), std::string::npos);

  // A configuration error is a message line, and check prints nothing else.
  std::string bad = dir.Write("bad.tcf", "conf_version = 1.0\n");
  EXPECT_EQ(Run({"check " + bad}), 3);
  EXPECT_EQ(out, "");
  EXPECT_EQ(err,
            "message: Configuration Version Error: Configuration file is version 1.0.\\nWinTamsel "
            "expects version 1.1\\n\n");
}

TEST_F(CliSession, OpenConnectsToTheOnlyDatabaseAndTalksToItsDriver) {
  TestDriver driver;
  driver.Always(MSG_OPEN,
                {{TestDriver::Packet(MSG_STATUS, std::string("Opening\0", 8), STATUS_PROGRESS)},
                 {TestDriver::Packet(MSG_CONNECTED) +
                  TestDriver::Packet(MSG_DATABASE_INFO, std::string("About\nit\0", 9), 0)}});
  std::string path =
      dir.Write("one.tcf", "conf_version = 1.1\n" + Database("cat", "Catalogue", driver.Port()));
  EXPECT_EQ(Run({"echo on", "status"}, {path}), 0) << err;
  EXPECT_EQ(out, "link: 1\ndatabase: Catalogue\nstatus: Connected\n");
  EXPECT_NE(err.find("busy: Connecting to Catalogue\\n\n"), std::string::npos) << err;
  EXPECT_NE(err.find("status: Connected\n"), std::string::npos);

  EXPECT_EQ(Run({"open " + path, "info", "disconnect", "status", "disconnect"}), 1);
  EXPECT_EQ(out, "\r\n About\r\n it\r\nlink: 0\ndatabase: \nstatus: Connected\n");
  EXPECT_NE(err.find("error: not available: disconnect"), std::string::npos);
}

TEST_F(CliSession, ConnectAnswersTheOpenDatabaseDialog) {
  TestDriver driver;
  driver.Always(MSG_OPEN, {{TestDriver::Packet(MSG_CONNECTED)}});
  std::string path =
      dir.Write("two.tcf", "conf_version = 1.1\n" + Database("a", "Alpha", driver.Port()) +
                               Database("b", "Beta", driver.Port()));
  EXPECT_EQ(Run({"answer text Beta", "open " + path, "status", "connect Alpha", "status",
                 "connect Nobody", "status"}),
            0)
      << err;
  EXPECT_EQ(out,
            "link: 1\ndatabase: Beta\nstatus: Connected\n"
            "link: 1\ndatabase: Alpha\nstatus: Connected\n"
            "link: 1\ndatabase: Alpha\nstatus: Connected\n");
  // The unknown name is refused and the dialog cancelled.
  EXPECT_NE(err.find("message: No Database Selected: Select a database or press cancel"),
            std::string::npos)
      << err;
}

TEST_F(CliSession, OpenRemoteFetchesFromTheUrl) {
  TestDriver driver;
  driver.Always(MSG_OPEN, {{TestDriver::Packet(MSG_CONNECTED)}});
  HttpTestServer http;
  http.Route("/conf/top.tcf", 200, "conf_version = 1.1\nitem = cat : Catalogue\n");
  http.Route("/conf/cat", 200, Database("cat", "Catalogue", driver.Port()));
  EXPECT_EQ(Run({"open-remote " + http.Url("/conf/top.tcf"), "status", "databases",
                 "get-setting \"Default URL Section\" \"Recent URL 1:\""}),
            0)
      << err;
  EXPECT_EQ(out, "link: 1\ndatabase: Catalogue\nstatus: Connected\n- Catalogue [cat]\n" +
                     http.Url("/conf/top.tcf") + "\n");

  // A 404: the fetch's message, then the open's.
  EXPECT_EQ(Run({"open-remote " + http.Url("/none"), "status"}), 3);
  EXPECT_NE(err.find("message: Error accessing URL: " + http.Url("/none") +
                     "\nmessage: Tamsel: Couldn't read the selected URL\n"),
            std::string::npos)
      << err;
  EXPECT_EQ(out, "link: -1\ndatabase: \nstatus: \n");

  // Cancelled: nothing fetched, no message, no document.
  std::size_t before = http.RequestHeads().size();
  EXPECT_EQ(Run({"open-remote", "status"}), 3);
  EXPECT_EQ(http.RequestHeads().size(), before);
  EXPECT_EQ(err, "");
}

}  // namespace

namespace {

TEST_F(CliSession, FindInAnEmptyRecordWindowReportsTheWordNotFound) {
  TestDriver driver;
  driver.Always(MSG_OPEN, {{TestDriver::Packet(MSG_CONNECTED)}});
  std::string path =
      dir.Write("one.tcf", "conf_version = 1.1\n" + Database("cat", "Catalogue", driver.Port()));
  // Find Text is always offered on the record window; Find Next only once a
  // word has been found.
  EXPECT_EQ(Run({"find whale", "find-next"}, {path}), 1) << err;
  EXPECT_EQ(out, "");
  EXPECT_NE(err.find("message: Search Result: 'WHALE' not found\n"), std::string::npos) << err;
  EXPECT_EQ(err.find("error: not available: find\n"), std::string::npos) << err;
  EXPECT_NE(err.find("error: not available: find-next\n"), std::string::npos) << err;
}

}  // namespace

namespace {

// An output stream whose every write fails, as standard output on a full disk.
struct FullDevice : std::streambuf {
  int overflow(int) override { return traits_type::eof(); }
  std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST_F(CliSession, ExitStatusTellsUnknownFromFailedAndBailStopsAtTheFirst) {
  TestDriver driver;
  driver.Always(MSG_OPEN, {{TestDriver::Packet(MSG_CONNECTED)}});
  driver.Always(
      MSG_SEARCH,
      {{TestDriver::Packet(MSG_STATUS, std::string("no index\0", 9), STATUS_SEARCH_ERROR)}});
  std::string path =
      dir.Write("one.tcf", "conf_version = 1.1\n" + Database("cat", "Catalogue", driver.Port()));
  std::string missing = dir.File("missing.tcf");

  // Ran and failed outranks unknown; the rest still run.
  EXPECT_EQ(Run({"open " + missing, "bogus", "status"}), 3);
  EXPECT_EQ(out, "link: -1\ndatabase: \nstatus: \n");
  EXPECT_EQ(Run({"bogus", "status"}), 1);

  // The driver refuses the search.
  EXPECT_EQ(Run({"row 1 Words whale", "search", "status"}, {path}), 3) << err;
  EXPECT_NE(err.find("message: Search Cancelled!: ERROR from database  driver:\\nno index\\n\n"),
            std::string::npos)
      << err;

  // --bail: stops at the failing command with its status.
  EXPECT_EQ(Run({"status", "open " + missing, "status"}, {"--bail"}), 3);
  EXPECT_EQ(out, "link: -1\ndatabase: \nstatus: \n");
  EXPECT_EQ(Run({"bogus", "open " + missing}, {"--bail"}), 1);

  // -c and -f run in the order given.
  std::string script = dir.Write("script", "# a comment\n\nget-setting A b\nstatus\n");
  EXPECT_EQ(Run({}, {"-c", "set-setting A b one", "-f", script, "-c", "set-setting A b two", "-f",
                     script}),
            0)
      << err;
  EXPECT_EQ(out, "one\nlink: -1\ndatabase: \nstatus: \ntwo\nlink: -1\ndatabase: \nstatus: \n");

  // Standard output that cannot be written.
  FullDevice full;
  std::ostream broken(&full);
  std::istringstream in;
  std::ostringstream e;
  std::vector<char*> argv = {const_cast<char*>("tamsel-cli"), const_cast<char*>("-c"),
                             const_cast<char*>("status"), const_cast<char*>("-c"),
                             const_cast<char*>("get-setting A b")};
  EXPECT_EQ(RunTamselCli(static_cast<int>(argv.size()), argv.data(), in, broken, e, false), 3);
  EXPECT_EQ(e.str(), "error: cannot write to standard output\n");
}

TEST_F(CliSession, ConnectRetriesADatabaseWhoseFileFailedToLoad) {
  TestDriver driver;
  driver.Always(MSG_OPEN, {{TestDriver::Packet(MSG_CONNECTED)}});
  HttpTestServer http;
  http.Route("/c/top.tcf", 200, "conf_version = 1.1\nitem = a : Alpha\nitem = b : Beta\n");
  http.Route("/c/a", 200, Database("a", "Alpha", driver.Port()));
  std::ostringstream o, e;
  CCliSession session(o, e);
  EXPECT_EQ(session.Execute("answer text Alpha"), kCommandOk);
  EXPECT_EQ(session.Execute("open-remote " + http.Url("/c/top.tcf")), kCommandOk) << e.str();

  // Beta's file is missing: the connect fails and leaves nothing connected.
  EXPECT_EQ(session.Execute("connect Beta"), kCommandFailed);
  EXPECT_EQ(session.Execute("status"), kCommandOk);
  EXPECT_EQ(o.str(), "link: 0\ndatabase: \nstatus: Connected\n");
  EXPECT_NE(e.str().find("message: File Open Error: Can't open configuration file for b:"),
            std::string::npos)
      << e.str();

  // Once the file is there, the next connect reads it.
  http.Route("/c/b", 200, Database("b", "Beta", driver.Port()));
  o.str("");
  EXPECT_EQ(session.Execute("connect Beta"), kCommandOk) << e.str();
  EXPECT_EQ(session.Execute("status"), kCommandOk);
  EXPECT_EQ(o.str(), "link: 1\ndatabase: Beta\nstatus: Connected\n");
}

TEST_F(CliSession, ArgumentProblemsSayWhatIsWrong) {
  TestDriver driver;
  driver.Always(MSG_OPEN, {{TestDriver::Packet(MSG_CONNECTED)}});
  driver.Always(MSG_SEARCH, {{TestDriver::Packet(MSG_HIT_COUNT, "", 0, 0)}});
  std::string path =
      dir.Write("one.tcf", "conf_version = 1.1\n" + Database("cat", "Catalogue", driver.Port()));
  EXPECT_EQ(Run({"row 1 Color red"}, {path}), 1);
  EXPECT_EQ(err.substr(err.find("error:")),
            "error: no field Color in row 1; it offers: Words, Year\n");

  EXPECT_EQ(Run({"full", "full 2"}, {path}), 1);
  EXPECT_NE(err.find("error: no titles: there are no search results\n"
                     "error: no titles: there are no search results\n"),
            std::string::npos)
      << err;

  // Dates: ISO forms are taken, anything unreadable is refused.
  EXPECT_EQ(Run({"row 1 Year", "from 1 2022-03", "to 1 1999", "fields"}, {path}), 0) << err;
  EXPECT_NE(out.find("row 1: Year FROM "), std::string::npos) << out;
  for (const char* bad : {"2022-13", "3/2022", "Marz 2022", "March", "2022-02-30"}) {
    EXPECT_EQ(Run({"row 1 Year", std::string("from 1 ") + bad}, {path}), 1) << bad;
    EXPECT_NE(err.find(std::string("error: not a date: ") + bad + " (use open, specify"),
              std::string::npos)
        << err;
  }

  // A store that fails is reported.
  std::string file = dir.Write("not-a-dir", "");
  ScopedEnv blocked{"XDG_CONFIG_HOME", file.c_str()};
  EXPECT_EQ(Run({"set-setting A b c"}), 3);
  EXPECT_EQ(err.rfind("message: Settings Not Saved: Tamsel could not save its settings: ", 0), 0u)
      << err;
  EXPECT_NE(err.find("\nerror: "), std::string::npos) << err;
}

}  // namespace
