#include <gtest/gtest.h>

#include "RunProgram.h"
#include "TempDir.h"

namespace {

// The installed program, as outside scripts run it.
TEST(CliBinary, RunsCommandsAndSharesTheSettingsFile) {
  TempDir dir;
  std::vector<std::string> env = {"XDG_CONFIG_HOME=" + dir.Path(), "TEMP=" + dir.Path()};
  ProgramResult set = RunProgram(
      TAMSEL_CLI_BINARY, {"-c", "set-setting \"Mail Parameters\" \"SMTP Host\" mx:2525"}, "", env);
  EXPECT_EQ(set.status, 0) << set.err;

  ProgramResult get =
      RunProgram(TAMSEL_CLI_BINARY, {"-e"}, "get-setting \"Mail Parameters\" \"SMTP Host\"\n", env);
  EXPECT_EQ(get.status, 0) << get.err;
  EXPECT_EQ(get.out, "mx:2525\n");

  ProgramResult bad = RunProgram(TAMSEL_CLI_BINARY, {"-c"}, "", env);
  EXPECT_EQ(bad.status, 2);

  ProgramResult version = RunProgram(TAMSEL_CLI_BINARY, {"--version"}, "", env);
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("tamsel-cli ", 0), 0u);

  // The private temporary directory is gone after the run.
  ProgramResult ls = RunProgram("/bin/ls", {dir.Path()}, "", {});
  EXPECT_EQ(ls.out.find("tamsel-"), std::string::npos) << ls.out;
}

}  // namespace
