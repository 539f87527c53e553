#include <gtest/gtest.h>

#include "FakeUi.h"
#include "TempDir.h"
#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
#include "output/CSaveMailDlg.h"

namespace {

struct SaveMailDlgTest : ::testing::Test {
  TempDir dir;
  FakeUi ui;
  CSettingsStore settings{dir.File("Tamsel.conf")};
  CSaveMailDlg dialog{settings, ui};
};

TEST_F(SaveMailDlgTest, LayoutsFollowTheChoiceAndTheStoredHost) {
  int changes = 0;
  Connection watch = dialog.layoutChanged.Connect([&] { ++changes; });
  dialog.OnInit();
  EXPECT_EQ(dialog.CurrentLayout(), CSaveMailDlg::Layout::Save);
  EXPECT_EQ(dialog.HeightReduction(), 165);

  // No host stored: the host field shows the proposal.
  dialog.ChooseMail();
  EXPECT_EQ(dialog.CurrentLayout(), CSaveMailDlg::Layout::MailWithHost);
  EXPECT_EQ(dialog.HeightReduction(), 0);
  EXPECT_EQ(dialog.host, "mailhost");
  EXPECT_EQ(dialog.subject, "Tamsel Search Results");

  // The subject is not remembered across layouts.
  dialog.subject = "my own";
  dialog.ChooseSave();
  dialog.ChooseMail();
  EXPECT_EQ(dialog.subject, "Tamsel Search Results");
  EXPECT_EQ(changes, 4);

  ASSERT_TRUE(
      settings.WriteSettingText(kSectionMailParameters, kEntrySmtpHost, "smtp.example:2525"));
  CSaveMailDlg stored(settings, ui);
  stored.choice = CSaveMailDlg::kChoiceMail;
  stored.OnInit();
  EXPECT_EQ(stored.CurrentLayout(), CSaveMailDlg::Layout::Mail);
  EXPECT_EQ(stored.HeightReduction(), 55);
  EXPECT_EQ(stored.host, "smtp.example:2525");
  stored.SetAnswerText("ann@example.org");  // no host field: the answer is the recipient
  EXPECT_EQ(stored.to, "ann@example.org");
}

TEST_F(SaveMailDlgTest, MailNeedsARecipient) {
  dialog.OnInit();
  EXPECT_TRUE(dialog.OnOk());  // saving needs none
  dialog.ChooseMail();
  EXPECT_FALSE(dialog.OnOk());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "'To:' address is required for Mail");
  EXPECT_EQ(ui.messages[0].caption, "Required Data Missing");
  dialog.to = "ann@example.org";
  EXPECT_TRUE(dialog.OnOk());
}

}  // namespace
