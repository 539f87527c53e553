#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeUi.h"
#include "ManualEventLoop.h"
#include "ScriptedSmtpServer.h"
#include "TempDir.h"
#include "output/CSendMail.h"
#include "output/CSmtpReplyReader.h"

namespace {

using Reply = ScriptedSmtpServer::Reply;

const std::vector<std::string> kGoodScript = {"220 mail.example ESMTP\r\n",
                                              "250 mail.example\r\n",
                                              "250 OK\r\n",
                                              "250 OK\r\n",
                                              "354 End data with <CR><LF>.<CR><LF>\r\n",
                                              "250 Message accepted\r\n"};

const char* kDialogue =
    "HELO desk\r\n"
    "MAIL FROM:<WinTamsel@desk>\r\n"
    "RCPT TO:<ann@example.org>\r\n"
    "DATA\r\n"
    "To: ann@example.org \r\n"
    "Precedence: never-bounce\r\n"
    "X-TamselSource:<WinTamsel@desk>\r\n"
    "Subject: Tamsel Search Results\r\n"
    "\r\n";

struct SendMailTest : ::testing::Test {
  FakeUi ui;
  ManualEventLoop loop;
  ScriptedSmtpServer server{loop};

  void SetUp() override { loop.SetSimulatedTime(true); }

  bool SendText(const std::string& body, const std::string& to = "ann@example.org",
                const std::string& hostName = "desk") {
    CSendMail mail(ui, loop);
    mail.localHostName = [hostName] { return hostName; };
    EXPECT_TRUE(mail.Create());
    return mail.SendMailText(server.HostSetting(), to, "Tamsel Search Results", body);
  }
};

TEST_F(SendMailTest, TextBodyDialogueByteForByte) {
  server.ScriptTexts(kGoodScript);
  EXPECT_TRUE(SendText("Books  Mon Dec 07 01:26:02 2026\r\nfirst title\r\n"));
  EXPECT_EQ(server.received,
            std::string(kDialogue) + "Books  Mon Dec 07 01:26:02 2026\r\nfirst title\r\n\r\n.\r\n");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(loop.NowMs(), 0);  // nothing waited for the clock
}

TEST_F(SendMailTest, FileBodyGoesOutInChunksWithPeriodsDoubled) {
  TempDir dir;
  // A line starting with "." right at the 4096-byte chunk boundary, and a
  // lone "." line that would otherwise end the message.
  std::string body = std::string(4094, 'x') + "\r\n.hidden\r\n.\r\nafter\r\n";
  std::string path = dir.Write("smtp.txt", body);
  server.ScriptTexts(kGoodScript);
  CSendMail mail(ui, loop);
  mail.localHostName = [] { return std::string("desk"); };
  ASSERT_TRUE(mail.Create());
  EXPECT_TRUE(
      mail.SendMailFile(server.HostSetting(), "ann@example.org", "Tamsel Search Results", path));
  EXPECT_EQ(server.received, std::string(kDialogue) + std::string(4094, 'x') +
                                 "\r\n..hidden\r\n..\r\nafter\r\n\r\n.\r\n");
}

TEST_F(SendMailTest, EmptyHostNameAndSplitReplies) {
  server.Script({Reply{{"2", "20 mail.example", " ESMTP\r\n"}}, Reply{{"250 mail\r\n"}},
                 Reply{{"25", "0 OK\r\n"}}, Reply{{"250 OK\r\n"}}, Reply{{"354 go", " ahead\r\n"}},
                 Reply{{"250 OK\r\n"}}});
  EXPECT_TRUE(SendText("body\r\n", "ann@example.org", ""));
  EXPECT_EQ(server.received.substr(0, 30), "HELO \r\nMAIL FROM:<WinTamsel>\r\n");
  EXPECT_NE(server.received.find("X-TamselSource:<WinTamsel>\r\n"), std::string::npos);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SendMailTest, GreetingsAcceptedAndRefused) {
  for (const char* greeting :
       {"x220 stray byte first\r\n", "450 busy but talking\r\n", "550 refused but talking\r\n"}) {
    std::vector<std::string> script = kGoodScript;
    script[0] = greeting;
    server.ScriptTexts(script);
    EXPECT_TRUE(SendText("b\r\n")) << greeting;
  }
  server.ScriptTexts({"554 no service here\r\n"});
  EXPECT_FALSE(SendText("b\r\n"));
  EXPECT_EQ(ui.Texts().back(), "Could not connect to smtp server (554 no service here\r\n)");
  EXPECT_EQ(ui.messages.back().caption, "Tamsel");
}

TEST_F(SendMailTest, EachRefusalEndsWithItsMessage) {
  struct Case {
    std::size_t step;
    std::string reply;
    std::string message;
  };
  const std::vector<Case> cases = {
      {1, "500 who are you\r\n", "Could not talk to smtp server (500 who are you\r\n)"},
      {2, "550 not you\r\n", "Error negotiating with smtp (550 not you\r\n)"},
      {3, "550 no such user\r\n", "Invalid Mail Recipient ann@example.org (550 no such user\r\n)"},
      // DATA wants a "3": a "2" is a refusal.
      {4, "250 fine\r\n", "Not authorized to send data to smtp (250 fine\r\n)"},
      {5, "554 spam\r\n", "The smtp server did not accept the message (554 spam\r\n)"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> script = kGoodScript;
    script[c.step] = c.reply;
    server.ScriptTexts(script);
    ui.messages.clear();
    EXPECT_FALSE(SendText("b\r\n")) << c.step;
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{c.message});
  }
}

const std::vector<std::string> kReadErrors = {
    "Error reading smtp socket during connect",
    "Error reading smtp socket during Helo",
    "Error reading smtp socket during MailFrom",
    "Error reading smtp socket during RcptTo",
    "Error reading smtp socket during SendHeader",
    "Error reading smtp socket after sending the message"};

TEST_F(SendMailTest, SilenceAtEachStepEndsAfterOneMinute) {
  for (std::size_t step = 0; step < kReadErrors.size(); ++step) {
    std::vector<Reply> script;
    for (std::size_t i = 0; i < step; ++i) {
      script.push_back(Reply{{kGoodScript[i]}});
    }
    script.push_back(Reply{{}, Reply::Kind::Silent});
    server.Script(script);
    ui.messages.clear();
    std::int64_t start = loop.NowMs();
    EXPECT_FALSE(SendText("b\r\n"));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kReadErrors[step]});
    EXPECT_EQ(loop.NowMs() - start, CSendMail::kReplyWaitMs) << step;
    EXPECT_EQ(loop.ActiveTimers(), 0);
  }
}

TEST_F(SendMailTest, ClosedConnectionAtEachStepFailsAtOnce) {
  for (std::size_t step = 0; step < kReadErrors.size(); ++step) {
    std::vector<Reply> script;
    for (std::size_t i = 0; i < step; ++i) {
      script.push_back(Reply{{kGoodScript[i]}});
    }
    script.push_back(Reply{{}, Reply::Kind::Close});
    server.Script(script);
    ui.messages.clear();
    std::int64_t start = loop.NowMs();
    EXPECT_FALSE(SendText("b\r\n"));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kReadErrors[step]});
    EXPECT_EQ(loop.NowMs(), start) << step;  // no minute spent on a closed socket
  }
}

TEST_F(SendMailTest, ShortReplyAloneIsNotComplete) {
  // "25" never becomes a reply; a short proper line would have been one.
  server.Script({Reply{{kGoodScript[0]}}, Reply{{"25"}}});
  EXPECT_FALSE(SendText("b\r\n"));
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Error reading smtp socket during Helo"});
  EXPECT_EQ(loop.NowMs(), CSendMail::kReplyWaitMs);
}

TEST_F(SendMailTest, ResetCountsAsTheLastReply) {
  // The reset after HELO leaves the greeting as the reply, so HELO passes;
  // the next wait finds the connection gone.
  server.Script({Reply{{kGoodScript[0]}}, Reply{{}, Reply::Kind::Reset}});
  EXPECT_FALSE(SendText("b\r\n"));
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Error reading smtp socket during MailFrom"});
}

TEST_F(SendMailTest, LineBreaksInRecipientOrSubjectAreRefusedBeforeConnecting) {
  server.ScriptTexts(kGoodScript);
  EXPECT_FALSE(SendText("b\r\n", "ann@example.org>\r\nRCPT TO:<eve@example.org"));
  CSendMail mail(ui, loop);
  ASSERT_TRUE(mail.Create());
  EXPECT_FALSE(mail.SendMailText(server.HostSetting(), "ann@example.org",
                                 std::string("hi\nBcc: eve@example.org"), "b"));
  EXPECT_FALSE(mail.SendMailText(server.HostSetting(), std::string("ann\0x", 5), "s", "b"));
  EXPECT_EQ(server.connections, 0);
  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_EQ(ui.messages[0].text,
            "The mail recipient and subject must not contain line breaks or zero bytes.");
}

TEST_F(SendMailTest, UnreachableHostsAndMissingBodyFile) {
  // Nothing listens on port 1 of loopback (only root could).
  CSendMail mail(ui, loop);
  ASSERT_TRUE(mail.Create());
  EXPECT_FALSE(mail.SendMailText("127.0.0.1:1", "ann@example.org", "s", "b"));
  EXPECT_EQ(ui.Texts().back(), "Could not connect to smtp server (111)");
  EXPECT_FALSE(mail.SendMailText("mail:notaport", "ann@example.org", "s", "b"));
  EXPECT_EQ(ui.Texts().back(), "Could not connect to smtp server (22)");

  server.ScriptTexts(kGoodScript);
  CSendMail fileMail(ui, loop);
  ASSERT_TRUE(fileMail.Create());
  EXPECT_FALSE(
      fileMail.SendMailFile(server.HostSetting(), "ann@example.org", "s", "/nonexistent/smtp.txt"));
  EXPECT_EQ(ui.Texts().back(), "Error creating file");
  // The host was left in data mode after the header.
  EXPECT_TRUE(loop.RunUntil(
      [&] { return server.received.find("Subject: s\r\n\r\n") != std::string::npos; }));
}

TEST(SendMailHostTest, HostSettingForms) {
  std::string host;
  int port = 0;
  EXPECT_TRUE(CSendMail::ParseHost("mail.example.org", host, port));
  EXPECT_EQ(host, "mail.example.org");
  EXPECT_EQ(port, 25);
  EXPECT_TRUE(CSendMail::ParseHost("localhost:2525", host, port));
  EXPECT_EQ(host, "localhost");
  EXPECT_EQ(port, 2525);
  EXPECT_TRUE(CSendMail::ParseHost("[::1]:587", host, port));
  EXPECT_EQ(host, "::1");
  EXPECT_EQ(port, 587);
  EXPECT_TRUE(CSendMail::ParseHost("::1", host, port));
  EXPECT_EQ(port, 25);
  for (const char* bad : {"host:", "host:0", "host:70000", "host:2x", "[::1", "[::1]x"}) {
    EXPECT_FALSE(CSendMail::ParseHost(bad, host, port)) << bad;
  }
}

TEST(SmtpReplyReaderTest, WhenAReplyIsComplete) {
  EXPECT_TRUE(CSmtpReplyReader::IsComplete("250 OK\r\n"));
  EXPECT_TRUE(CSmtpReplyReader::IsComplete("220\r\n"));
  EXPECT_TRUE(CSmtpReplyReader::IsComplete("hello there\r\n"));  // the 10-byte rule
  EXPECT_TRUE(CSmtpReplyReader::IsComplete("250-first\r\n250 last\r\n"));
  EXPECT_FALSE(CSmtpReplyReader::IsComplete("250-more to come\r\n"));
  EXPECT_FALSE(CSmtpReplyReader::IsComplete("ok\r\n"));
  EXPECT_FALSE(CSmtpReplyReader::IsComplete("250 OK"));
  EXPECT_FALSE(CSmtpReplyReader::IsComplete("25"));

  CSmtpReplyReader reader;
  EXPECT_EQ(reader.Feed("250-mail.example\r\n"), CSmtpReplyReader::Result::Incomplete);
  EXPECT_EQ(reader.Feed("250 " + std::string(400, 'x') + "\r\n"),
            CSmtpReplyReader::Result::Complete);
  EXPECT_EQ(reader.ReplyText().size(), CSmtpReplyReader::kMaxReplyText);
  EXPECT_EQ(reader.ReplyText().substr(0, 20), "250-mail.example\r\n25");
  EXPECT_FALSE(reader.HasPending());

  EXPECT_EQ(reader.Feed(std::string(CSmtpReplyReader::kMaxBuffered + 1, 'y')),
            CSmtpReplyReader::Result::Overflow);
  EXPECT_FALSE(reader.HasPending());
}

}  // namespace
