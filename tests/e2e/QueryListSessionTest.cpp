// The Queries menu of tamsel-cli against the real sample driver: queries
// named from the changelog's form, put back, deleted, saved to a query list
// file and loaded into a fresh session.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "SampleSession.h"

namespace {

class QueryListSession : public SampleSuite {
 protected:
  static void SetUpTestSuite() { StartDriver({"catalogue", "changelog"}); }

  ProgramResult Changelog(const std::vector<std::string>& after) const {
    std::vector<std::string> commands = {"open sample.tcf", "connect Changelog history"};
    commands.insert(commands.end(), after.begin(), after.end());
    return work->Commands(commands);
  }
};

const std::string kEnd = "\r\n";

// One row block: the range ends as flags, month, day, year.
std::string Row(const std::string& field, const std::string& term, const std::string& from = "01",
                int fromMonth = 0, int fromDay = 0, int fromYear = 0, const std::string& to = "01",
                int toMonth = 0, int toDay = 0, int toYear = 0) {
  std::string block = field + kEnd + term + kEnd;
  for (const auto& [flags, numbers] :
       {std::pair{from, std::vector<int>{fromMonth, fromDay, fromYear}},
        std::pair{to, std::vector<int>{toMonth, toDay, toYear}}}) {
    block += flags + kEnd;
    for (int n : numbers) {
      block += std::to_string(n) + kEnd;
    }
  }
  return block;
}

std::string Limits(const std::string& checked) {
  const char* captions[] = {"Unstable uploads", "Security uploads", "High urgency", "Experimental"};
  std::string block;
  for (size_t i = 0; i < 4; ++i) {
    block += std::string(captions[i]) + kEnd + checked[i] + kEnd;
  }
  return block;
}

const std::vector<std::string> kFirstForm = {"row 1 Changes security fix",
                                             "row 2 Package vim",
                                             "from 4 2022",
                                             "to 4 2023",
                                             "from 5 March 2021",
                                             "to 5 June 2021",
                                             "from 6 March 5, 2022",
                                             "limit 1 on",
                                             "limit 3 on"};

// What `fields` shows of the first query once it is back on the form: the
// month ends as the English month names give them.
const std::string kFirstFields =
    "row 1: Changes = security fix\n"
    "row 2: Package = vim\n"
    "row 3: Author\n"
    "row 4: Date (years) FROM 2022 TO 2023\n"
    "row 5: Date (months) FROM March 2021 TO June 2021\n"
    "row 6: Date (days) FROM March 5, 2022 TO Newest\n"
    "limit 1: [X] Unstable uploads\n"
    "limit 2: [ ] Security uploads\n"
    "limit 3: [X] High urgency\n"
    "limit 4: [ ] Experimental\n";

// The file of the first query alone.
const std::string kFirstFile = "345672" + kEnd + "### TAMSEL PRIVATE FILE, DO NOT EDIT ###" + kEnd +
                               "First" + kEnd + Row("Changes", "security fix") +
                               Row("Package", "vim") + Row("Author", "") +
                               Row("Date (years)", "", "11", 0, 0, 2022, "10", 0, 0, 2023) +
                               Row("Date (months)", "", "11", 3, 0, 2021, "10", 6, 0, 2021) +
                               Row("Date (days)", "", "11", 3, 5, 2022) + Limits("1010");

TEST_F(QueryListSession, NamesSelectsDeletesSavesAndLoadsQueries) {
  std::vector<std::string> commands = kFirstForm;
  commands.insert(commands.end(), {"query-name First", "clear-all", "row 1 Changes other",
                                   "limit 1 off", "query-name second",
                                   // Taken already, whatever the case: refused, then cancelled.
                                   "query-name FIRST", "queries", "clear-all", "query-select first",
                                   "fields", "query-delete SEC", "queries", "query-save q"});
  ProgramResult first = Changelog(commands);
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, "First\nsecond\n" + kFirstFields + "First\n");
  EXPECT_NE(first.err.find("message:  : A query of that name already exists.\\n\\nUse a new name, "
                           "or delete the \\nold query before reusing the name.\n"),
            std::string::npos)
      << first.err;
  // A name typed without an extension gets the list's own.
  EXPECT_EQ(ReadWholeFile(work->File("q.qry")), kFirstFile);

  // A fresh session: loaded, chosen by a prefix of its name (the typing
  // selects it), shown as it was named, and saved again byte for byte.
  ProgramResult second = Changelog({"queries", "query-load q.qry", "queries", "query-select fi",
                                    "fields", "query-save again.qry"});
  EXPECT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(second.out, "First\n" + kFirstFields);
  EXPECT_EQ(ReadWholeFile(work->File("again.qry")), kFirstFile);

  // Delete All, then Save: the two header lines alone.
  ProgramResult emptied =
      Changelog({"query-load q.qry", "query-delete-all", "queries", "query-save empty.qry"});
  EXPECT_EQ(emptied.status, 0) << emptied.err;
  EXPECT_EQ(emptied.out, "");
  EXPECT_EQ(ReadWholeFile(work->File("empty.qry")),
            "345672" + kEnd + "### TAMSEL PRIVATE FILE, DO NOT EDIT ###" + kEnd);
}

TEST_F(QueryListSession, SaveThatWritesNothingFailsAndSelectNeedsAConnection) {
  const std::string kept = work->File("kept.qry");
  FILE* f = fopen(kept.c_str(), "w");
  ASSERT_NE(f, nullptr);
  fputs("keep me", f);
  fclose(f);

  // An unwritable place, and an existing file with the overwrite question
  // unanswered: both exit 3 and leave what was there.
  ProgramResult refused = Changelog({"query-name one", "query-save /proc/no/such.qry"});
  EXPECT_EQ(refused.status, 3);
  EXPECT_NE(refused.err.find("message: Error: Error creating file\n"), std::string::npos)
      << refused.err;
  ProgramResult unanswered = Changelog({"query-name one", "query-save kept.qry"});
  EXPECT_EQ(unanswered.status, 3);
  EXPECT_NE(unanswered.err.find("kept.qry already exists.\\nDo you want to replace it?"),
            std::string::npos)
      << unanswered.err;
  EXPECT_EQ(ReadWholeFile(kept), "keep me");
  ProgramResult replaced = Changelog({"query-name one", "answer yes", "query-save kept.qry"});
  EXPECT_EQ(replaced.status, 0) << replaced.err;
  EXPECT_EQ(ReadWholeFile(kept).substr(0, 8), "345672" + kEnd);

  ProgramResult offline = Changelog({"query-name one", "disconnect", "query-select one", "queries",
                                     "query-load", "query-name a b"});
  EXPECT_EQ(offline.status, 1);
  EXPECT_EQ(offline.out, "one\n");
  EXPECT_EQ(ErrorLines(offline.err), (std::vector<std::string>{"error: not available: query-select",
                                                               "error: usage: query-load PATH",
                                                               "error: usage: query-name NAME"}));

  // Without a document the menu is not there.
  ProgramResult none = work->Commands({"query-name x", "queries"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(ErrorLines(none.err), (std::vector<std::string>{"error: not available: query-name"}));
}

}  // namespace
