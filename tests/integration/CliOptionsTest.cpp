// The Options, help and extension commands of tamsel-cli, through the same
// settings file the GUI reads.

#include <gtest/gtest.h>

#include <sstream>

#include "CliRun.h"
#include "TempDir.h"
#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
#include "cli/CCliMain.h"

namespace {

struct CliOptions : ::testing::Test, CliRun {
  using CliRun::Run;
};

TEST_F(CliOptions, OptionsCommandsStoreWhatTheMenusStore) {
  // A browser path is kept exactly, blanks and letter case included.
  EXPECT_EQ(Run({"browser /opt/My Browser/FireFox", "mail-host mail.example.org:2525",
                 "default-url http://example.org/a.tcf", "default-url http://example.org/b.tcf",
                 "splash", "get-setting \"Browser Section\" Browser:"}),
            0)
      << err;
  EXPECT_EQ(out, "/opt/My Browser/FireFox\n");
  EXPECT_EQ(Run({"get-setting \"Mail Parameters\" \"SMTP Host\"", "get-setting Options Splash",
                 "get-setting \"Default URL Section\" \"Default URL:\"",
                 "get-setting \"Default URL Section\" \"Recent URL 1:\""}),
            0)
      << err;
  EXPECT_EQ(out, "mail.example.org:2525\n1\nhttp://example.org/b.tcf\nhttp://example.org/a.tcf\n");
  // Splash again switches it back.
  EXPECT_EQ(Run({"splash", "get-setting Options Splash"}), 0);
  EXPECT_EQ(out, "0\n");
  // An empty host is no answer: the dialog is cancelled, nothing stored.
  EXPECT_EQ(Run({"mail-host \"\"", "get-setting \"Mail Parameters\" \"SMTP Host\""}), 3);
  EXPECT_EQ(out, "mail.example.org:2525\n");
}

TEST_F(CliOptions, DocumentCommandsNeedTheirDocument) {
  EXPECT_EQ(Run({"help-url", "database-help", "extension Viewer 1", "db-info cat"}), 1);
  EXPECT_EQ(err,
            "error: not available: help-url\nerror: not available: database-help\n"
            "error: not available: extension\nerror: not available: db-info\n");
  EXPECT_EQ(Run({"extension"}), 1);
}

}  // namespace
