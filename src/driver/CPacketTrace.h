#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "driver/PacketHeader.h"

class CAppState;

// A readable log of every packet that crosses the driver connection, for
// people writing drivers: time since the trace started, direction, the six
// header words by name, and the body as hex and printable text. Tracing only
// watches: what is sent and when never depends on it.
class CPacketTrace {
 public:
  enum class Direction { Sent, Received };
  static constexpr std::size_t kBytesPerLine = 16;
  // Bodies beyond this are cut, with a note of their full length.
  static constexpr std::size_t kMaxBodyShown = 4096;

  // The process's trace, kept by the application object so that every
  // document's link writes to the same file.
  static CPacketTrace& Of(CAppState& app);
  // Starts the trace named by TAMSEL_TRACE, if set. Returns false when the
  // variable names a file that cannot be opened.
  static bool StartFromEnvironment(CAppState& app, std::int64_t nowMs);
  // The value of TAMSEL_TRACE, or "".
  static const char* EnvironmentPath();

  CPacketTrace() = default;
  ~CPacketTrace();
  CPacketTrace(const CPacketTrace&) = delete;
  CPacketTrace& operator=(const CPacketTrace&) = delete;

  // Appends to `path` from now on; false (and no trace) when it cannot be
  // opened. `nowMs` is the clock the entries' times count from.
  bool Start(const std::string& path, std::int64_t nowMs);
  void Stop();
  bool Active() const { return file != nullptr; }
  const std::string& Path() const { return path; }

  // While held, entries gather in the file's buffer and go out together when
  // the last hold ends: a receive step with the requests it sends costs one
  // write, not one per packet. Unheld, each entry is written at once.
  void Hold() { ++holds; }
  void Release();

  // `body` is what crossed the wire after the header (it may be one byte
  // longer than the header announces).
  void Record(Direction direction, const PacketHeader& header, std::string_view body,
              std::int64_t nowMs);

  // The text of one entry; public for the tests and the benchmark.
  static std::string FormatEntry(Direction direction, const PacketHeader& header,
                                 std::string_view body, std::int64_t elapsedMs);
  static const char* TypeName(std::uint32_t type);

 private:
  std::FILE* file = nullptr;
  std::string path;
  std::int64_t startMs = 0;
  int holds = 0;
};
