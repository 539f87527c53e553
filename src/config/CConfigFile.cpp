#include "config/CConfigFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace {

constexpr size_t kReadChunk = 64 * 1024;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::unique_ptr<CConfigFile> CConfigFile::Open(const std::string& path, OpenStatus* status) {
  OpenStatus ignored;
  OpenStatus& result = status != nullptr ? *status : ignored;
  // O_NONBLOCK: opening a FIFO would otherwise wait for a writer for ever.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    result = errno == ENOENT || errno == ENOTDIR ? OpenStatus::Missing : OpenStatus::Refused;
    return nullptr;
  }
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxFileBytes) {
    ::close(fd);
    result = OpenStatus::Refused;
    return nullptr;
  }
  // Regular files never block; plain reads from here on.
  int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) {
    ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  }
  result = OpenStatus::Ok;
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
  if (readFailed) {
    return false;
  }
  for (;;) {
    size_t lineFeed = buffer.find('\n', position + scanned);
    if (lineFeed != std::string::npos) {
      size_t end = lineFeed;
      if (end > position && buffer[end - 1] == '\r') {
        --end;
      }
      return TakeLine(line, end, lineFeed + 1);
    }
    scanned = buffer.size() - position;
    if (scanned > kMaxLineBytes) {
      return Fail(true);
    }
    if (!FillBuffer()) {
      break;
    }
  }
  if (readFailed || position == buffer.size()) {
    return false;
  }
  return TakeLine(line, buffer.size(), buffer.size());
}

bool CConfigFile::TakeLine(std::string& line, size_t end, size_t next) {
  if (atStart) {
    atStart = false;
    if (std::string_view(buffer).substr(position, end - position).starts_with(kByteOrderMark)) {
      position += kByteOrderMark.size();
    }
  }
  if (end - position > kMaxLineBytes) {
    return Fail(true);
  }
  line.assign(buffer, position, end - position);
  position = next;
  scanned = 0;
  return true;
}

bool CConfigFile::Fail(bool tooLong) {
  readFailed = true;
  lineTooLong = lineTooLong || tooLong;
  buffer.clear();
  position = 0;
  scanned = 0;
  if (fd >= 0) {
    ::close(fd);
    fd = -1;
  }
  return false;
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
  if (count < 0) {
    return Fail(false);
  }
  totalRead += count;
  // The size was checked at the open, but the file may grow behind our back.
  if (totalRead > kMaxFileBytes) {
    return Fail(false);
  }
  if (count == 0) {
    ::close(fd);
    fd = -1;
    return false;
  }
  return true;
}
