#pragma once

#include <cstddef>
#include <memory>
#include <string>

// An open configuration file, read line by line. A line ends at LF; a CR
// right before the LF is dropped; the last line needs no LF. Every byte (NUL
// included) is kept as it is, except a UTF-8 byte-order mark at the very
// start, which editors add and which is no part of the first keyword.
//
// Only bounded input is read: a regular file of at most kMaxFileBytes, lines
// of at most kMaxLineBytes. Anything else (a FIFO, a device such as
// /dev/zero, a file that grows while we read it) would otherwise block us or
// take all memory.
class CConfigFile {
 public:
  static constexpr std::size_t kMaxLineBytes = 1024 * 1024;
  static constexpr long long kMaxFileBytes = 64LL * 1024 * 1024;

  enum class OpenStatus { Ok, Missing, Refused };

  // nullptr when the path can't be opened for reading, or is not a regular
  // file of at most kMaxFileBytes. `status`, when given, tells a name that
  // is not there (Missing) from one that is there but unusable (Refused).
  static std::unique_ptr<CConfigFile> Open(const std::string& path, OpenStatus* status = nullptr);
  // A configuration already in memory (a test, a fuzz input).
  static std::unique_ptr<CConfigFile> FromText(std::string text);

  ~CConfigFile();
  CConfigFile(const CConfigFile&) = delete;
  CConfigFile& operator=(const CConfigFile&) = delete;

  // The next line without its line end; false at the end of the file, and at
  // a line or file beyond the limits (ReadFailed() then says so).
  bool ReadLine(std::string& line);
  // True when reading stopped on an I/O error or an oversize line or file
  // rather than at the real end.
  bool ReadFailed() const { return readFailed; }
  bool LineTooLong() const { return lineTooLong; }

 private:
  CConfigFile(int fd, std::string text);
  bool FillBuffer();
  bool TakeLine(std::string& line, size_t end, size_t next);
  bool Fail(bool tooLong);

  int fd;
  std::string buffer;
  size_t position = 0;  // start of the unread bytes in buffer
  size_t scanned = 0;   // bytes from position already known to hold no LF
  long long totalRead = 0;
  bool atStart = true;
  bool readFailed = false;
  bool lineTooLong = false;
};
