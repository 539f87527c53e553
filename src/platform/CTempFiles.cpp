#include "platform/CTempFiles.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// State for the signal handlers: fixed buffers, no allocation inside them.
char gCleanupDir[4096];
const volatile int* gCleanupCounter = nullptr;
volatile sig_atomic_t gCleanupInstalled = 0;

size_t AppendText(char* buf, size_t at, size_t size, const char* text) {
  while (*text != '\0' && at + 1 < size) {
    buf[at++] = *text++;
  }
  buf[at] = '\0';
  return at;
}

size_t AppendNumber(char* buf, size_t at, size_t size, int n) {
  char digits[16];
  int len = 0;
  unsigned value = n < 0 ? 0u : static_cast<unsigned>(n);
  do {
    digits[len++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0 && len < 15);
  while (len > 0 && at + 1 < size) {
    buf[at++] = digits[--len];
  }
  buf[at] = '\0';
  return at;
}

// Only async-signal-safe calls: unlink, rmdir, signal, raise.
void CleanupOnSignal(int sig) {
  if (gCleanupInstalled != 0) {
    char path[4200];
    int count = gCleanupCounter != nullptr ? *gCleanupCounter : 0;
    for (int n = 0; n < count; ++n) {
      size_t at = AppendText(path, 0, sizeof path, gCleanupDir);
      at = AppendText(path, at, sizeof path, "config");
      at = AppendNumber(path, at, sizeof path, n);
      AppendText(path, at, sizeof path, ".TCF");
      unlink(path);
    }
    size_t at = AppendText(path, 0, sizeof path, gCleanupDir);
    AppendText(path, at, sizeof path, "smtp.txt");
    unlink(path);
    rmdir(gCleanupDir);
  }
  signal(sig, SIG_DFL);
  raise(sig);
}

}  // namespace

std::string CTempFiles::ChooseTempDirectory(const GetEnv& getEnv) {
  std::string dir;
  for (const char* name : {"TEMP", "TMP", "TMPDIR"}) {
    const char* value = getEnv(name);
    if (value != nullptr && *value != '\0') {
      dir = value;
      break;
    }
  }
  if (dir.empty()) {
    dir = "/tmp";
  }
  if (dir.back() != '/') {
    dir += '/';
  }
  return dir;
}

std::string CTempFiles::CreatePrivateDirectory(const std::string& tempDirectory) {
  std::string pattern = tempDirectory + "tamsel-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (mkdtemp(buf.data()) == nullptr) {
    return "";
  }
  chmod(buf.data(), 0700);
  return std::string(buf.data()) + "/";
}

std::string CTempFiles::ConfigCopyName(const std::string& directory, int n) {
  return directory + "config" + std::to_string(n) + ".TCF";
}

void CTempFiles::RemovePrivateDirectory(const std::string& directory, int count) {
  if (directory.empty()) {
    return;
  }
  for (int n = 0; n < count; ++n) {
    unlink(ConfigCopyName(directory, n).c_str());
  }
  // Anything else the program put there (the mail body, stray copies).
  if (DIR* dir = opendir(directory.c_str())) {
    std::vector<std::string> names;
    while (dirent* entry = readdir(dir)) {
      if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
        names.push_back(entry->d_name);
      }
    }
    closedir(dir);
    for (const auto& name : names) {
      unlink((directory + name).c_str());
    }
  }
  rmdir(directory.c_str());
}

void CTempFiles::InstallExitCleanup(const std::string& directory, const volatile int* counter) {
  if (directory.size() >= sizeof gCleanupDir) {
    return;
  }
  std::memcpy(gCleanupDir, directory.c_str(), directory.size() + 1);
  gCleanupCounter = counter;
  gCleanupInstalled = 1;
  struct sigaction action {};
  action.sa_handler = CleanupOnSignal;
  sigemptyset(&action.sa_mask);
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    sigaction(sig, &action, nullptr);
  }
}

void CTempFiles::UninstallExitCleanup() {
  gCleanupInstalled = 0;
  gCleanupCounter = nullptr;
}
