#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "FakeUi.h"
#include "RecordingProgram.h"
#include "TempDir.h"
#include "external/CExtensionData.h"
#include "external/CExtensionPrograms.h"
#include "platform/CProcessLauncher.h"

namespace {

using Words = std::vector<std::string>;

// 0x00020003: the time's high and low halves add up to 5.
constexpr std::time_t kTime = 0x00020003;

TEST(ExtensionDataTest, CollectsRecordsInSelectionOrder) {
  CExtensionData data;
  data.Start("Viewer", {3, 8, 11});
  std::vector<int> requested;
  const char* texts[] = {"first", "second\nline", "third"};
  for (const char* text : texts) {
    ASSERT_TRUE(data.NextResultNumber().has_value());
    requested.push_back(*data.NextResultNumber());
    bool last = data.Add(text);
    EXPECT_EQ(last, requested.size() == 3);
  }
  EXPECT_EQ(requested, (std::vector<int>{4, 9, 12}));
  EXPECT_FALSE(data.NextResultNumber().has_value());
  EXPECT_EQ(data.ExtensionText(), "first\nsecond\nline\nthird");
  EXPECT_EQ(data.ExtensionLabel(), "Viewer");
  EXPECT_EQ(data.ExtensionCount(), 3);

  // A second run starts afresh.
  data.Start("Other", {0});
  EXPECT_EQ(data.NextResultNumber(), 1);
  EXPECT_TRUE(data.Add("only"));
  EXPECT_EQ(data.ExtensionText(), "only");
}

TEST(ExtensionDataTest, FileNumberAndText) {
  EXPECT_EQ(CExtensionData::FileNumber(0), 0);
  EXPECT_EQ(CExtensionData::FileNumber(kTime), 5);
  EXPECT_EQ(CExtensionData::FileNumber(0xFFFFFFFF), 131070);
  EXPECT_EQ(CExtensionData::FileName("/tmp/", 5), "/tmp/EXT5.tmp");
  EXPECT_EQ(CExtensionData::FileText("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");
}

TEST(ExtensionDataTest, NeverWritesThroughAPlantedName) {
  TempDir dir;
  std::string temp = dir.Path() + "/";
  // EXT5 is a planted file, EXT6 a link to a file of the victim's, EXT7 a
  // dangling link that creating through would make a file elsewhere.
  std::string planted = dir.Write("EXT5.tmp", "planted");
  std::string victim = dir.Write("victim", "precious");
  ASSERT_EQ(symlink(victim.c_str(), dir.File("EXT6.tmp").c_str()), 0);
  ASSERT_EQ(symlink(dir.File("elsewhere").c_str(), dir.File("EXT7.tmp").c_str()), 0);

  auto written = CExtensionData::WriteFile(temp, kTime, "one\ntwo");
  ASSERT_TRUE(written.has_value());
  EXPECT_EQ(*written, dir.File("EXT8.tmp"));
  EXPECT_EQ(ReadWholeFile(*written), "one\r\ntwo");
  struct stat info {};
  ASSERT_EQ(stat(written->c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  EXPECT_EQ(ReadWholeFile(planted), "planted");
  EXPECT_EQ(ReadWholeFile(victim), "precious");
  EXPECT_FALSE(FileExists(dir.File("elsewhere")));

  // A directory we cannot write into gives no file at all.
  EXPECT_FALSE(CExtensionData::WriteFile(dir.File("missing/"), kTime, "x").has_value());
}

TEST(ProcessLauncherTest, SplitsCommandLinesLikeTheConfigurationMeansThem) {
  using L = CProcessLauncher;
  EXPECT_EQ(L::SplitCommandLine("  prog  -a\tb "), (Words{"prog", "-a", "b"}));
  EXPECT_EQ(L::SplitCommandLine("\"/opt/My Apps/view\" -t \"two words\""),
            (Words{"/opt/My Apps/view", "-t", "two words"}));
  EXPECT_EQ(L::SplitCommandLine("a\"b c\"d \"\""), (Words{"ab cd", ""}));
  EXPECT_EQ(L::SplitCommandLine("C:\\apps\\v.exe"), (Words{"C:\\apps\\v.exe"}));
  EXPECT_TRUE(L::SplitCommandLine("   ").empty());
}

struct ExtensionRunTest : ::testing::Test {
  TempDir dir;
  FakeUi ui;
  CExtensionPrograms programs{ui};
  std::string temp = dir.Path() + "/";
};

TEST_F(ExtensionRunTest, StartsTheFirstProgramOfTheLabelWithItsWordsAndTheFile) {
  TempDir programDir;
  ASSERT_EQ(mkdir(programDir.File("my tools").c_str(), 0755), 0);
  std::string first = WriteRecordingProgram(programDir, "my tools/first viewer");
  std::string second = WriteRecordingProgram(programDir, "second");
  std::vector<CDBExtRec> extensions{
      {"Other", "/bin/false"},
      {"View", "\"" + first + "\" --mode \"side by side\""},
      {"View", second},
  };

  CExtensionData data;
  data.Start("View", {3, 8, 11});
  for (const char* text : {"four", "nine", "twelve"})
    data.Add(text);
  auto outcome = programs.Run(extensions, data.ExtensionLabel(), temp, data.ExtensionText(), kTime);

  EXPECT_TRUE(outcome.started);
  EXPECT_EQ(outcome.fileName, dir.File("EXT5.tmp"));
  EXPECT_EQ(ReadWholeFile(outcome.fileName), "four\r\nnine\r\ntwelve");
  EXPECT_EQ(RecordedArgs(first), (Words{"--mode", "side by side", outcome.fileName}));
  EXPECT_FALSE(FileExists(second + ".args"));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ExtensionRunTest, ReportsProgramsThatCannotRun) {
  std::string plain = dir.Write("not-executable", "data");
  for (const std::string& program : {std::string("/nonexistent/viewer"), plain, std::string("")}) {
    ui.messages.clear();
    auto outcome = programs.Run({{"View", program}}, "View", temp, "data", kTime);
    EXPECT_FALSE(outcome.started) << program;
    EXPECT_FALSE(outcome.fileName.empty());
    ASSERT_EQ(ui.messages.size(), 1u) << program;
    EXPECT_EQ(ui.messages[0].text, "Couldn't load program");
    EXPECT_EQ(ui.messages[0].caption, "Winexec error");
  }
  // No label of that name: nothing to run either.
  ui.messages.clear();
  programs.Run({{"View", "/bin/true"}}, "view", temp, "data", kTime);
  EXPECT_EQ(ui.Texts(), (Words{"Couldn't load program"}));

  // Any other failure names the command line and the error number. An
  // argument longer than the system takes fails with E2BIG (7).
  ui.messages.clear();
  std::string huge(200000, 'x');
  auto outcome = programs.Run({{"View", "/bin/true " + huge}}, "View", temp, "data", kTime);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].caption, "Error Number 7 ");
  EXPECT_EQ(ui.messages[0].text, "/bin/true " + huge + "  " + outcome.fileName);
}

TEST_F(ExtensionRunTest, NoFileNoProgram) {
  TempDir programDir;
  std::string viewer = WriteRecordingProgram(programDir, "viewer");
  auto outcome = programs.Run({{"View", viewer}}, "View", dir.File("missing/"), "data", kTime);
  EXPECT_FALSE(outcome.started);
  EXPECT_TRUE(outcome.fileName.empty());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find(dir.File("missing/")), std::string::npos);
  EXPECT_FALSE(FileExists(viewer + ".args"));
}

}  // namespace
