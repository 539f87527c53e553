#include "RunProgram.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

extern char** environ;

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input, const std::vector<std::string>& extraEnv) {
  ProgramResult result;
  int inPipe[2], outPipe[2], errPipe[2];
  if (pipe(inPipe) != 0 || pipe(outPipe) != 0 || pipe(errPipe) != 0) {
    return result;
  }
  pid_t pid = fork();
  if (pid == 0) {
    dup2(inPipe[0], 0);
    dup2(outPipe[1], 1);
    dup2(errPipe[1], 2);
    for (int fd : {inPipe[0], inPipe[1], outPipe[0], outPipe[1], errPipe[0], errPipe[1]}) {
      close(fd);
    }
    for (const auto& assignment : extraEnv) {
      putenv(const_cast<char*>(assignment.c_str()));
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& arg : args) {
      argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(inPipe[0]);
  close(outPipe[1]);
  close(errPipe[1]);
  size_t written = 0;
  if (input.empty()) {
    close(inPipe[1]);
    inPipe[1] = -1;
  }
  fcntl(inPipe[1], F_SETFL, O_NONBLOCK);
  bool outOpen = true, errOpen = true;
  while (outOpen || errOpen) {
    pollfd fds[3] = {{outOpen ? outPipe[0] : -1, POLLIN, 0},
                     {errOpen ? errPipe[0] : -1, POLLIN, 0},
                     {inPipe[1], POLLOUT, 0}};
    int n = inPipe[1] >= 0 ? 3 : 2;
    if (poll(fds, n, 30000) <= 0) {
      break;
    }
    char buf[65536];
    for (int i = 0; i < 2; ++i) {
      if (fds[i].revents == 0) {
        continue;
      }
      ssize_t got = read(fds[i].fd, buf, sizeof buf);
      if (got <= 0) {
        (i == 0 ? outOpen : errOpen) = false;
        fds[i].fd = -1;
      } else {
        (i == 0 ? result.out : result.err).append(buf, static_cast<size_t>(got));
      }
    }
    if (n == 3 && fds[2].revents != 0) {
      ssize_t put = write(inPipe[1], input.data() + written, input.size() - written);
      if (put > 0) {
        written += static_cast<size_t>(put);
      }
      if (put < 0 || written >= input.size()) {
        close(inPipe[1]);
        inPipe[1] = -1;
      }
    }
    if (!outOpen && !errOpen) {
      break;
    }
  }
  if (inPipe[1] >= 0) {
    close(inPipe[1]);
  }
  close(outPipe[0]);
  close(errPipe[0]);
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  return result;
}
