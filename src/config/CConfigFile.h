#pragma once

#include <cstddef>
#include <memory>
#include <string>

// An open configuration file, read line by line. A line ends at LF; a CR
// right before the LF is dropped; the last line needs no LF. Lines may be of
// any length, and every byte (NUL included) is kept as it is.
class CConfigFile {
 public:
  // nullptr when the path can't be opened for reading or is a directory.
  static std::unique_ptr<CConfigFile> Open(const std::string& path);
  // A configuration already in memory (a fetched copy, a test).
  static std::unique_ptr<CConfigFile> FromText(std::string text);

  ~CConfigFile();
  CConfigFile(const CConfigFile&) = delete;
  CConfigFile& operator=(const CConfigFile&) = delete;

  // The next line without its line end; false at the end of the file.
  bool ReadLine(std::string& line);
  // True when reading stopped on an I/O error rather than at the real end.
  bool ReadFailed() const { return readFailed; }

 private:
  CConfigFile(int fd, std::string text);
  bool FillBuffer();
  void TakeLine(std::string& line, size_t end, size_t next);

  int fd;
  std::string buffer;
  size_t position = 0;  // start of the unread bytes in buffer
  size_t scanned = 0;   // bytes from position already known to hold no LF
  bool readFailed = false;
};
