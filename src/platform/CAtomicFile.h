#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <chrono>
#include <string>
#include <string_view>

// Files that must never be half-written (settings, query lists, saved
// results): the new text goes to a temporary file beside the target, is
// synced, and renamed over it, so readers see the old file or the new one,
// never a part of either. Also the careful reading that goes with it: only a
// regular file of bounded size is read, so a FIFO or a device at the path
// neither blocks nor floods us.
class CAtomicFile {
 public:
  enum class ReadStatus { Ok, Missing, Unreadable, TooLarge };
  struct Contents {
    ReadStatus status = ReadStatus::Missing;
    std::string text;
    struct stat info {};
  };

  static constexpr const char* kTempSuffix = ".tmp";
  static constexpr std::size_t kTempRandomLength = 6;  // the XXXXXX of mkostemp

  // Reads a regular file of at most `maxSize` bytes.
  static Contents ReadRegular(const std::string& path, off_t maxSize);

  // Replaces `target` with `text`. An existing target keeps its mode (and
  // owner, when we may); a new one gets `newMode` less the umask. False when
  // anything failed; the target is then as it was.
  static bool Replace(const std::string& target, std::string_view text, mode_t newMode = 0666);

  enum class LockStatus { Locked, Busy, Unsafe, Failed };

  // Takes an exclusive lock on a sidecar lock file, waiting at most `wait`.
  // The descriptor, or -1 with `status` (when given) saying why: Busy when
  // another holder kept it past the wait, Unsafe when the lock file is a
  // symlink or not a regular file (it is never followed), Failed otherwise.
  static int LockSidecar(const std::string& lockPath, std::chrono::milliseconds wait,
                         LockStatus* status = nullptr);
  static void Unlock(int lockFd);

  // Temporary files of `target` left by a writer that was killed; call only
  // under the target's lock.
  static void RemoveStaleTempFiles(const std::string& target);

  static bool WriteAll(int fd, std::string_view text);
  static std::string DirectoryOf(const std::string& path);
  static std::string BaseNameOf(const std::string& path);
  static bool IsDirectory(const std::string& path);
  // mkdir -p with mode 0700 for the parts it creates.
  static bool MakeDirectories(const std::string& dir);
  // A symlinked file is updated where it lives, not replaced by a plain file.
  static std::string ResolveLink(const std::string& path);
};
