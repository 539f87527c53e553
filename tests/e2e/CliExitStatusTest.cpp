// What a script learns from tamsel-cli's exit status: each way a command can
// run and fail, against the real sample driver and the bundled configurations.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SampleSession.h"

namespace {

class CliExitStatus : public SampleSuite {
 protected:
  static void SetUpTestSuite() { StartDriver({"catalogue", "changelog"}); }
};

TEST_F(CliExitStatus, CommandsThatRanAndFailedExitWithThree) {
  // Everything works: 0.
  ProgramResult good = work->Run({"-c", "open sample.tcf", "-c", "row 1 Keyword editor", "-c",
                                  "search", "-c", "check sample-separate.tcf"});
  EXPECT_EQ(good.status, 0) << good.err;

  ProgramResult open = work->Run({"-c", "open nowhere.tcf", "-c", "status"});
  EXPECT_EQ(open.status, 3) << open.err;
  EXPECT_EQ(open.out, "link: -1\ndatabase: \nstatus: \n");

  // Nothing listens on port 1.
  ProgramResult remote = work->Run({"-c", "open-remote http://127.0.0.1:1/sample.tcf"});
  EXPECT_EQ(remote.status, 3) << remote.err;

  // A configuration whose database file is missing has an error.
  std::string top = work->File("top.tcf");
  ProgramResult copy = RunProgram(
      "/bin/sh",
      {"-c", "sed 's/changelog :/gone :/' " + work->File("sample-separate.tcf") + " > " + top});
  ASSERT_EQ(copy.status, 0);
  ProgramResult check = work->Run({"-c", "check " + top});
  EXPECT_EQ(check.status, 3) << check.err;
  EXPECT_NE(check.err.find("message: File Open Error: Can't open configuration file for gone:"),
            std::string::npos)
      << check.err;

  // The driver refuses a term without a word in it.
  ProgramResult search = work->Commands({"open sample.tcf", "row 1 Keyword !!!", "search"});
  EXPECT_EQ(search.status, 3) << search.err;
  EXPECT_NE(search.err.find("message: Search Cancelled!: "), std::string::npos) << search.err;

  // --bail stops there; without it the rest runs.
  ProgramResult bail = work->Run({"--bail", "-c", "open sample.tcf", "-c", "row 1 Keyword !!!",
                                  "-c", "search", "-c", "status"});
  EXPECT_EQ(bail.status, 3);
  EXPECT_EQ(bail.out, "");

  // Standard output on a full device.
  ProgramResult full = RunProgram(
      "/bin/sh",
      {"-c", "cd '" + work->Path() +
                 "' && exec '" TAMSEL_CLI_BINARY "' -c 'open sample.tcf' -c status > /dev/full"},
      "", {"XDG_CONFIG_HOME=" + work->File("config"), "TEMP=" + work->File("tmp")});
  EXPECT_EQ(full.status, 3) << full.err;
  EXPECT_NE(full.err.find("error: cannot write to standard output\n"), std::string::npos)
      << full.err;
}

TEST_F(CliExitStatus, ConnectThatDoesNotEndConnectedExitsWithThree) {
  // sample-separate.tcf: no default, so the open asks; the connect names a
  // database the menu does not hold.
  ProgramResult wrong = work->Commands({"open sample-separate.tcf", "connect Nothing", "status"});
  EXPECT_EQ(wrong.status, 3) << wrong.err;
  EXPECT_EQ(wrong.out, "link: 0\ndatabase: \nstatus: \n");

  ProgramResult right =
      work->Commands({"open sample-separate.tcf", "connect Changelog history", "status"});
  EXPECT_EQ(right.status, 0) << right.err;
  EXPECT_EQ(right.out, "link: 1\ndatabase: Changelog history\nstatus: Connected\n");
}

}  // namespace
