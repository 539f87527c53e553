#include "DriverProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

DriverProcess::DriverProcess(const std::vector<std::string>& args) {
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) {
    return;
  }
  std::string binary = Binary();
  std::vector<char*> argv{binary.data()};
  std::vector<std::string> copies = args;
  for (auto& arg : copies) {
    argv.push_back(arg.data());
  }
  argv.push_back(nullptr);
  pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  close(out[1]);
  outFd = out[0];
  // Loading and indexing come first; the line says the port is open.
  std::string line;
  char c = 0;
  pollfd p{outFd, POLLIN, 0};
  while (poll(&p, 1, 120000) > 0 && read(outFd, &c, 1) == 1 && c != '\n') {
    line += c;
  }
  std::sscanf(line.c_str(), "listening on %d", &port);
}

DriverProcess::~DriverProcess() {
  Stop();
}

int DriverProcess::Stop() {
  if (pid > 0) {
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    pid = -1;
    close(outFd);
  }
  return exitStatus;
}
