#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "MailServerProcess.h"
#include "RunProgram.h"
#include "TempDir.h"
#include "output/CCurlMailSender.h"

namespace {

bool HaveServerTools() {
  return MailServerProcess::Available() && RunProgram("/usr/bin/openssl", {"version"}).status == 0;
}

void MakeCertificate(const TempDir& dir) {
  ProgramResult made =
      RunProgram("/usr/bin/openssl",
                 {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", dir.File("key.pem"),
                  "-out", dir.File("cert.pem"), "-days", "1", "-subj", "/CN=localhost", "-addext",
                  "subjectAltName=DNS:localhost,IP:127.0.0.1"});
  ASSERT_EQ(made.status, 0) << made.err;
}

CCurlMailSender::Message TestMessage() {
  return {"tamsel@localhost", "reader@example.org",
          "To: reader@example.org\r\nSubject: Tamsel Search Results\r\n\r\n"
          "first line\r\n.\r\n..two dots\r\nlast line\r\n"};
}

}  // namespace

TEST(CurlMailTest, UrlFormsAndDefaultPorts) {
  EXPECT_TRUE(CCurlMailSender::IsMailUrl("smtp://mail.example.org"));
  EXPECT_TRUE(CCurlMailSender::IsMailUrl("smtps://mail.example.org:2465"));
  EXPECT_FALSE(CCurlMailSender::IsMailUrl("mail.example.org:25"));
  EXPECT_EQ(CCurlMailSender::EffectiveUrl("smtp://mail.example.org"),
            "smtp://mail.example.org:587");
  EXPECT_EQ(CCurlMailSender::EffectiveUrl("smtps://mail.example.org"),
            "smtps://mail.example.org:465");
  EXPECT_EQ(CCurlMailSender::EffectiveUrl("smtp://[::1]"), "smtp://[::1]:587");
  EXPECT_EQ(CCurlMailSender::EffectiveUrl("smtp://h:2525/"), "smtp://h:2525");
}

TEST(CurlMailTest, DeliversOverStartTlsWithTheLoginFromNetrcAndShowsARefusedLogin) {
  if (!HaveServerTools())
    GTEST_SKIP() << "python3-aiosmtpd or openssl missing";
  TempDir dir;
  MakeCertificate(dir);
  MailServerProcess server(dir, MailServerProcess::Kind::StartTls);
  ASSERT_GT(server.port, 0);
  CCurlMailSender sender;
  sender.caFile = dir.File("cert.pem");
  sender.timeoutSeconds = 20;
  std::string url = "smtp://127.0.0.1:" + std::to_string(server.port);

  sender.netrcFile = dir.Write("netrc", "machine 127.0.0.1 login user password secret\n");
  CCurlMailSender::Result sent = sender.Send(url, TestMessage());
  ASSERT_TRUE(sent.sent) << sent.error << " / " << sent.serverReply;
  std::string received = ReadWholeFile(server.out);
  EXPECT_NE(received.find("TO reader@example.org\n"), std::string::npos) << received;
  // The lone period and the leading periods arrive as they were written.
  EXPECT_NE(received.find("first line\r\n.\r\n..two dots\r\nlast line\r\n"), std::string::npos)
      << received;

  sender.netrcFile = dir.Write("netrc-wrong", "machine 127.0.0.1 login user password wrong\n");
  CCurlMailSender::Result refused = sender.Send(url, TestMessage());
  EXPECT_FALSE(refused.sent);
  EXPECT_EQ(refused.serverReply.substr(0, 3), "535") << refused.serverReply;
}

TEST(CurlMailTest, RefusesAnUntrustedCertificate) {
  if (!HaveServerTools())
    GTEST_SKIP() << "python3-aiosmtpd or openssl missing";
  TempDir dir;
  MakeCertificate(dir);
  MailServerProcess server(dir, MailServerProcess::Kind::ImplicitTls);
  ASSERT_GT(server.port, 0);
  CCurlMailSender sender;  // the system's trust store does not know our certificate
  sender.netrcFile = dir.Write("netrc", "machine 127.0.0.1 login user password secret\n");
  sender.timeoutSeconds = 20;
  CCurlMailSender::Result result =
      sender.Send("smtps://127.0.0.1:" + std::to_string(server.port), TestMessage());
  EXPECT_FALSE(result.sent);
  EXPECT_FALSE(result.error.empty());
  EXPECT_FALSE(FileExists(server.out));
}
