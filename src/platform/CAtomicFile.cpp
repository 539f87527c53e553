#include "platform/CAtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

namespace {

constexpr auto kLockRetry = std::chrono::milliseconds(2);

void SyncDirectory(const std::string& dir) {
  int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
}

mode_t CurrentUmask() {
  mode_t mask = umask(022);
  umask(mask);
  return mask;
}

}  // namespace

CAtomicFile::Contents CAtomicFile::ReadRegular(const std::string& path, off_t maxSize) {
  Contents contents;
  if (path.empty()) {
    return contents;
  }
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    contents.status =
        errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Unreadable;
    return contents;
  }
  contents.status = ReadStatus::Unreadable;
  if (fstat(fd, &contents.info) == 0 && S_ISREG(contents.info.st_mode)) {
    if (contents.info.st_size > maxSize) {
      contents.status = ReadStatus::TooLarge;
    } else {
      char buffer[65536];
      bool failed = false;
      while (!failed) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
          continue;
        }
        // The file may grow while we read it; the limit holds regardless.
        failed = got < 0 || contents.text.size() + static_cast<std::size_t>(got) >
                                static_cast<std::size_t>(maxSize);
        if (got <= 0) {
          break;
        }
        contents.text.append(buffer, static_cast<std::size_t>(got));
      }
      if (!failed) {
        contents.status = ReadStatus::Ok;
      }
    }
  }
  close(fd);
  if (contents.status != ReadStatus::Ok) {
    contents.text.clear();
  }
  return contents;
}

bool CAtomicFile::Replace(const std::string& target, std::string_view text, mode_t newMode) {
  std::string dir = DirectoryOf(target);
  std::string tempPath = target + kTempSuffix + std::string(kTempRandomLength, 'X');
  int fd = mkostemp(tempPath.data(), O_CLOEXEC);
  if (fd < 0) {
    return false;
  }
  struct stat old {};
  if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    fchmod(fd, old.st_mode & 07777);
    // Keeps the user's ownership when run privileged; otherwise a harmless no-op.
    int chowned = fchown(fd, old.st_uid, old.st_gid);
    (void)chowned;
  } else {
    fchmod(fd, newMode & ~CurrentUmask() & 07777);
  }
  bool ok = WriteAll(fd, text) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(tempPath.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(tempPath.c_str());
    return false;
  }
  SyncDirectory(dir);
  return true;
}

int CAtomicFile::LockSidecar(const std::string& lockPath, std::chrono::milliseconds wait,
                             LockStatus* status) {
  LockStatus ignored;
  LockStatus& result = status != nullptr ? *status : ignored;
  // O_NONBLOCK: a FIFO planted as the lock file must not hold up the open.
  int fd = open(lockPath.c_str(),
                O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK, 0600);
  if (fd < 0) {
    result = errno == ELOOP ? LockStatus::Unsafe : LockStatus::Failed;
    return -1;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    result = LockStatus::Unsafe;
    return -1;
  }
  auto deadline = std::chrono::steady_clock::now() + wait;
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    bool retry = errno == EWOULDBLOCK || errno == EINTR;
    if (!retry || std::chrono::steady_clock::now() >= deadline) {
      close(fd);
      result = retry ? LockStatus::Busy : LockStatus::Failed;
      return -1;
    }
    std::this_thread::sleep_for(kLockRetry);
  }
  result = LockStatus::Locked;
  return fd;
}

void CAtomicFile::Unlock(int lockFd) {
  if (lockFd >= 0) {
    close(lockFd);
  }
}

void CAtomicFile::RemoveStaleTempFiles(const std::string& target) {
  std::string prefix = BaseNameOf(target) + kTempSuffix;
  DIR* listing = opendir(DirectoryOf(target).c_str());
  if (listing == nullptr) {
    return;
  }
  while (dirent* item = readdir(listing)) {
    std::string_view name = item->d_name;
    if (name.size() == prefix.size() + kTempRandomLength && name.starts_with(prefix)) {
      unlinkat(dirfd(listing), item->d_name, 0);
    }
  }
  closedir(listing);
}

bool CAtomicFile::WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    ssize_t put = write(fd, text.data(), text.size());
    if (put < 0 && errno == EINTR) {
      continue;
    }
    if (put <= 0) {
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

std::string CAtomicFile::DirectoryOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    return ".";
  }
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string CAtomicFile::BaseNameOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool CAtomicFile::IsDirectory(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CAtomicFile::MakeDirectories(const std::string& dir) {
  if (IsDirectory(dir)) {
    return true;
  }
  for (std::size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
    std::string part = dir.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      return false;
    }
    if (slash == std::string::npos) {
      break;
    }
  }
  return IsDirectory(dir);
}

std::string CAtomicFile::ResolveLink(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
    return path;
  }
  char* real = realpath(path.c_str(), nullptr);
  if (real == nullptr) {
    return path;
  }
  std::string resolved = real;
  free(real);
  return resolved;
}
