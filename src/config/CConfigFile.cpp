#include "config/CConfigFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr size_t kReadChunk = 64 * 1024;

}  // namespace

std::unique_ptr<CConfigFile> CConfigFile::Open(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return nullptr;
  }
  // open() succeeds on a directory; reading it would only fail later.
  struct stat info;
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<CConfigFile>(new CConfigFile(fd, std::string()));
}

std::unique_ptr<CConfigFile> CConfigFile::FromText(std::string text) {
  return std::unique_ptr<CConfigFile>(new CConfigFile(-1, std::move(text)));
}

CConfigFile::CConfigFile(int fd, std::string text) : fd(fd), buffer(std::move(text)) {}

CConfigFile::~CConfigFile() {
  if (fd >= 0) {
    ::close(fd);
  }
}

bool CConfigFile::ReadLine(std::string& line) {
  for (;;) {
    size_t lineFeed = buffer.find('\n', position + scanned);
    if (lineFeed != std::string::npos) {
      size_t end = lineFeed;
      if (end > position && buffer[end - 1] == '\r') {
        --end;
      }
      TakeLine(line, end, lineFeed + 1);
      return true;
    }
    scanned = buffer.size() - position;
    if (!FillBuffer()) {
      break;
    }
  }
  if (position == buffer.size()) {
    return false;
  }
  TakeLine(line, buffer.size(), buffer.size());
  return true;
}

void CConfigFile::TakeLine(std::string& line, size_t end, size_t next) {
  line.assign(buffer, position, end - position);
  position = next;
  scanned = 0;
}

// Appends the next chunk of the file; false at its end, on an error, or for
// text that was in memory from the start.
bool CConfigFile::FillBuffer() {
  if (fd < 0) {
    return false;
  }
  // Keep only the unfinished line, so memory follows the longest line, not the file.
  buffer.erase(0, position);
  position = 0;
  size_t kept = buffer.size();
  buffer.resize(kept + kReadChunk);
  ssize_t count;
  do {
    count = ::read(fd, buffer.data() + kept, kReadChunk);
  } while (count < 0 && errno == EINTR);
  buffer.resize(kept + (count > 0 ? static_cast<size_t>(count) : 0));
  if (count <= 0) {
    readFailed = count < 0;
    ::close(fd);
    fd = -1;
    return false;
  }
  return true;
}
