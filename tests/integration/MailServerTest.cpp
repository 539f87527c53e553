#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FakeUi.h"
#include "RunProgram.h"
#include "TempDir.h"
#include "app/CPollEventLoop.h"
#include "output/CSendMail.h"

namespace {

// aiosmtpd on loopback that writes each message's data, as received and
// with the periods undoubled, to a file before it answers 250.
const char* kServerScript = R"(import socket, sys
from aiosmtpd.controller import Controller
out = sys.argv[1]
class Keep:
    async def handle_DATA(self, server, session, envelope):
        with open(out, 'wb') as f:
            f.write(envelope.original_content)
        return '250 OK'
probe = socket.socket()
probe.bind(('127.0.0.1', 0))
port = probe.getsockname()[1]
probe.close()
controller = Controller(Keep(), hostname='127.0.0.1', port=port)
controller.start()
print('ready', port, flush=True)
sys.stdin.read()
controller.stop()
)";

class MailServer {
 public:
  explicit MailServer(const TempDir& dir) : out(dir.File("received.eml")) {
    std::string script = dir.Write("server.py", kServerScript);
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
      execl("/usr/bin/python3", "python3", script.c_str(), out.c_str(),
            static_cast<char*>(nullptr));
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
  ~MailServer() {
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

TEST(MailServerTest, RealServerGetsTheMessageIntact) {
  if (RunProgram("/usr/bin/python3", {"-c", "import aiosmtpd"}).status != 0) {
    GTEST_SKIP() << "python3-aiosmtpd is not installed";
  }
  TempDir dir;
  MailServer server(dir);
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
