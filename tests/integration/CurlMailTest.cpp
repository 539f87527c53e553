#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "RunProgram.h"
#include "TempDir.h"
#include "output/CCurlMailSender.h"

namespace {

// The loopback TLS mail server script, run by Debian's python (it has aiosmtpd).
class TlsMailServer {
 public:
  TlsMailServer(const TempDir& dir, bool implicitTls) : out(dir.File("received.eml")) {
    int toChild[2];
    int fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0)
      return;
    pid = fork();
    if (pid == 0) {
      dup2(toChild[0], 0);
      dup2(fromChild[1], 1);
      close(toChild[1]);
      close(fromChild[0]);
      std::string script = std::string(TAMSEL_SOURCE_DIR) + "/tests/support/smtp_tls_server.py";
      std::string cert = dir.File("cert.pem");
      std::string key = dir.File("key.pem");
      std::vector<const char*> argv = {"python3", script.c_str(), "--out", out.c_str(),
                                       "--cert",  cert.c_str(),   "--key", key.c_str()};
      if (implicitTls)
        argv.push_back("--implicit-tls");
      argv.push_back(nullptr);
      execv("/usr/bin/python3", const_cast<char* const*>(argv.data()));
      _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    keepAlive = toChild[1];
    FILE* lines = fdopen(fromChild[0], "r");
    char line[64] = {};
    if (lines != nullptr && fgets(line, sizeof line, lines) != nullptr) {
      std::sscanf(line, "ready %d", &port);
    }
    if (lines != nullptr)
      fclose(lines);
  }
  ~TlsMailServer() {
    if (keepAlive >= 0)
      close(keepAlive);
    if (pid > 0) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
  }
  int port = 0;
  std::string out;

 private:
  pid_t pid = -1;
  int keepAlive = -1;
};

bool HaveServerTools() {
  return RunProgram("/usr/bin/python3", {"-c", "import aiosmtpd"}).status == 0 &&
         RunProgram("/usr/bin/openssl", {"version"}).status == 0;
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
  TlsMailServer server(dir, false);
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
  TlsMailServer server(dir, true);
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
