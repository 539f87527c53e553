#include "cli/CCliLineEditor.h"

#include <editline/readline.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kHistoryLines = 1000;

// Creates each missing directory of `path`'s parent, private to the user.
void MakeParentDirectories(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    mkdir(path.substr(0, slash).c_str(), 0700);
  }
}

}  // namespace

CCliLineEditor::CCliLineEditor(std::string historyPath) : historyPath(std::move(historyPath)) {
  // Standard output carries content only: the prompt and the echo go to
  // standard error, as the prompt without line editing does.
  rl_outstream = stderr;
  using_history();
  stifle_history(kHistoryLines);
  if (!this->historyPath.empty()) {
    read_history(this->historyPath.c_str());
  }
}

CCliLineEditor::~CCliLineEditor() {
  clear_history();
}

std::optional<std::string> CCliLineEditor::ReadLine(const std::string& prompt, bool remember) {
  char* raw = readline(prompt.c_str());
  if (raw == nullptr) {
    return std::nullopt;
  }
  std::string line(raw);
  std::free(raw);
  if (remember && line.find_first_not_of(" \t") != std::string::npos) {
    add_history(line.c_str());
    SaveHistory();
  }
  return line;
}

void CCliLineEditor::SaveHistory() {
  if (historyPath.empty()) {
    return;
  }
  MakeParentDirectories(historyPath);
  // The history holds whatever was typed: created for the owner only, and a
  // symlink planted there is not followed.
  int fd = open(historyPath.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    return;
  }
  fchmod(fd, 0600);
  close(fd);
  write_history(historyPath.c_str());
}

std::string CCliLineEditor::DefaultHistoryPath(const char* (*getenv)(const char*)) {
  const char* state = getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') {
    return std::string(state) + "/tamsel/history";
  }
  const char* home = getenv("HOME");
  if (home != nullptr && home[0] != '\0') {
    return std::string(home) + "/.local/state/tamsel/history";
  }
  return {};
}
