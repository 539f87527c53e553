#pragma once

#include <string>
#include <vector>

// The program's own help: which bundled page answers which help topic, and
// where the pages are installed.
class CHelpTopics {
 public:
  // Topics of the pages' and dialogs' Help buttons.
  static constexpr int kSearchCriteriaTopic = 131173;
  static constexpr int kSaveMailTopic = 131180;
  static constexpr int kSummaryTopic = 131190;
  static constexpr int kFullRecordTopic = 131191;
  static constexpr int kBasicModeTopic = 131194;
  // The list browser is explained with the search page's browse button.
  static constexpr int kListBrowserTopic = kSearchCriteriaTopic;

  static constexpr const char* kIndexPage = "index.html";
  static constexpr const char* kUsingHelpPage = "using-help.html";
  static constexpr const char* kIndexMenuText = "&Index";
  static constexpr const char* kUsingHelpMenuText = "&Using Help";
  static constexpr const char* kHelpWindowCaption = "Tamsel Help";

  // The page of `topic`; the index for a topic without a page of its own.
  static std::string PageForTopic(int topic);

  // Every page the help consists of, the index first.
  static std::vector<std::string> AllPages();

  // Where to look for the pages, in order: "../share/tamsel/help" beside the
  // directory of `executablePath` (an installed program), then the source
  // tree's "data/help" (a program run from its build directory).
  static std::vector<std::string> CandidateDirectories(const std::string& executablePath);

  // The first of `candidates` that holds the index page, without a trailing
  // "/"; "" when none does.
  static std::string FindHelpDirectory(const std::vector<std::string>& candidates);

  // The full name of `topic`'s page inside `directory`.
  static std::string PagePath(const std::string& directory, int topic);
};
