#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>

#include "QueryListFixture.h"
#include "app/AppNames.h"

namespace {

using Strings = std::vector<std::string>;

struct QueryListFileTest : QueryListFixture {
  std::string Saved(const std::string& name) {
    std::string path = dir.File(name);
    ui.QueueFile(path);
    EXPECT_TRUE(commands.SaveQueryList());
    return path;
  }
};

// One query alone, as the file writes it: compares every stored value.
std::string Block(const CQueryRecord& record) {
  CQueryList one;
  one.AddLoaded(record);
  return CQueryListFile::Format(one);
}

TEST_F(QueryListFileTest, WritesTheLayoutByteForByteAndReadsItBack) {
  NameFilledForm("sea");
  CQueryRecord blank;
  blank.name = "blank";
  queries.AddLoaded(blank);
  std::string path = Saved("list.qry");

  // clang-format off
  const std::string expected = CrLf({
      "345672", "### TAMSEL PRIVATE FILE, DO NOT EDIT ###", "sea",
      "Title", "whale", "01", "0", "0", "0", "01", "0", "0", "0",
      "Count", "", "11", "0", "0", "5", "10", "0", "0", "100",
      "Year", "", "11", "0", "0", "1990", "00", "0", "0", "0",
      "Issued", "", "11", "3", "0", "1990", "10", "12", "0", "1995",
      "Date", "", "11", "3", "15", "1990", "10", "12", "31", "1995",
      "Lang", "", "01", "0", "0", "0", "01", "0", "0", "0",
      "English", "1", "Online", "0", "Limit 3", "0", "Limit 4", "0",
      // A query with nothing in it still has its whole block.
      "blank",
      "", "", "01", "0", "0", "0", "01", "0", "0", "0",
      "", "", "01", "0", "0", "0", "01", "0", "0", "0",
      "", "", "01", "0", "0", "0", "01", "0", "0", "0",
      "", "", "01", "0", "0", "0", "01", "0", "0", "0",
      "", "", "01", "0", "0", "0", "01", "0", "0", "0",
      "", "", "01", "0", "0", "0", "01", "0", "0", "0",
      "", "0", "", "0", "", "0", "", "0"});
  // clang-format on
  EXPECT_EQ(ReadWholeFile(path), expected);
  EXPECT_EQ(ui.fileRequests.at(0).filters.at(0).second, "*.qry");
  EXPECT_TRUE(ui.fileRequests.at(0).save);

  // Into a new document and out again: the same bytes.
  CQueryList loaded;
  ASSERT_TRUE(CQueryListFile::Load(path, loaded, ui));
  EXPECT_EQ(loaded.queryNames, (Strings{"sea", "blank"}));
  EXPECT_EQ(loaded.currentQueryName, "");
  EXPECT_EQ(CQueryListFile::Format(loaded), expected);
  // LF line ends read the same.
  std::string lf = expected;
  std::erase(lf, '\r');
  CQueryList fromLf;
  for (const auto& record : CQueryListFile::Parse(lf).records) {
    fromLf.AddLoaded(record);
  }
  EXPECT_EQ(CQueryListFile::Format(fromLf), expected);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(QueryListFileTest, LoadedQuerySearchesAsTheOriginalAndShowsMonthNames) {
  NameFilledForm("sea");
  std::string before = Body();
  std::string path = Saved("list.qry");
  queries.DeleteAll();
  form.ClearAll();
  ASSERT_TRUE(CQueryListFile::Load(path, queries, ui));
  ASSERT_TRUE(form.ApplyQuery("sea"));
  EXPECT_EQ(Body(), before);
  EXPECT_EQ(form.fromLabels[3], "March 1990");
  EXPECT_EQ(form.toLabels[4], "December 31, 1995");
  // An open end shows the field's own word again.
  EXPECT_EQ(form.toLabels[2], "Newest");
  EXPECT_EQ(form.limitChecked, (std::array<int, 4>{1, 0, 0, 0}));
}

TEST_F(QueryListFileTest, LongTermsAndNamesComeBackWhole) {
  std::string term(10000, 'x');
  term[4321] = '\r';  // a lone CR is part of the text
  std::string name = std::string(500, 'n') + "\r";
  form.SetTerm(0, term);
  ASSERT_TRUE(form.CaptureQuery(name));
  CQueryList loaded;
  ASSERT_TRUE(CQueryListFile::Load(Saved("long.qry"), loaded, ui));
  ASSERT_NE(loaded.Find(name), nullptr);
  EXPECT_EQ(loaded.Find(name)->fields[0].term, term);
}

TEST_F(QueryListFileTest, LineBreaksInsideATextCannotShiftTheBlock) {
  form.SetTerm(0, "two\nlines");
  ASSERT_TRUE(form.CaptureQuery("q"));
  CQueryRecord second;
  second.name = "after";
  queries.AddLoaded(second);
  auto parsed = CQueryListFile::Parse(CQueryListFile::Format(queries));
  ASSERT_EQ(parsed.records.size(), 2u);
  EXPECT_EQ(parsed.records[0].fields[0].term, "two lines");
  EXPECT_EQ(parsed.records[1].name, "after");
  EXPECT_FALSE(parsed.truncated);
}

TEST_F(QueryListFileTest, CutAtEveryByteGivesOnlyWholeQueries) {
  NameFilledForm("sea");
  form.SetTerm(0, "second");
  ASSERT_TRUE(form.CaptureQuery("other"));
  const std::string file = CQueryListFile::Format(queries);
  const auto full = CQueryListFile::Parse(file);
  ASSERT_EQ(full.records.size(), 2u);
  const size_t headerEnd = file.find("sea\r\n");
  const size_t firstEnd = file.find("other\r\n");
  for (size_t size = 0; size < file.size(); ++size) {
    SCOPED_TRACE(size);
    auto cut = CQueryListFile::Parse(std::string_view(file).substr(0, size));
    EXPECT_EQ(cut.recognised, size >= 6);
    size_t whole = size >= firstEnd ? 1 : 0;
    ASSERT_EQ(cut.records.size(), whole);
    if (whole == 1) {
      EXPECT_EQ(Block(cut.records[0]), Block(full.records[0]));
    }
    EXPECT_EQ(cut.truncated, size > headerEnd && size != firstEnd);
  }

  // Through the file: the whole query loads, and the message names the file.
  std::string path = dir.Write("cut.qry", file.substr(0, file.size() - 3));
  CQueryList loaded;
  ASSERT_TRUE(CQueryListFile::Load(path, loaded, ui));
  EXPECT_EQ(loaded.queryNames, Strings{"sea"});
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find(path), std::string::npos);
  EXPECT_EQ(ui.messages[0].caption, kAppTitle);
}

TEST_F(QueryListFileTest, NumbersAsReadAndGarbageNeverBreaksTheReader) {
  Strings lines = {"  345672 trailing", "anything", "odd"};
  Strings row = {"Date", "t", "1x", "13", "40", "-5", "", "junk", "99999999999", "-0012"};
  for (int r = 0; r < 6; ++r) {
    lines.insert(lines.end(), row.begin(), row.end());
  }
  lines.insert(lines.end(), {"English", "7", "", "", "x", "1", "y", "0"});
  std::string path = dir.Write("odd.qry", CrLf(lines));
  CQueryList loaded;
  ASSERT_TRUE(CQueryListFile::Load(path, loaded, ui));
  const CQueryRecord* odd = loaded.Find("odd");
  ASSERT_NE(odd, nullptr);
  EXPECT_EQ(odd->fields[5].from.isSet, 1);
  EXPECT_EQ(odd->fields[5].from.isLowEnd, 0);
  EXPECT_EQ(odd->fields[5].from.month, 13);
  EXPECT_EQ(odd->fields[5].from.day, 40);
  EXPECT_EQ(odd->fields[5].from.year, -5);
  EXPECT_EQ(odd->fields[5].to.isSet, 0);
  EXPECT_EQ(odd->fields[5].to.month, 0);
  EXPECT_EQ(odd->fields[5].to.day, 2147483647);
  EXPECT_EQ(odd->fields[5].to.year, -12);
  EXPECT_EQ(odd->limitChecked, (std::array<int, 4>{7, 0, 1, 0}));

  // Out-of-table values are shown and sent without a month name.
  queries.AddLoaded(*odd);
  ASSERT_TRUE(form.ApplyQuery("odd"));
  form.SelectRowField(0, "Title");
  form.SetTerm(0, "w");
  EXPECT_EQ(form.fromLabels[4], " 40, -5");
  EXPECT_NE(Body().find("13/40/-5 0/2147483647/-12"), std::string::npos);

  // Random bytes after a valid first line: every query read has its 69 lines.
  std::mt19937 random(12345);
  for (int round = 0; round < 200; ++round) {
    std::string text = "345672\n";
    size_t length = random() % 4000;
    for (size_t i = 0; i < length; ++i) {
      // Mostly line ends and digits, so blocks do get completed.
      static const char kBytes[] = "\n\n\n\r01-9a\0\xff";
      text += kBytes[random() % (sizeof kBytes - 1)];
    }
    auto parsed = CQueryListFile::Parse(text);
    size_t lineEnds = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    size_t records = parsed.records.size();
    EXPECT_LE(records * CQueryListFile::kBlockLines + (records > 0 ? 2 : 0), lineEnds);
    // Whatever was read writes and reads back the same.
    CQueryList list;
    for (const auto& record : parsed.records) {
      list.AddLoaded(record);
    }
    std::string written = CQueryListFile::Format(list);
    CQueryList reread;
    for (const auto& record : CQueryListFile::Parse(written).records) {
      reread.AddLoaded(record);
    }
    EXPECT_EQ(CQueryListFile::Format(reread), written);
  }
}

TEST_F(QueryListFileTest, FilesThatAreNoQueryListChangeNothing) {
  NameFilledForm("sea");
  const Strings names = queries.queryNames;

  // Another first line: nothing loaded and nothing said.
  EXPECT_FALSE(CQueryListFile::Load(dir.Write("other.qry", "345673\r\nx\r\nq\r\n"), queries, ui));
  EXPECT_FALSE(CQueryListFile::Load(dir.Write("empty.qry", ""), queries, ui));
  EXPECT_TRUE(ui.messages.empty());

  // A directory, a FIFO and a missing file cannot be read.
  mkdir(dir.File("sub").c_str(), 0700);
  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
  for (const char* name : {"sub", "fifo", "missing.qry"}) {
    EXPECT_FALSE(CQueryListFile::Load(dir.File(name), queries, ui));
  }
  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_EQ(ui.messages[2].text, "Error creating file");
  EXPECT_EQ(ui.messages[2].caption, "Error");

  // A file past the limit is not read at all (sparse, so it costs nothing).
  std::string big = dir.File("big.qry");
  int fd = open(big.c_str(), O_CREAT | O_WRONLY, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, "345672\n", 7), 7);
  ASSERT_EQ(ftruncate(fd, CQueryListFile::kMaxFileSize + 1), 0);
  close(fd);
  EXPECT_FALSE(CQueryListFile::Load(big, queries, ui));
  ASSERT_EQ(ui.messages.size(), 4u);
  EXPECT_EQ(ui.messages[3].text, big + " is too large to be a query list.");
  EXPECT_EQ(queries.queryNames, names);
}

TEST_F(QueryListFileTest, SavingAsksBeforeReplacingAndReportsFailure) {
  NameFilledForm("sea");
  std::string path = dir.Write("old.qry", "old");
  // "No" goes back to the chooser; cancelling it leaves the old file.
  ui.QueueFile(path);
  ui.QueueAnswer(MsgAnswer::No);
  EXPECT_FALSE(commands.SaveQueryList());
  EXPECT_EQ(ReadWholeFile(path), "old");
  EXPECT_EQ(ui.fileRequests.size(), 2u);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, path + " already exists.\nDo you want to replace it?");
  EXPECT_EQ(ui.messages[0].buttons, MsgButtons::YesNo);

  ui.QueueFile(path);
  ui.QueueAnswer(MsgAnswer::Yes);
  EXPECT_TRUE(commands.SaveQueryList());
  EXPECT_EQ(ReadWholeFile(path), CQueryListFile::Format(queries));

  // The default extension is added to a bare name, and loading finds it.
  ui.QueueFile(dir.File("bare"));
  EXPECT_TRUE(commands.SaveQueryList());
  EXPECT_TRUE(FileExists(dir.File("bare.qry")));
  queries.DeleteAll();
  ui.QueueFile(dir.File("bare"));
  EXPECT_TRUE(commands.RetrieveQueryList());
  EXPECT_EQ(queries.queryNames, Strings{"sea"});

  ui.messages.clear();
  ui.QueueFile(dir.File("no/such/dir/list.qry"));
  EXPECT_FALSE(commands.SaveQueryList());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Error creating file");
  EXPECT_EQ(ui.messages[0].caption, "Error");

  // After Delete All, a file of the two header lines.
  commands.Run(CSavedQueries::Command::DeleteAll);
  EXPECT_EQ(ReadWholeFile(Saved("none.qry")),
            CrLf({"345672", "### TAMSEL PRIVATE FILE, DO NOT EDIT ###"}));
}

}  // namespace
