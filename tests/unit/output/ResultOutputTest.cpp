#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "FakeUi.h"
#include "ManualEventLoop.h"
#include "ScriptedSmtpServer.h"
#include "TempDir.h"
#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
#include "output/CResultOutput.h"
#include "output/CSaveMailDlg.h"

namespace {

using Source = CResultOutput::Source;
using Outcome = CResultOutput::Outcome;

const std::string kBrief = "Books  Mon Dec 07 01:26:02 2026\n";
const std::string kFull =
    "\n#####\n#    TAMSEL SEARCH RESULTS: Mon Dec 07 01:26:02 2026\n#             CONNECTED to: "
    "Books\n#\n#              Title : cats\n# \n# \n#####\n\n";

struct ResultOutputTest : ::testing::Test {
  TempDir dir;
  FakeUi ui;
  ManualEventLoop loop;
  CAppState app;
  CSettingsStore settings{dir.File("Tamsel.conf")};
  CResultOutput output{ui, loop, app, settings};

  void SetUp() override {
    app.privateDirectory = dir.Path() + "/";
    loop.SetSimulatedTime(true);
  }

  static CResultOutput::Content Records(const std::string& text) {
    return {Source::Records, text, {}, {}};
  }
  static CResultOutput::Content List(std::vector<std::string> titles,
                                     std::vector<int> selection = {}) {
    return {selection.empty() ? Source::List : Source::Selected, "", std::move(titles),
            std::move(selection)};
  }
  // The Save/Mail dialog answered with the given choice (and recipient).
  void AnswerDialog(int choice, const std::string& to = "") {
    ui.QueueDialog([choice, to](CDialogModel& model) {
      auto& dialog = static_cast<CSaveMailDlg&>(model);
      if (choice == CSaveMailDlg::kChoiceMail) {
        dialog.ChooseMail();
        dialog.to = to;
      } else {
        dialog.ChooseSave();
      }
      return true;
    });
  }
};

TEST_F(ResultOutputTest, SavedFilesForEachHeaderMode) {
  const std::string records = "TI: First\nAU: Someone\n\nTI: Second\n";
  const std::string crlfRecords = "TI: First\r\nAU: Someone\r\n\r\nTI: Second\r\n";
  const std::vector<std::string> headers = {"", kBrief, kFull};
  for (int mode = 0; mode <= 2; ++mode) {
    std::string path = dir.File("result" + std::to_string(mode) + ".txt");
    AnswerDialog(CSaveMailDlg::kChoiceSave);
    ui.QueueFile(path);
    std::string header = CResultOutput::ChosenHeader(mode, kBrief, kFull);
    EXPECT_EQ(output.SaveMail(Records(records), header), Outcome::Saved);
    EXPECT_EQ(ReadWholeFile(path), CResultOutput::WithCrLf(headers[mode]) + crlfRecords);
    EXPECT_EQ(app.StatusMessage(), "Result saved");
  }
  EXPECT_EQ(ReadWholeFile(dir.File("result1.txt")),
            "Books  Mon Dec 07 01:26:02 2026\r\n" + crlfRecords);
  EXPECT_EQ(ReadWholeFile(dir.File("result2.txt")).substr(0, 9), "\r\n#####\r\n");
  EXPECT_EQ(ui.fileRequests.back().fileName, "*.txt");
  EXPECT_TRUE(ui.fileRequests.back().save);
}

TEST_F(ResultOutputTest, ExistingFileAppendOverwriteOrCancel) {
  std::string path = dir.Write("list.txt", "old\r\n");
  auto list = List({"one", "two"});

  // Yes appends, header again.
  AnswerDialog(CSaveMailDlg::kChoiceSave);
  ui.QueueFile(path);
  ui.QueueAnswer(MsgAnswer::Yes);
  EXPECT_EQ(output.SaveMail(list, kBrief), Outcome::Saved);
  AnswerDialog(CSaveMailDlg::kChoiceSave);
  ui.QueueFile(path);
  ui.QueueAnswer(MsgAnswer::Yes);
  EXPECT_EQ(output.SaveMail(list, kBrief), Outcome::Saved);
  std::string once = "Books  Mon Dec 07 01:26:02 2026\r\none\r\ntwo\r\n";
  EXPECT_EQ(ReadWholeFile(path), "old\r\n" + once + once);
  EXPECT_EQ(app.StatusMessage(), "Summary list saved");
  EXPECT_EQ(ui.messages[0].caption, "Append data to File?");
  EXPECT_EQ(ui.messages[0].buttons, MsgButtons::YesNoCancel);

  // No overwrites.
  AnswerDialog(CSaveMailDlg::kChoiceSave);
  ui.QueueFile(path);
  ui.QueueAnswer(MsgAnswer::No);
  EXPECT_EQ(output.SaveMail(List({"only", "three", "four"}, {0, 2}), ""), Outcome::Saved);
  EXPECT_EQ(ReadWholeFile(path), "only\r\nfour\r\n");

  // Cancel leaves it alone.
  AnswerDialog(CSaveMailDlg::kChoiceSave);
  ui.QueueFile(path);
  ui.QueueAnswer(MsgAnswer::Cancel);
  EXPECT_EQ(output.SaveMail(list, kBrief), Outcome::Cancelled);
  EXPECT_EQ(ui.Texts().back(), "Save Canceled");
  EXPECT_EQ(ui.messages.back().caption, "Message");
  EXPECT_EQ(ReadWholeFile(path), "only\r\nfour\r\n");
  EXPECT_EQ(app.StatusMessage(), "   ");
}

TEST_F(ResultOutputTest, UnwritablePathsAndQuietCancels) {
  // A directory that is not there, and a read-only file in a writable one.
  AnswerDialog(CSaveMailDlg::kChoiceSave);
  ui.QueueFile(dir.File("missing/out.txt"));
  EXPECT_EQ(output.SaveMail(Records("x\n"), ""), Outcome::NotSaved);
  EXPECT_EQ(ui.Texts().back(), "Error creating file");
  EXPECT_EQ(ui.messages.back().caption, "Error");

  if (geteuid() != 0) {
    std::string locked = dir.Write("locked.txt", "keep\r\n");
    chmod(locked.c_str(), 0444);
    AnswerDialog(CSaveMailDlg::kChoiceSave);
    ui.QueueFile(locked);
    ui.QueueAnswer(MsgAnswer::No);
    EXPECT_EQ(output.SaveMail(Records("x\n"), ""), Outcome::NotSaved);
    EXPECT_EQ(ReadWholeFile(locked), "keep\r\n");
  }

  // A name typed without an extension gets ".txt"; a cancelled chooser says nothing.
  std::size_t shown = ui.messages.size();
  AnswerDialog(CSaveMailDlg::kChoiceSave);
  ui.QueueFile(dir.File("plain"));
  EXPECT_EQ(output.SaveMail(Records("x\n"), ""), Outcome::Saved);
  EXPECT_TRUE(FileExists(dir.File("plain.txt")));
  AnswerDialog(CSaveMailDlg::kChoiceSave);
  ui.QueueFile(std::nullopt);
  EXPECT_EQ(output.SaveMail(Records("x\n"), ""), Outcome::Cancelled);
  EXPECT_EQ(ui.messages.size(), shown);

  // Selected List without a selection does nothing at all.
  app.SetStatusMessage("before");
  EXPECT_EQ(output.SaveMail({Source::Selected, "", {"a"}, {}}, ""), Outcome::NotRun);
  EXPECT_EQ(app.StatusMessage(), "before");
}

TEST_F(ResultOutputTest, EnablingRules) {
  EXPECT_FALSE(CResultOutput::Enabled(Records("")));
  EXPECT_TRUE(CResultOutput::Enabled(Records("x")));
  EXPECT_FALSE(CResultOutput::Enabled({Source::Summary, "", {}, {}}));
  EXPECT_TRUE(CResultOutput::Enabled({Source::Summary, "s", {}, {}}));
  EXPECT_TRUE(CResultOutput::Enabled({Source::Selected, "", {}, {}}));
}

TEST_F(ResultOutputTest, MailPathRemembersAndReports) {
  ScriptedSmtpServer server(loop);
  server.ScriptTexts({"220 mail.example ESMTP\r\n", "250 mail.example\r\n", "250 OK\r\n",
                      "250 OK\r\n", "354 go ahead please\r\n", "250 Queued\r\n"});
  settings.WriteSettingText(kSectionMailParameters, kEntrySmtpHost, server.HostSetting());
  AnswerDialog(CSaveMailDlg::kChoiceMail, "ann@example.org");
  EXPECT_EQ(output.SaveMail(Records("TI: One\n.\n"), kBrief), Outcome::Mailed);
  EXPECT_EQ(app.StatusMessage(), "Result mailed");
  std::string received = server.received;
  EXPECT_EQ(received.substr(received.find("Subject:")),
            "Subject: Tamsel Search Results\r\n\r\nBooks  Mon Dec 07 01:26:02 2026\r\nTI: "
            "One\r\n..\r\n\r\n.\r\n");
  EXPECT_FALSE(FileExists(dir.File("smtp.txt")));  // mailed and gone
  EXPECT_EQ(output.lastOutputChoice, 1);
  EXPECT_EQ(output.lastMailTo, "ann@example.org");

  // The next dialog opens on Mail with the last recipient, unless in kiosk mode.
  std::string shownTo;
  ui.QueueDialog([&](CDialogModel& model) {
    shownTo = static_cast<CSaveMailDlg&>(model).to;
    return false;
  });
  EXPECT_EQ(output.SaveMail({Source::Summary, "s", {}, {}}, ""), Outcome::Cancelled);
  EXPECT_EQ(shownTo, "ann@example.org");
  app.kioskMode = 1;
  ui.QueueDialog([&](CDialogModel& model) {
    shownTo = static_cast<CSaveMailDlg&>(model).to;
    return false;
  });
  output.SaveMail({Source::Summary, "s", {}, {}}, "");
  EXPECT_EQ(shownTo, "");

  // A refused summary: the not-mailed status, and summary lines cut at 120.
  server.ScriptTexts(
      {"220 mail.example ESMTP\r\n", "250 mail.example\r\n", "250 OK\r\n", "550 no such user\r\n"});
  AnswerDialog(CSaveMailDlg::kChoiceMail, "nobody@example.org");
  EXPECT_EQ(output.SaveMail({Source::Summary, "s", {}, {}}, ""), Outcome::NotMailed);
  EXPECT_EQ(app.StatusMessage(), "Summary not mailed");
  EXPECT_EQ(CResultOutput::MailBody({Source::Summary, std::string(130, 'z') + "\nb", {}, {}}, ""),
            std::string(120, 'z') + "\r\nb\r\n");

  // The host typed into the proposal field is stored.
  settings.WriteSettingText(kSectionMailParameters, kEntrySmtpHost, "");
  server.ScriptTexts({"220 mail.example ESMTP\r\n", "250 mail.example\r\n", "250 OK\r\n",
                      "250 OK\r\n", "354 go ahead please\r\n", "250 Queued\r\n"});
  ui.QueueDialog([&](CDialogModel& model) {
    auto& dialog = static_cast<CSaveMailDlg&>(model);
    dialog.ChooseMail();
    EXPECT_EQ(dialog.host, "mailhost");
    dialog.host = server.HostSetting();
    dialog.to = "ann@example.org";
    return true;
  });
  EXPECT_EQ(output.SaveMail(List({"a", "b"}, {1}), ""), Outcome::Mailed);
  EXPECT_EQ(app.StatusMessage(), "Summary list mailed");
  EXPECT_EQ(settings.ReadSettingText(kSectionMailParameters, kEntrySmtpHost, ""),
            server.HostSetting());
}

TEST_F(ResultOutputTest, PrintPagesAndStatuses) {
  std::vector<std::string> titles(200, "t");
  auto pages = CResultOutput::PrintPages(List(titles), kBrief, 40);
  ASSERT_EQ(pages.size(), 4u);
  EXPECT_EQ(pages[0].lines[0].text, "Books  Mon Dec 07 01:26:02 2026");
  EXPECT_EQ(pages[0].lines[1].position, 2);
  // Selected with nothing selected: the header only.
  auto none = CResultOutput::PrintPages({Source::Selected, "", titles, {}}, kBrief, 40);
  ASSERT_EQ(none.size(), 1u);
  EXPECT_EQ(none[0].lines.size(), 1u);
  output.PrintCanceled();
  EXPECT_EQ(app.StatusMessage(), "Print canceled");
  output.Printed(Source::Summary);
  EXPECT_EQ(app.StatusMessage(), "Summary printed");
}

}  // namespace
