#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "app/Signal.h"

// The per-user settings: sections of named entries, each text or an integer,
// kept in an INI-style file. Every read reads the file (so a change made by
// hand or by a second instance is seen at once); every write is a
// read-modify-write under an exclusive lock that lands by atomic rename, so
// two instances never lose each other's entries and a crash never leaves a
// truncated file. Lines this program cannot parse are kept as they are.
class CSettingsStore {
 public:
  // Why the last write stored nothing (Stored when it did).
  enum class WriteStatus {
    Stored,
    NoLocation,     // no settings path at all (no home directory)
    NoDirectory,    // its directory can't be created (a file in the way)
    LockBusy,       // another process held the lock past lockWait
    LockUnsafe,     // the lock file is a symlink or no regular file
    LockFailed,     // the lock file can't be created or locked
    NotRegular,     // the settings path is a directory, a FIFO, a device
    Unreadable,     // the file can't be read, so it must not be replaced
    TooLarge,       // over kMaxFileSize: not ours
    ReplaceFailed,  // the new file could not be written or renamed
  };
  static constexpr std::chrono::milliseconds kDefaultLockWait{5000};

  explicit CSettingsStore(std::string filePath);

  // $XDG_CONFIG_HOME/Vandrel/Tamsel.conf, else $HOME/.config/Vandrel/Tamsel.conf.
  static std::string DefaultPath();

  const std::string& FilePath() const { return filePath; }

  // The stored text, or `defaultText` when the entry is absent or the file unreadable.
  std::string ReadSettingText(const std::string& section, const std::string& entry,
                              const std::string& defaultText) const;
  // The stored integer; `defaultValue` when absent or not a decimal number.
  int ReadSettingInt(const std::string& section, const std::string& entry, int defaultValue) const;

  // False when the value could not be stored; the file is then left as it was.
  bool WriteSettingText(const std::string& section, const std::string& entry,
                        const std::string& text);
  bool WriteSettingInt(const std::string& section, const std::string& entry, int value);

  // The most-recently-used URL list: "Default URL:" then "Recent URL 1:" to
  // "Recent URL 5:", up to the first empty entry.
  std::vector<std::string> ReadUrlList() const;
  // Rewrites all six entries in one locked write, those past the list's end as "".
  // URLs past the sixth are dropped.
  bool WriteUrlList(const std::vector<std::string>& urls);

  WriteStatus LastWriteStatus() const { return lastWriteStatus; }
  // A short English reason for a failed write, for "error:" lines and
  // message boxes; "" for Stored.
  static const char* DescribeWriteStatus(WriteStatus status);

  // A write failed for a reason not reported since the last write that
  // worked: a front end tells the user once, not at every write.
  Signal<WriteStatus> writeFailed;
  // What the user is told then, in a message box with this caption.
  static constexpr const char* kWriteFailedCaption = "Settings Not Saved";
  std::string WriteFailedText(WriteStatus status) const;

  // Writers hold the lock for milliseconds; one stuck far longer (a stopped
  // process) makes our write fail rather than freeze the program.
  std::chrono::milliseconds lockWait = kDefaultLockWait;

  // True for the entries whose value is an integer.
  static bool IsIntegerSetting(const std::string& section, const std::string& entry);

 private:
  struct Assignment {
    std::string section;
    std::string entry;
    std::string value;
  };

  bool WriteEntries(const std::vector<Assignment>& assignments);
  WriteStatus StoreEntries(const std::vector<Assignment>& assignments);

  std::string filePath;
  WriteStatus lastWriteStatus = WriteStatus::Stored;
  WriteStatus reportedStatus = WriteStatus::Stored;
};
