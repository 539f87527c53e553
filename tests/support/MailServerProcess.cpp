#include "MailServerProcess.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "RunProgram.h"
#include "TempDir.h"

namespace {

const char* kPlainServerScript = R"(import socket, sys
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

}  // namespace

MailServerProcess::MailServerProcess(const TempDir& dir, Kind kind)
    : out(dir.File("received.eml")) {
  if (kind == Kind::Plain) {
    Start({dir.Write("server.py", kPlainServerScript), out});
    return;
  }
  std::vector<std::string> args = {
      std::string(TAMSEL_SOURCE_DIR) + "/tests/support/smtp_tls_server.py",
      "--out",
      out,
      "--cert",
      dir.File("cert.pem"),
      "--key",
      dir.File("key.pem")};
  if (kind == Kind::ImplicitTls) {
    args.push_back("--implicit-tls");
  }
  Start(args);
}

// The server runs until its standard input closes; its first line is
// "ready PORT".
void MailServerProcess::Start(const std::vector<std::string>& args) {
  int toChild[2];
  int fromChild[2];
  if (pipe(toChild) != 0 || pipe(fromChild) != 0) {
    return;
  }
  pid = fork();
  if (pid == 0) {
    dup2(toChild[0], 0);
    dup2(fromChild[1], 1);
    close(toChild[1]);
    close(fromChild[0]);
    std::vector<const char*> argv = {"python3"};
    for (const std::string& arg : args) {
      argv.push_back(arg.c_str());
    }
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
  if (lines != nullptr) {
    fclose(lines);
  }
}

MailServerProcess::~MailServerProcess() {
  if (keepAlive >= 0) {
    close(keepAlive);
  }
  if (pid > 0) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
}

bool MailServerProcess::Available() {
  return RunProgram("/usr/bin/python3", {"-c", "import aiosmtpd"}).status == 0;
}
