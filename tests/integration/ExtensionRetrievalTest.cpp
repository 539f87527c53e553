// Retrieve Full through an extension program, end to end in one document:
// the Retrieval Method question, the requests on the wire, the data file and
// the program's arguments.

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "../unit/external/RecordingProgram.h"
#include "LoopbackDocument.h"
#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "doc/CDocExternal.h"
#include "doc/CTmsfrmDoc.h"
#include "driver/CDriverLink.h"
#include "driver/CListSummary.h"
#include "external/CRetrievalMethodDlg.h"

namespace {

std::string Z(const std::string& text) {
  return text + std::string(1, '\0');
}

// The names of the "EXT*.tmp" files in `directory`.
std::vector<std::string> DataFiles(const std::string& directory) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(directory.c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name.rfind("EXT", 0) == 0) {
        names.push_back(name);
      }
    }
    closedir(dir);
  }
  return names;
}

struct ExtensionRetrievalTest : ::testing::Test, LoopbackDocument {
  std::string program;  // in a directory with a blank in its name
  std::string second;

  void SetUp() override {
    mkdir(dir.File("my tools").c_str(), 0700);
    mkdir(dir.File("tmp").c_str(), 0700);
    app.tempDirectory = dir.File("tmp") + "/";
    program = WriteRecordingProgram(dir, "my tools/record");
    second = WriteRecordingProgram(dir, "second");
    std::string config = CatalogueConfig(
        "t_field_name = Name\ndb_group = debian\nno_info = 1\n"
        "extension_label = Keep\n"
        "extension_program = \"" +
        program + "\" --mode \"two words\"\n" +
        "extension_label = Keep\n"
        "extension_program = " +
        second + "\nextension_label = Gone\nextension_program = " + dir.File("missing") + "\n");
    ASSERT_TRUE(OpenConfig(config));
    ASSERT_TRUE(Connect());
    // A search with twelve matches, all titles in.
    driver.OnRequest(MSG_SEARCH, {{TestDriver::Packet(MSG_HIT_COUNT, "", 0, 12)}});
    for (int n = 1; n <= 12; ++n) {
      driver.OnRequest(MSG_GET_TITLE,
                       {{TestDriver::Packet(MSG_TITLE, Z("Title " + std::to_string(n)), n)}});
    }
    doc->Summary().ResetForSearch();
    doc->Link().SendSearch(1, 0, Z(std::string(1, '\0') + "x") + Z("T"));
    ASSERT_TRUE(loop.RunUntil([&] { return doc->Summary().Titles().size() == 12u; }));
    ASSERT_TRUE(loop.RunUntil([&] { return doc->Link().State() == LINK_IDLE; }));
  }

  // Retrieve Full on titles 4, 9 and 12, answering the Retrieval Method
  // dialog with `label`.
  void RetrieveWith(const std::string& label, const std::vector<int>& selection = {11, 3, 8}) {
    ui.QueueDialog([label](CDialogModel& dialog) {
      static_cast<CRetrievalMethodDlg&>(dialog).SetAnswerText(label);
      return true;
    });
    doc->Summary().SetSelection(selection);
    doc->Summary().RetrieveFull();
  }
};

TEST_F(ExtensionRetrievalTest, CollectsInSelectionOrderAndStartsTheFirstProgramOfTheLabel) {
  for (int n : {4, 9, 12}) {
    driver.OnRequest(MSG_GET_EXTENSION_DATA,
                     {{TestDriver::Packet(MSG_EXTENSION_DATA, Z("Data " + std::to_string(n)), n)}});
  }
  std::size_t before = driver.Received().size();
  RetrieveWith("Keep");
  EXPECT_EQ(doc->Link().Busy().Text(), CDocExternal::kRetrievingText);
  ASSERT_TRUE(loop.RunUntil([&] { return doc->Link().State() == LINK_IDLE; }));
  EXPECT_EQ(driver.Received().substr(before),
            TestDriver::Packet(MSG_GET_EXTENSION_DATA, "", 4) +
                TestDriver::Packet(MSG_GET_EXTENSION_DATA, "", 9) +
                TestDriver::Packet(MSG_GET_EXTENSION_DATA, "", 12));
  EXPECT_EQ(ui.dialogKinds, std::vector<std::string>{"retrieval-method"});
  EXPECT_FALSE(doc->Link().Busy().IsShown());

  const CExtensionPrograms::Outcome& outcome = doc->External().LastOutcome();
  ASSERT_TRUE(outcome.started) << ::testing::PrintToString(ui.Texts());
  EXPECT_EQ(ReadWholeFile(outcome.fileName), "Data 4\r\nData 9\r\nData 12");
  struct stat info {};
  ASSERT_EQ(lstat(outcome.fileName.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  // Quotes group the words; the file name comes last, as one word.
  EXPECT_EQ(RecordedArgs(program),
            (std::vector<std::string>{"--mode", "two words", outcome.fileName}));
  EXPECT_FALSE(FileExists(second + ".args"));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ExtensionRetrievalTest, AbstractAndCancelFetchNoExtensionData) {
  // "Abstract" goes on with full records.
  driver.OnRequest(MSG_GET_RECORD, {{TestDriver::Packet(MSG_RECORD, Z("Full 2"), 2)}});
  RetrieveWith("Abstract", {1});
  ASSERT_TRUE(loop.RunUntil([&] { return doc->Link().State() == LINK_IDLE; }));
  ASSERT_TRUE(driver.WaitForRequests(2));
  EXPECT_EQ(driver.Requests().back().header.type, static_cast<std::uint32_t>(MSG_GET_RECORD));

  // Cancel: nothing at all is asked for (a request would leave the idle state).
  doc->Summary().SetSelection({3});
  doc->Summary().RetrieveFull();
  EXPECT_EQ(ui.dialogKinds.size(), 2u);
  EXPECT_EQ(doc->Link().State(), LINK_IDLE);
  EXPECT_FALSE(doc->Link().Busy().IsShown());
}

TEST_F(ExtensionRetrievalTest, ACancelledWaitStillEndsInTheProgram) {
  driver.OnRequest(MSG_GET_EXTENSION_DATA, {{TestDriver::Packet(MSG_EXTENSION_DATA, Z("A"), 4)}});
  driver.OnRequest(MSG_GET_EXTENSION_DATA, {{TestDriver::Packet(MSG_EXTENSION_DATA, Z("B"), 5)}});
  RetrieveWith("Keep", {3, 4});
  doc->Link().CancelOperation();
  EXPECT_EQ(doc->Link().State(), LINK_IDLE);
  ASSERT_TRUE(loop.RunUntil([&] { return doc->External().LastOutcome().started; }));
  EXPECT_EQ(ReadWholeFile(doc->External().LastOutcome().fileName), "A\r\nB");
}

TEST_F(ExtensionRetrievalTest, FailuresAreToldAndEndTheWait) {
  // A missing program: the load message; the file is still there for it.
  driver.OnRequest(MSG_GET_EXTENSION_DATA, {{TestDriver::Packet(MSG_EXTENSION_DATA, Z("A"), 4)}});
  RetrieveWith("Gone", {3});
  ASSERT_TRUE(loop.RunUntil([&] { return doc->Link().State() == LINK_IDLE; }));
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Couldn't load program"});
  EXPECT_EQ(DataFiles(dir.File("tmp")).size(), 1u);

  // No data file can be made: no program, a message instead of a busy
  // window left waiting.
  ui.messages.clear();
  app.tempDirectory = dir.File("no such directory") + "/";
  driver.OnRequest(MSG_GET_EXTENSION_DATA, {{TestDriver::Packet(MSG_EXTENSION_DATA, Z("A"), 4)}});
  RetrieveWith("Keep", {3});
  ASSERT_TRUE(loop.RunUntil([&] { return doc->Link().State() == LINK_IDLE; }));
  EXPECT_FALSE(doc->Link().Busy().IsShown());
  EXPECT_FALSE(doc->External().LastOutcome().started);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find("no such directory"), std::string::npos);
  EXPECT_FALSE(FileExists(program + ".args"));
}

}  // namespace
