#include "TempDir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/tamsel-test-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (mkdtemp(buf.data()) != nullptr) {
    path = buf.data();
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  if (!path.empty()) {
    // Tests may leave read-only directories behind; make them removable.
    std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    for (auto it = std::filesystem::recursive_directory_iterator(path, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      if (it->is_directory(ec)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
      }
    }
    std::filesystem::remove_all(path, ec);
  }
}

std::string TempDir::Write(const std::string& name, const std::string& text) const {
  std::string full = File(name);
  std::ofstream out(full, std::ios::binary);
  out << text;
  return full;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name(name) {
  if (const char* old = std::getenv(name)) {
    hadValue = true;
    oldValue = old;
  }
  if (value != nullptr) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
}

ScopedEnv::~ScopedEnv() {
  if (hadValue) {
    setenv(name.c_str(), oldValue.c_str(), 1);
  } else {
    unsetenv(name.c_str());
  }
}
