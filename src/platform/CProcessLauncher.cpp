#include "platform/CProcessLauncher.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

extern char** environ;

std::vector<std::string> CProcessLauncher::SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (char c : commandLine) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;  // "" is an empty word of its own
    } else if (!quoted && (c == ' ' || c == '\t')) {
      if (inWord) {
        words.push_back(word);
        word.clear();
        inWord = false;
      }
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) {
    words.push_back(word);
  }
  return words;
}

namespace {

bool IsNotRunnable(int error) {
  return error == ENOENT || error == EACCES || error == ENOEXEC || error == ENOTDIR ||
         error == ELOOP || error == ENAMETOOLONG || error == EISDIR;
}

// The file actions and attributes of a started program: /dev/null for
// standard input and output, and the signals we ignore or block reset.
struct SpawnSetup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;

  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigfillset(&signals);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
};

// Runs in the intermediate child, which only starts the program in a new
// session and reports posix_spawnp's answer through the pipe.
[[noreturn]] void SpawnDetached(const SpawnSetup& setup, char* const* argv, int reportFd) {
  setsid();
  pid_t pid = 0;
  int error = posix_spawnp(&pid, argv[0], &setup.actions, &setup.attributes, argv, environ);
  ssize_t written = write(reportFd, &error, sizeof error);
  (void)written;
  _exit(0);
}

}  // namespace

CProcessLauncher::Result CProcessLauncher::Start(const std::vector<std::string>& words) {
  if (words.empty() || words.front().empty()) {
    return {Outcome::NotRunnable, ENOENT};
  }
  std::vector<char*> argv;
  for (const std::string& word : words) {
    argv.push_back(const_cast<char*>(word.c_str()));
  }
  argv.push_back(nullptr);

  SpawnSetup setup;
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    return {Outcome::Failed, errno};
  }
  // Two steps: the intermediate child is reaped at once below, so the
  // program itself is adopted by init and never becomes our zombie.
  pid_t child = fork();
  if (child < 0) {
    int error = errno;
    close(report[0]);
    close(report[1]);
    return {Outcome::Failed, error};
  }
  if (child == 0) {
    close(report[0]);
    SpawnDetached(setup, argv.data(), report[1]);
  }
  close(report[1]);
  int error = 0;
  ssize_t got;
  do {
    got = read(report[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  close(report[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (got != static_cast<ssize_t>(sizeof error)) {
    return {Outcome::Failed, ECHILD};
  }
  if (error == 0) {
    return {Outcome::Started, 0};
  }
  return {IsNotRunnable(error) ? Outcome::NotRunnable : Outcome::Failed, error};
}
