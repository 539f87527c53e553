// tamsel-cli against the real sample driver, searching the bundled package
// catalogue through sample.tcf. What the driver should find is worked out
// from the stanza file itself, so the tests hold for regenerated sample data.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SampleSession.h"

namespace {

class CatalogueSession : public SampleSuite {
 protected:
  static void SetUpTestSuite() {
    StartDriver({"catalogue"});
    records = std::make_unique<std::vector<Stanza>>(ReadStanzas(SamplePath("catalogue.stanza")));
  }
  static void TearDownTestSuite() {
    SampleSuite::TearDownTestSuite();
    records.reset();
  }
  void SetUp() override {
    SampleSuite::SetUp();
    ASSERT_GT(records->size(), 5000u);
  }

  // Opens sample.tcf (the catalogue connects by itself), fills the form,
  // searches, then runs `after`.
  ProgramResult Search(const std::vector<std::string>& form,
                       const std::vector<std::string>& after) const {
    std::vector<std::string> commands = {"open sample.tcf"};
    commands.insert(commands.end(), form.begin(), form.end());
    commands.push_back("search");
    commands.insert(commands.end(), after.begin(), after.end());
    return work->Commands(commands);
  }

  static std::string Title(const Stanza& r) {
    return r.First("package") + " - " + r.First("version") + " - " + r.First("description");
  }
  // The numbered title lines of the records that pass `keep`, in file
  // order, at most `max` of them.
  static std::vector<std::string> ExpectedTitles(const std::function<bool(const Stanza&)>& keep,
                                                 size_t max = 5000) {
    std::vector<std::string> titles;
    for (const auto& r : *records) {
      if (titles.size() < max && keep(r)) {
        titles.push_back(TitleLine(static_cast<int>(titles.size()) + 1, Title(r)));
      }
    }
    return titles;
  }
  static int Count(const std::function<bool(const Stanza&)>& keep) {
    int n = 0;
    for (const auto& r : *records) {
      n += keep(r) ? 1 : 0;
    }
    return n;
  }
  static long Size(const Stanza& r) { return std::stol(r.First("installed-size")); }

  static inline std::unique_ptr<std::vector<Stanza>> records;
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(CatalogueSession, ConnectsTheDefaultDatabaseAndShowsItsForm) {
  // The description follows the reply to the open request; the wait lets it
  // arrive before `info`.
  ProgramResult run =
      work->Commands({"open sample.tcf", "status", "databases", "fields", "wait 0.5", "info"});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string expected =
      "link: 1\n"
      "database: Package catalogue\n"
      "status: Connected\n"
      "+ Debian on this machine [debian]\n"
      "  + Software [software]\n"
      "    - Package catalogue [catalogue]\n"
      "  + History [history]\n"
      "    - Changelog history [changelog]\n"
      "row 1: Keyword\n"
      "row 2: Package\n"
      "row 3: Description\n"
      "row 4: Section\n"
      "row 5: Installed size (KiB) FROM Lowest TO Highest\n"
      "row 6: Also containing\n"
      "limit 1: [ ] Required packages\n"
      "limit 2: [ ] Important packages\n"
      "limit 3: [ ] Games\n"
      "limit 4: [ ] Libraries\n";
  ASSERT_EQ(run.out.substr(0, expected.size()), expected);
  // Then the description the driver sent on open.
  EXPECT_TRUE(Contains(run.out.substr(expected.size()), "Debian package catalogue")) << run.out;
  EXPECT_TRUE(Contains(run.err, "busy: Connecting to Package catalogue\\n\n")) << run.err;
  EXPECT_FALSE(Contains(run.err, "message: ")) << run.err;

  // The configuration named on the command line is opened the same way.
  ProgramResult named = work->Run({"sample.tcf"}, "status\n");
  EXPECT_EQ(named.status, 0) << named.err;
  EXPECT_EQ(named.out, "link: 1\ndatabase: Package catalogue\nstatus: Connected\n");
}

TEST_F(CatalogueSession, FindsWordsNarrowedByLimitBoxesAndLimitRows) {
  auto strategyGames = [](const Stanza& r) {
    return r.HasWord("strategy") && r.First("section") == "games";
  };
  std::vector<std::string> titles = ExpectedTitles(strategyGames);
  ASSERT_GT(titles.size(), 2u);
  ASSERT_LE(titles.size(), 30u);

  ProgramResult run = Search({"row 1 Keyword strategy", "limit 3 on"}, {"titles", "header full"});
  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines = Lines(run.out);
  ASSERT_GT(lines.size(), titles.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + titles.size()), titles);
  EXPECT_TRUE(Contains(run.out, "\n#            Keyword : strategy\n")) << run.out;
  EXPECT_TRUE(Contains(run.out,
                       "\n#    [ ] Required packages   [ ] Important packages   [X] Games   [ ] "
                       "Libraries\n"))
      << run.out;

  // "Also containing" goes as a limit string: words that must occur too.
  int both = Count([](const Stanza& r) { return r.HasWord("strategy") && r.HasWord("warfare"); });
  ASSERT_GT(both, 0);
  ProgramResult limited =
      Search({"row 1 Keyword strategy", "term 6 warfare"}, {"summary-text", "header full"});
  EXPECT_EQ(limited.status, 0) << limited.err;
  EXPECT_EQ(MatchCount(limited.out), both) << limited.out;
  EXPECT_TRUE(Contains(limited.out, "\n#    Also containing : warfare\n")) << limited.out;

  // Words of one field, truncated: the Package field only.
  int named = Count([](const Stanza& r) {
    for (const auto& word : Words(r.First("package"))) {
      if (word.rfind("python3", 0) == 0) {
        return true;
      }
    }
    return false;
  });
  ASSERT_GT(named, 30);
  ProgramResult package = Search({"row 2 Package python3*"}, {"summary-text"});
  EXPECT_EQ(package.status, 0) << package.err;
  EXPECT_EQ(MatchCount(package.out), named) << package.out;
}

TEST_F(CatalogueSession, SearchesTheNumericRangeWithGivenAndOpenEnds) {
  struct Case {
    std::vector<std::string> form;
    std::string fieldsRow;
    std::function<bool(long)> keep;
  };
  const std::vector<Case> cases = {
      {{"from 5 1000", "to 5 2000"},
       "row 5: Installed size (KiB) FROM 1000 TO 2000",
       [](long s) { return s >= 1000 && s <= 2000; }},
      {{"to 5 20"},
       "row 5: Installed size (KiB) FROM Lowest TO 20",
       [](long s) { return s <= 20; }},
      {{"from 5 100000", "to 5 open"},
       "row 5: Installed size (KiB) FROM 100000 TO Highest",
       [](long s) { return s >= 100000; }},
  };
  for (const Case& c : cases) {
    std::vector<std::string> form = {"row 1 Keyword *"};
    form.insert(form.end(), c.form.begin(), c.form.end());
    form.push_back("fields");
    ProgramResult run = Search(form, {"summary-text", "titles"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, c.fieldsRow + "\n")) << run.out;
    auto keep = [&c](const Stanza& r) { return r.Has("installed-size") && c.keep(Size(r)); };
    int count = Count(keep);
    ASSERT_GT(count, 1) << c.fieldsRow;
    EXPECT_EQ(MatchCount(run.out), count) << c.fieldsRow;
    // The first batch of titles is in.
    std::string titles;
    for (const auto& t : ExpectedTitles(keep, 30)) {
      titles += t + '\n';
    }
    EXPECT_TRUE(Contains(run.out, titles)) << c.fieldsRow;
  }
}

TEST_F(CatalogueSession, PagesThroughMoreThan5000MatchesUpToTheLimit) {
  std::vector<std::string> after = {"summary-text"};
  // 30 titles come with the search; 166 batches more make 5000; a 167th
  // press finds the button disabled.
  for (int i = 0; i < 167; ++i) {
    after.push_back("more");
  }
  after.push_back("titles");
  after.push_back("select 5000");
  ProgramResult run = Search({"row 1 Keyword *"}, after);
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(ErrorLines(run.err), std::vector<std::string>{"error: not available: more"});

  const int all = static_cast<int>(records->size());
  const std::string explanation = "Packages matching your search: " + std::to_string(all) +
                                  "\nYour query matched " + std::to_string(all) +
                                  " items.\r\nThe first 30 summaries are being retrieved.\r\n";
  ASSERT_EQ(run.out.substr(0, explanation.size()), explanation);

  std::vector<std::string> titles = ExpectedTitles([](const Stanza&) { return true; });
  ASSERT_EQ(titles.size(), 5000u);
  std::string listed;
  for (const auto& t : titles) {
    listed += t + '\n';
  }
  size_t at = run.out.find(listed);
  ASSERT_NE(at, std::string::npos) << "the title list is not titles 1 to 5000 of the catalogue";
  // Then the summary of the last one.
  const Stanza& last = (*records)[4999];
  EXPECT_EQ(run.out.substr(at + listed.size())
                .rfind("Package name: " + last.First("package") +
                           "\r\nVersion: " + last.First("version") + "\r\n",
                       0),
            0u)
      << run.out.substr(at + listed.size());

  // A status line is written when the text changes, not each time the same
  // text is set again.
  std::string previous;
  for (const auto& line : Lines(run.err)) {
    if (line.rfind("status: ", 0) != 0) {
      continue;
    }
    EXPECT_NE(line, previous) << "status line repeated";
    if (line == previous) {
      break;
    }
    previous = line;
  }
}

TEST_F(CatalogueSession, ShowsSummariesAndFullRecordsWithChosenFieldsAndLabels) {
  std::vector<const Stanza*> found;
  for (const auto& r : *records) {
    if (r.HasWord("strategy") && r.First("section") == "games") {
      found.push_back(&r);
    }
  }
  ASSERT_GE(found.size(), 3u);
  const Stanza& one = *found[0];
  const Stanza& two = *found[1];
  const Stanza& three = *found[2];

  // The summary window: the summary fields with their captions (expanded
  // labels in a new document), continuation lines indented by two blanks,
  // blank lines dropped, each line ended by CR LF and each summary followed
  // by two more.
  auto summary = [](const Stanza& r) {
    std::string text;
    for (const auto& [field, caption] :
         std::vector<std::pair<std::string, std::string>>{{"package", "Package name"},
                                                          {"version", "Version"},
                                                          {"section", "Section"},
                                                          {"maintainer", "Maintainer"},
                                                          {"description", "Description"}}) {
      std::vector<std::string> lines = Lines(r.fields.at(field) + "\n");
      text += caption + ": " + lines[0] + "\r\n";
      for (size_t i = 1; i < lines.size(); ++i) {
        if (!lines[i].empty()) {
          text += "  " + lines[i] + "\r\n";
        }
      }
    }
    return text + "\r\n\r\n";
  };
  ProgramResult summaries = Search({"row 1 Keyword strategy", "limit 3 on"},
                                   {"select 1,3", "select 3,1", "summary-text"});
  EXPECT_EQ(summaries.status, 0) << summaries.err;
  std::string both = summary(one) + summary(three);
  std::string expected = both + both + both;
  ASSERT_GE(summaries.out.size(), expected.size());
  EXPECT_EQ(summaries.out.substr(summaries.out.size() - expected.size()), expected);

  // Full records: the chosen fields in the order of the driver's field list,
  // the labels as chosen, records one after the other and two line feeds
  // per record at the end.
  auto size = [](const Stanza& r) { return r.First("installed-size"); };
  ProgramResult full =
      Search({"row 1 Keyword strategy", "limit 3 on"},
             {"format labels abbreviated fields Installed-Size,Package", "full 1-2",
              "format labels expanded fields Package,Section,Installed-Size", "full 3"});
  EXPECT_EQ(full.status, 0) << full.err;
  const std::string abbreviated =
      "Package: " + one.First("package") + "\nInstalled-Size: " + size(one) +
      "\nPackage: " + two.First("package") + "\nInstalled-Size: " + size(two) + "\n\n\n\n\n";
  const std::string expanded = "Package name: " + three.First("package") +
                               "\nSection: games\nInstalled size (KiB): " + size(three) + "\n\n\n";
  // A new retrieval replaces the records of the last one.
  EXPECT_EQ(full.out, abbreviated + expanded);

  // A record of several lines, with the default fields.
  const Stanza* multi = nullptr;
  for (const auto& r : *records) {
    const std::string name = r.First("package");
    if (r.Has("description") && r.fields.at("description").find('\n') != std::string::npos &&
        name.find_first_not_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos &&
        Count([&name](const Stanza& other) { return other.HasWord(name, "package"); }) == 1) {
      multi = &r;
      break;
    }
  }
  ASSERT_NE(multi, nullptr);
  ProgramResult defaults =
      Search({"row 2 Package " + multi->First("package")}, {"format fields default", "full 1"});
  EXPECT_EQ(defaults.status, 0) << defaults.err;
  std::string description;
  std::vector<std::string> lines = Lines(multi->fields.at("description") + "\n");
  for (size_t i = 0; i < lines.size(); ++i) {
    description += (i == 0 || lines[i].empty() ? "" : "  ") + lines[i] + "\n";
  }
  EXPECT_EQ(
      defaults.out,
      "Package name: " + multi->First("package") + "\nVersion: " + multi->First("version") +
          "\nSection: " + multi->First("section") + "\nMaintainer: " + multi->First("maintainer") +
          "\nInstalled size (KiB): " + size(*multi) + "\nDescription: " + description + "\n\n");
}

TEST_F(CatalogueSession, FindsTextInTheFullRecordWindow) {
  ProgramResult run =
      Search({"row 1 Keyword strategy", "limit 3 on"},
             {"format labels expanded fields Package,Installed-Size", "full 1-2", "find SIZE",
              "find-next", "find-next", "find nowhere-to-be-found", "record-text"});
  EXPECT_EQ(run.status, 0) << run.err;
  // `full` prints the record text first; the finds give offsets into it,
  // case ignored, and Find Next wraps around to the first.
  const std::string text = run.out.substr(0, run.out.find("found "));
  std::string lower = text;
  for (char& c : lower) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  size_t first = lower.find("size");
  size_t second = lower.find("size", first + 1);
  ASSERT_NE(second, std::string::npos) << run.out;
  const std::string finds = "found " + std::to_string(first) + " 4\nfound " +
                            std::to_string(second) + " 4\nfound " + std::to_string(first) + " 4\n";
  EXPECT_EQ(run.out, text + finds + text);
  EXPECT_TRUE(Contains(run.err, "message: Search Result: 'NOWHERE-TO-BE-FOUND' not found\n"))
      << run.err;
}

TEST_F(CatalogueSession, KeepsASavedRecordFormatForTheNextRun) {
  ProgramResult save = Search({"row 1 Keyword strategy", "limit 3 on"},
                              {"format labels abbreviated fields Package", "save-format"});
  EXPECT_EQ(save.status, 0) << save.err;
  ProgramResult next = Search({"row 1 Keyword strategy", "limit 3 on"}, {"full 1"});
  EXPECT_EQ(next.status, 0) << next.err;
  for (const auto& r : *records) {
    if (r.HasWord("strategy") && r.First("section") == "games") {
      EXPECT_EQ(next.out, "Package: " + r.First("package") + "\n\n\n");
      break;
    }
  }
}

}  // namespace
