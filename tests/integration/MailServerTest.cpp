#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FakeUi.h"
#include "MailServerProcess.h"
#include "RunProgram.h"
#include "TempDir.h"
#include "app/CPollEventLoop.h"
#include "output/CSendMail.h"

namespace {

TEST(MailServerTest, RealServerGetsTheMessageIntact) {
  if (!MailServerProcess::Available()) {
    GTEST_SKIP() << "python3-aiosmtpd is not installed";
  }
  TempDir dir;
  MailServerProcess server(dir, MailServerProcess::Kind::Plain);
  ASSERT_GT(server.port, 0);
  std::string host = "127.0.0.1:" + std::to_string(server.port);
  // A lone "." would end the data early; ".." must arrive as "..".
  std::string body = "Books  Mon Dec 07 01:26:02 2026\r\nfirst\r\n.\r\n..dots\r\nlast\r\n";

  FakeUi ui;
  CPollEventLoop loop;
  {
    CSendMail mail(ui, loop);
    ASSERT_TRUE(mail.Create());
    EXPECT_TRUE(mail.SendMailText(host, "ann@example.org", "Tamsel Search Results", body));
  }
  EXPECT_TRUE(ui.messages.empty()) << ui.Texts().front();
  std::string received = ReadWholeFile(server.out);
  EXPECT_EQ(received.substr(received.find("\r\n\r\n") + 4), body + "\r\n");
  EXPECT_EQ(received.substr(0, received.find("X-TamselSource")),
            "To: ann@example.org \r\nPrecedence: never-bounce\r\n");
  EXPECT_NE(received.find("Subject: Tamsel Search Results\r\n"), std::string::npos);

  // The same through a body file.
  std::string path = dir.Write("smtp.txt", body);
  {
    CSendMail mail(ui, loop);
    ASSERT_TRUE(mail.Create());
    EXPECT_TRUE(mail.SendMailFile(host, "ann@example.org", "file", path));
  }
  received = ReadWholeFile(server.out);
  EXPECT_EQ(received.substr(received.find("\r\n\r\n") + 4), body + "\r\n");
}

}  // namespace
