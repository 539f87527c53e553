// tamsel-cli browsing the sample catalogue's heading lists and searching from
// the basic mode page, against the real sample driver. Expected headings and
// counts come from the stanza file, so the tests hold for regenerated data.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "SampleSession.h"

namespace {

class BrowseSession : public SampleSuite {
 protected:
  static void SetUpTestSuite() {
    StartDriver({"catalogue"});
    records = std::make_unique<std::vector<Stanza>>(ReadStanzas(SamplePath("catalogue.stanza")));
  }
  static void TearDownTestSuite() {
    SampleSuite::TearDownTestSuite();
    records.reset();
  }

  // Sections with their record counts, in the driver's (sorted) order.
  static std::map<std::string, int> Sections() {
    std::map<std::string, int> sections;
    for (const Stanza& r : *records) {
      if (r.Has("section")) {
        ++sections[r.First("section")];
      }
    }
    return sections;
  }

  // The blocks of `browse*` output: each starts with its "heading:" line.
  static std::vector<std::vector<std::string>> Listings(const std::string& out) {
    std::vector<std::vector<std::string>> blocks;
    for (const std::string& line : Lines(out)) {
      if (line.rfind("heading: ", 0) == 0) {
        blocks.emplace_back();
      }
      if (!blocks.empty()) {
        blocks.back().push_back(line);
      }
    }
    return blocks;
  }
  // The entry number at the start of an entry line.
  static int EntryNumber(const std::string& line) { return std::stoi(line); }

  static inline std::unique_ptr<std::vector<Stanza>> records;
};

TEST_F(BrowseSession, PickedSectionGoesIntoTheRowAndFindsItsRecords) {
  std::map<std::string, int> sections = Sections();
  ASSERT_TRUE(sections.count("games"));
  ASSERT_TRUE(sections.count("admin"));
  ProgramResult run =
      work->Commands({"open sample.tcf", "row 4 Section", "browse", "browse-type games",
                      "browse-ok", "fields", "search", "summary-text"});
  EXPECT_EQ(run.status, 0) << run.err;
  auto listings = Listings(run.out);
  ASSERT_EQ(listings.size(), 2u) << run.out;
  // Opening: the heading line, then the first window from entry 0, each
  // entry showing its record count and the section.
  const std::vector<std::string>& opened = listings[0];
  EXPECT_EQ(opened[0], "heading: Records  Section");
  ASSERT_GT(opened.size(), 2u);
  const auto& [firstSection, firstCount] = *sections.begin();
  EXPECT_EQ(opened[1], "0 " + std::to_string(firstCount) + "\\t" + firstSection);
  // The jump selects the heading; OK puts it into row 4, the search finds it.
  std::string gamesLine = std::to_string(sections["games"]) + "\\tgames";
  auto jumped = std::find_if(listings[1].begin(), listings[1].end(), [&](const std::string& l) {
    return l.find('*') != std::string::npos;
  });
  ASSERT_NE(jumped, listings[1].end()) << run.out;
  EXPECT_EQ(jumped->substr(jumped->find(' ') + 1), gamesLine);
  EXPECT_NE(run.out.find("games\nrow 1: Keyword\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("row 4: Section = games\n"), std::string::npos) << run.out;
  EXPECT_EQ(MatchCount(run.out), sections["games"]) << run.out;
}

TEST_F(BrowseSession, ClicksQuoteAndJoinAndAppendToTheRowsTerm) {
  ProgramResult run =
      work->Commands({"open sample.tcf", "row 3 Description gui", "browse", "browse-type chess",
                      "browse-cancel", "browse", "browse-click 0", "browse-click 2 ctrl",
                      "browse-click 1 ctrl", "browse-click 2 ctrl", "browse-ok", "browse-ok",
                      "row 5 Maintainer", "browse Maintainer", "browse-click 0", "browse-ok"});
  // The second browse-ok has no browser left.
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(ErrorLines(run.err), std::vector<std::string>{"error: not available: browse-ok"});
  auto listings = Listings(run.out);
  ASSERT_EQ(listings.size(), 9u) << run.out;
  // Cancel left the row alone; the clicks mark entries 0 and 1 in the
  // order picked, the third click taking 2 away again.
  const std::vector<std::string>& last = listings[6];
  ASSERT_GT(last.size(), 4u);
  EXPECT_EQ(last[1].substr(0, 2), "0*");
  EXPECT_EQ(last[2].substr(0, 2), "1*");
  EXPECT_EQ(last[3].substr(0, 2), "2 ");
  auto word = [](const std::string& line) { return line.substr(line.rfind("\\t") + 2); };
  std::string expected = "gui OR " + word(last[1]) + " OR " + word(last[2]);
  EXPECT_NE(run.out.find("\n" + expected + "\n"), std::string::npos) << run.out;
  // A maintainer (name and address) holds blanks: it is put in quotes,
  // unless it holds a double quote already.
  std::string maintainer = word(listings[8][1]);
  ASSERT_NE(maintainer.find(' '), std::string::npos);
  bool quoted = maintainer.find('"') == std::string::npos;
  EXPECT_EQ(Lines(run.out).back(), quoted ? "\"" + maintainer + "\"" : maintainer);
}

TEST_F(BrowseSession, KeysReachBothEndsOfAListOfThousands) {
  ProgramResult run =
      work->Commands({"open sample.tcf", "row 5 Maintainer", "browse \"Maintainer words\"",
                      "browse-key end", "browse-key pageup", "browse-key home", "browse-key down",
                      "browse-key down", "browse-cancel"});
  EXPECT_EQ(run.status, 0) << run.err;
  auto listings = Listings(run.out);
  ASSERT_EQ(listings.size(), 6u) << run.out;
  EXPECT_EQ(listings[0][0], "heading: Records  Maintainer words");
  int last = EntryNumber(listings[1].back());
  EXPECT_GT(last, 1000) << "the list of maintainer words should hold thousands";
  // End loads up to the last entry; Page Up stays inside the loaded window;
  // Home comes back to entry 0; Down twice selects the second visible entry.
  EXPECT_EQ(EntryNumber(listings[2].back()), last);
  EXPECT_EQ(EntryNumber(listings[3][1]), 0);
  EXPECT_EQ(listings[5][2].substr(0, 2), "1*");
  for (const auto& listing : listings) {
    EXPECT_LE(listing.size() - 1, 30u) << "more than one window held";
  }
}

TEST_F(BrowseSession, BasicModeSearchesTypedTextAndPickedHeadings) {
  std::map<std::string, int> sections = Sections();
  auto chess = std::count_if(records->begin(), records->end(),
                             [](const Stanza& r) { return r.HasWord("chess"); });
  ASSERT_GT(chess, 0);
  ProgramResult run = work->Commands(
      {"open sample.tcf", "basic", "basic-field 1", "basic", "basic-type chess", "basic-search",
       "summary-text", "header brief", "basic-field 3", "basic", "basic-type games", "basic-search",
       "summary-text", "basic-field 2", "basic-search"});
  EXPECT_EQ(run.status, 3) << run.err;
  EXPECT_NE(run.out.find("button 1: Keyword\nbutton 2: Package\nbutton 3: Section\n"
                         "button 4: Maintainer\nbutton 5: Home page\n"
                         "mode: Connected to Package catalogue Database\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("mode: Connected to Package catalogue Database,  Keyword search\n"),
            std::string::npos);
  EXPECT_NE(run.out.find("mode: Connected to Package catalogue Database,  Section browse\n"),
            std::string::npos);
  EXPECT_NE(run.out.find("Packages matching your search: " + std::to_string(chess)),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("Packages matching your search: " + std::to_string(sections["games"])),
            std::string::npos)
      << run.out;
  // Search with nothing typed.
  EXPECT_NE(run.err.find("message: Search Error: No search argument!\n"), std::string::npos)
      << run.err;
}

TEST_F(BrowseSession, WithoutBasicModeItsCommandsAreNotAvailable) {
  ProgramResult run = work->Commands({"open sample.tcf", "disconnect", "basic-field 1", "browse"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(ErrorLines(run.err), (std::vector<std::string>{"error: not available: basic-field",
                                                           "error: not available: browse"}));
}

}  // namespace
