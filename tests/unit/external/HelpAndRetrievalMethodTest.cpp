#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "TempDir.h"
#include "external/CHelpTopics.h"
#include "external/CRetrievalMethodDlg.h"

namespace {

using Words = std::vector<std::string>;

TEST(HelpTopicsTest, EveryTopicHasItsOwnPage) {
  std::set<std::string> pages;
  for (int topic :
       {CHelpTopics::kSearchCriteriaTopic, CHelpTopics::kSaveMailTopic, CHelpTopics::kSummaryTopic,
        CHelpTopics::kFullRecordTopic, CHelpTopics::kBasicModeTopic}) {
    std::string page = CHelpTopics::PageForTopic(topic);
    EXPECT_NE(page, CHelpTopics::kIndexPage) << topic;
    pages.insert(page);
  }
  EXPECT_EQ(pages.size(), 5u);
  EXPECT_EQ(CHelpTopics::PageForTopic(1), "index.html");
  EXPECT_EQ(CHelpTopics::PagePath("/h", CHelpTopics::kSummaryTopic), "/h/summary.html");
}

TEST(HelpTopicsTest, FindsTheFirstDirectoryWithTheIndex) {
  TempDir empty;
  TempDir installed;
  installed.Write("index.html", "<html></html>");
  EXPECT_EQ(
      CHelpTopics::FindHelpDirectory({empty.File("none"), empty.Path(), installed.Path() + "/"}),
      installed.Path());
  EXPECT_EQ(CHelpTopics::FindHelpDirectory({empty.Path()}), "");

  Words candidates = CHelpTopics::CandidateDirectories("/usr/local/bin/tamsel");
  ASSERT_FALSE(candidates.empty());
  EXPECT_EQ(candidates[0], "/usr/local/bin/../share/tamsel/help");
  // From the build tree the source tree's pages are found.
  EXPECT_EQ(CHelpTopics::FindHelpDirectory(CHelpTopics::CandidateDirectories("")),
            std::string(TAMSEL_SOURCE_DIR) + "/data/help");
}

// The bundled pages: all there, and every link between them leads somewhere.
TEST(HelpTopicsTest, BundledPagesAreCompleteAndLinked) {
  std::string directory = std::string(TAMSEL_SOURCE_DIR) + "/data/help";
  std::regex link("href=\"([^\"#:]+)(#[^\"]*)?\"");
  for (const std::string& page : CHelpTopics::AllPages()) {
    std::string path = directory + "/" + page;
    ASSERT_TRUE(FileExists(path)) << page;
    std::string text = ReadWholeFile(path);
    EXPECT_NE(text.find("<title>"), std::string::npos) << page;
    EXPECT_EQ(text.find("<script"), std::string::npos) << page;
    for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it) {
      EXPECT_TRUE(FileExists(directory + "/" + (*it)[1].str())) << page << " -> " << (*it)[1];
    }
  }
}

TEST(RetrievalMethodDlgTest, OffersAbstractAndThePrograms) {
  CRetrievalMethodDlg dialog({{"View", "a"}, {"Plot", "b"}, {"View", "c"}, {"Fourth", "d"}});
  EXPECT_EQ(dialog.Caption(), "Retrieval Method");
  // Room for three programs beside "Abstract".
  EXPECT_EQ(dialog.Choices(), (Words{"Abstract", "View", "Plot", "View"}));
  dialog.choice = 2;
  dialog.OnInit();
  EXPECT_TRUE(dialog.AbstractChosen());
  EXPECT_EQ(dialog.ChosenLabel(), "");

  dialog.SetAnswerText("Plot");
  EXPECT_FALSE(dialog.AbstractChosen());
  EXPECT_EQ(dialog.ChosenLabel(), "Plot");
  dialog.SetAnswerText("plot");  // case counts: no such button
  EXPECT_EQ(dialog.ChosenLabel(), "Plot");
  dialog.SetAnswerText("View");
  EXPECT_EQ(dialog.choice, 1);
  dialog.SetAnswerText("Abstract");
  EXPECT_TRUE(dialog.AbstractChosen());
}

}  // namespace
