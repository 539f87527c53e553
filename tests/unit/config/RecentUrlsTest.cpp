#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeUi.h"
#include "TempDir.h"
#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
#include "config/CRecentUrls.h"
#include "config/CUrlDialog.h"

namespace {

using Urls = std::vector<std::string>;

struct RecentUrlsTest : ::testing::Test {
  TempDir dir;
  FakeUi ui;
  CSettingsStore settings{dir.File("Tamsel.conf")};

  // Default URL first, then the five recent ones; "" where an entry is empty.
  void Store(const Urls& urls) { ASSERT_TRUE(settings.WriteUrlList(urls)); }
  Urls Stored() const {
    Urls urls{settings.ReadSettingText(kSectionDefaultUrl, kEntryDefaultUrl, "?")};
    for (int i = 1; i <= kRecentUrlCount; ++i) {
      urls.push_back(settings.ReadSettingText(kSectionDefaultUrl,
                                              "Recent URL " + std::to_string(i) + ":", "?"));
    }
    return urls;
  }
  // Answers the next URL dialog with `answer`, remembering what it showed.
  void Answer(const std::string& answer) {
    ui.QueueDialog([this, answer](CDialogModel& model) {
      auto& dialog = dynamic_cast<CUrlDialog&>(model);
      shownList = dialog.list;
      shownText = dialog.text;
      shownCaption = dialog.Caption();
      shownPrompt = dialog.Prompt();
      dialog.SetAnswerText(answer);
      return true;
    });
  }

  // The dialog, then (as after a successful fetch) the list update.
  std::string Choose(bool askForUrl, const std::string& proposed) {
    std::string url = AskConfigurationUrl(ui, settings, proposed);
    if (!url.empty()) {
      EXPECT_TRUE(RememberConfigurationUrl(settings, askForUrl, proposed, url));
    }
    return url;
  }

  Urls shownList;
  std::string shownText;
  std::string shownCaption;
  std::string shownPrompt;
};

TEST_F(RecentUrlsTest, DialogShowsTheProposalFirstThenTheRecentUrls) {
  // "Recent URL 3:" is empty: the list ends there although 4 is set.
  Store({"http://d/", "http://r1/", "http://r2/", "", "http://r4/"});
  Answer("http://r1/");
  EXPECT_EQ(Choose(true, "http://proposed/"), "http://r1/");
  EXPECT_EQ(ui.dialogKinds, Urls{"url"});
  EXPECT_EQ(shownCaption, "Open Remote Configuration");
  EXPECT_EQ(shownPrompt, "Enter configuration url:");
  EXPECT_EQ(shownList, (Urls{"http://proposed/", "http://r1/", "http://r2/"}));
  EXPECT_EQ(shownText, "http://proposed/");
  // The proposal took the default's place in the rewritten list.
  EXPECT_EQ(Stored(), (Urls{"http://proposed/", "http://r1/", "http://r2/", "", "", ""}));
}

TEST_F(RecentUrlsTest, ChosenUrlMovesToPositionOneWithoutDuplicates) {
  Store({"http://d/", "http://r1/", "http://r2/", "http://r3/"});
  Answer("http://r3/");
  EXPECT_EQ(Choose(true, "http://d/"), "http://r3/");
  EXPECT_EQ(Stored(), (Urls{"http://d/", "http://r3/", "http://r1/", "http://r2/", "", ""}));

  // A new URL on a full list pushes the oldest one out.
  Store({"http://d/", "http://r1/", "http://r2/", "http://r3/", "http://r4/", "http://r5/"});
  Answer("http://new/");
  EXPECT_EQ(Choose(true, "http://d/"), "http://new/");
  EXPECT_EQ(Stored(), (Urls{"http://d/", "http://new/", "http://r1/", "http://r2/", "http://r3/",
                            "http://r4/"}));

  // Without askForUrl the chosen URL becomes the default.
  Answer("http://r2/");
  EXPECT_EQ(Choose(false, "http://d/"), "http://r2/");
  EXPECT_EQ(Stored(), (Urls{"http://r2/", "http://d/", "http://new/", "http://r1/", "http://r3/",
                            "http://r4/"}));
}

TEST_F(RecentUrlsTest, ChoosingTheStoredDefaultLeavesTheListAlone) {
  Urls list{"http://d/", "http://r1/", "http://r2/", "", "", ""};
  Store(list);
  Answer("http://d/");
  EXPECT_EQ(Choose(true, "http://d/"), "http://d/");
  EXPECT_EQ(Stored(), list);
}

TEST_F(RecentUrlsTest, FirstUseKeepsTheDefaultEmptyAndPadsTheList) {
  // Nothing stored: the proposed URL, once used, becomes "Recent URL 1:".
  Answer("http://builtin/db.conf");
  EXPECT_EQ(Choose(true, "http://builtin/db.conf"), "http://builtin/db.conf");
  EXPECT_EQ(Stored(), (Urls{"", "http://builtin/db.conf", "", "", "", ""}));

  // The next time it is offered after the proposal.
  Answer("http://builtin/db.conf");
  Choose(true, "http://builtin/db.conf");
  EXPECT_EQ(shownList, (Urls{"http://builtin/db.conf", "http://builtin/db.conf"}));
  EXPECT_EQ(Stored(), (Urls{"", "http://builtin/db.conf", "", "", "", ""}));
}

TEST_F(RecentUrlsTest, CancelReturnsNothingAndChangesNothing) {
  Store({"http://d/", "http://r1/"});
  std::string before = ReadWholeFile(settings.FilePath());
  ui.QueueDialog([](CDialogModel& dialog) {
    dynamic_cast<CUrlDialog&>(dialog).SetAnswerText("http://typed-then-cancelled/");
    return false;
  });
  EXPECT_EQ(Choose(true, "http://other/"), "");
  EXPECT_EQ(ReadWholeFile(settings.FilePath()), before);
}

TEST_F(RecentUrlsTest, EmptyTextKeepsTheDialogOpen) {
  CUrlDialog dialog("Set configuration URL", "Enter configuration url:");
  dialog.list = {"http://a/", "http://b/"};
  dialog.OnInit();
  EXPECT_EQ(dialog.text, "http://a/");
  dialog.SetAnswerText("");
  EXPECT_FALSE(dialog.OnOk());
  dialog.SetAnswerText("http://c/");
  EXPECT_TRUE(dialog.OnOk());

  // Through the Ui: the refused empty answer is followed by a real one.
  ui.QueueDialog([](CDialogModel& d) {
    dynamic_cast<CUrlDialog&>(d).SetAnswerText("");
    return true;
  });
  Answer("http://typed/");
  EXPECT_EQ(Choose(true, "http://p/"), "http://typed/");
}

TEST_F(RecentUrlsTest, AskingStoresNothingAndCredentialsAreNeverStored) {
  Store({"http://d/", "http://r1/"});
  std::string before = ReadWholeFile(settings.FilePath());
  Answer("http://ann:secret@h/top.conf");
  EXPECT_EQ(AskConfigurationUrl(ui, settings, "http://d/"), "http://ann:secret@h/top.conf");
  EXPECT_EQ(ReadWholeFile(settings.FilePath()), before);

  // Stored once fetched, without the user part; one stored earlier with
  // credentials matches it and loses them too.
  Store({"http://d/", "http://ann@h/top.conf", "http://bob:pw@other/x"});
  ASSERT_TRUE(
      RememberConfigurationUrl(settings, true, "http://d/", "http://ann:secret@h/top.conf"));
  EXPECT_EQ(Stored(), (Urls{"http://d/", "http://h/top.conf", "http://other/x", "", "", ""}));
  std::string file = ReadWholeFile(settings.FilePath());
  EXPECT_EQ(file.find("secret"), std::string::npos);
  EXPECT_EQ(file.find("bob"), std::string::npos);

  EXPECT_EQ(WithoutUserInfo("https://u:p@w@host:8080/a@b?c=@#@"), "https://host:8080/a@b?c=@#@");
  EXPECT_EQ(WithoutUserInfo("http://host/a@b"), "http://host/a@b");
  EXPECT_EQ(WithoutUserInfo("http://@host"), "http://host");
  EXPECT_EQ(WithoutUserInfo("user@host/x"), "user@host/x");
  EXPECT_EQ(WithoutUserInfo("http://"), "http://");
}

}  // namespace
