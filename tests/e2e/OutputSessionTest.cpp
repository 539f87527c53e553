// Results leaving tamsel-cli against the real sample driver: saved files,
// the printed pages of the summary window, and mail to a real mail server
// on loopback.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "MailServerProcess.h"
#include "SampleSession.h"

namespace {

class OutputSession : public SampleSuite {
 protected:
  static void SetUpTestSuite() { StartDriver({"catalogue"}); }
  ProgramResult Search(const std::string& row, const std::vector<std::string>& after) const {
    std::vector<std::string> commands = {"open sample.tcf", row, "search"};
    commands.insert(commands.end(), after.begin(), after.end());
    return work->Commands(commands);
  }
};

std::string CrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n' && (out.empty() || out.back() != '\r')) {
      out += '\r';
    }
    out += c;
  }
  return out;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

TEST_F(OutputSession, SavesListsAppendingOverwritingOrCancelling) {
  ProgramResult run =
      Search("row 1 Keyword strategy",
             {"header brief", "titles", "save list twice.txt", "answer yes", "save list twice.txt",
              "save list once.txt", "answer no", "save list once.txt", "answer cancel",
              "save list once.txt", "save list no-such-dir/x.txt"});
  EXPECT_EQ(run.status, 3) << run.err;
  std::vector<std::string> lines = Lines(run.out);
  ASSERT_GT(lines.size(), 3u);
  // The brief header is one line, then the titles.
  std::string copy = CrLf(run.out);
  EXPECT_EQ(ReadWholeFile(work->File("twice.txt")), copy + copy);
  EXPECT_EQ(ReadWholeFile(work->File("once.txt")), copy);
  EXPECT_TRUE(Contains(run.err, "message: Message: Save Canceled\n")) << run.err;
  EXPECT_TRUE(Contains(run.err, "message: Error: Error creating file\n")) << run.err;
  EXPECT_TRUE(Contains(run.err, "status: Summary list saved\n")) << run.err;
}

TEST_F(OutputSession, SavesTheFullRecordWindowAndTheSelectedTitles) {
  ProgramResult record =
      Search("row 1 Keyword strategy", {"format header none", "full 2", "save records rec.txt"});
  EXPECT_EQ(record.status, 0) << record.err;
  ASSERT_FALSE(record.out.empty());
  EXPECT_EQ(ReadWholeFile(work->File("rec.txt")), CrLf(record.out));
  EXPECT_TRUE(Contains(record.err, "status: Result saved\n")) << record.err;

  ProgramResult selected =
      Search("row 1 Keyword strategy",
             {"format header none", "titles", "select 1,3", "save selected sel.txt"});
  EXPECT_EQ(selected.status, 0) << selected.err;
  std::vector<std::string> lines = Lines(selected.out);
  ASSERT_GT(lines.size(), 3u);
  EXPECT_EQ(ReadWholeFile(work->File("sel.txt")), lines[0] + "\r\n" + lines[2] + "\r\n");
}

TEST_F(OutputSession, PrintsTheTitleListInPagesOfSixtyLines) {
  std::vector<std::string> after = {"format header none"};
  for (int i = 0; i < 6; ++i) {
    after.push_back("more");
  }
  after.push_back("titles");
  after.push_back("print-pages list");
  ProgramResult run = Search("row 1 Keyword *", after);
  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines = Lines(run.out);
  auto marker = std::find(lines.begin(), lines.end(), "--- page 1");
  ASSERT_NE(marker, lines.end()) << run.out;
  std::vector<std::string> titles(lines.begin(), marker);
  ASSERT_EQ(titles.size(), 210u);
  // Page 1 holds positions 0 to 60, later pages 1 to 60.
  std::vector<std::string> expected;
  std::size_t next = 0;
  const std::size_t sizes[] = {61, 60, 60, 29};
  for (std::size_t page = 0; page < 4; ++page) {
    expected.push_back("--- page " + std::to_string(page + 1));
    for (std::size_t i = 0; i < sizes[page]; ++i) {
      expected.push_back(titles[next++]);
    }
  }
  EXPECT_EQ(std::vector<std::string>(marker, lines.end()), expected);
  EXPECT_TRUE(Contains(run.err, "status: Summary list printed\n")) << run.err;

  // The one summary: the header, an empty line, lines cut at 100 characters.
  ProgramResult summary = Search("row 1 Keyword strategy", {"print-pages summary"});
  EXPECT_EQ(summary.status, 0) << summary.err;
  std::vector<std::string> printed = Lines(summary.out.substr(summary.out.find("--- page 1")));
  ASSERT_GT(printed.size(), 3u);
  EXPECT_EQ(printed[2], "");  // after the one brief header line
  for (const auto& line : printed) {
    EXPECT_LE(line.size(), 100u) << line;
  }
  ProgramResult none = Search("row 1 Keyword strategy", {"print-pages records"});
  EXPECT_EQ(none.status, 1);
}

TEST_F(OutputSession, MailsToARealServerWithTheProposedHostAnswered) {
  if (!MailServerProcess::Available()) {
    GTEST_SKIP() << "python3-aiosmtpd missing";
  }
  TempDir mailDir;
  MailServerProcess server(mailDir, MailServerProcess::Kind::Plain);
  ASSERT_GT(server.port, 0);
  std::string host = "127.0.0.1:" + std::to_string(server.port);
  ProgramResult run =
      Search("row 1 Keyword strategy", {"format header none", "titles", "answer text " + host,
                                        "mail list ann@example.org Strategy games",
                                        "get-setting "
                                        "\"Mail Parameters\" \"SMTP Host\""});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.err, "status: Summary list mailed\n")) << run.err;
  std::string titles = run.out.substr(0, run.out.size() - host.size() - 1);
  EXPECT_EQ(run.out.substr(titles.size()), host + "\n");
  std::string received = ReadWholeFile(server.out);
  EXPECT_TRUE(Contains(received, "To: ann@example.org \r\n")) << received;
  EXPECT_TRUE(Contains(received, "Subject: Strategy games\r\n\r\n" + CrLf(titles))) << received;

  // An empty recipient is refused and, with no answer queued, the command ends.
  ProgramResult refused = Search("row 1 Keyword strategy", {"mail list \"\""});
  EXPECT_EQ(refused.status, 3);
  EXPECT_TRUE(
      Contains(refused.err, "message: Required Data Missing: 'To:' address is required for Mail\n"))
      << refused.err;
}
