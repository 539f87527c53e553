#include "driver/CPacketTrace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cinttypes>
#include <cstdlib>
#include <memory>

#include "app/CAppState.h"

CPacketTrace& CPacketTrace::Of(CAppState& app) {
  if (!app.packetTrace) {
    app.packetTrace = std::make_shared<CPacketTrace>();
  }
  return *app.packetTrace;
}

const char* CPacketTrace::EnvironmentPath() {
  const char* path = std::getenv("TAMSEL_TRACE");
  return path != nullptr ? path : "";
}

bool CPacketTrace::StartFromEnvironment(CAppState& app, std::int64_t nowMs) {
  const char* path = EnvironmentPath();
  if (*path == '\0') {
    return true;
  }
  return Of(app).Start(path, nowMs);
}

CPacketTrace::~CPacketTrace() {
  Stop();
}

bool CPacketTrace::Start(const std::string& newPath, std::int64_t nowMs) {
  Stop();
  // Appending, never through a FIFO or device that could block the link.
  int fd = open(newPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0644);
  if (fd < 0) {
    return false;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return false;
  }
  file = fdopen(fd, "a");
  if (file == nullptr) {
    close(fd);
    return false;
  }
  path = newPath;
  startMs = nowMs;
  std::fprintf(file, "# trace started\n");
  std::fflush(file);
  return true;
}

void CPacketTrace::Stop() {
  if (file != nullptr) {
    std::fclose(file);
    file = nullptr;
  }
  path.clear();
}

void CPacketTrace::Record(Direction direction, const PacketHeader& header, std::string_view body,
                          std::int64_t nowMs) {
  if (file == nullptr) {
    return;
  }
  std::string entry = FormatEntry(direction, header, body, nowMs - startMs);
  std::fwrite(entry.data(), 1, entry.size(), file);
  if (holds == 0) {
    std::fflush(file);
  }
}

void CPacketTrace::Release() {
  if (holds > 0 && --holds == 0 && file != nullptr) {
    std::fflush(file);
  }
}

const char* CPacketTrace::TypeName(std::uint32_t type) {
  switch (type) {
    case MSG_OPEN:
      return "MSG_OPEN";
    case MSG_CONNECTED:
      return "MSG_CONNECTED";
    case MSG_STATUS:
      return "MSG_STATUS";
    case MSG_SEARCH:
      return "MSG_SEARCH";
    case MSG_HIT_COUNT:
      return "MSG_HIT_COUNT";
    case MSG_GET_TITLE:
      return "MSG_GET_TITLE";
    case MSG_TITLE:
      return "MSG_TITLE";
    case MSG_GET_RECORD:
      return "MSG_GET_RECORD";
    case MSG_RECORD:
      return "MSG_RECORD";
    case MSG_CLOSE:
      return "MSG_CLOSE";
    case MSG_ECHO:
      return "MSG_ECHO";
    case MSG_CANCEL_SEARCH:
      return "MSG_CANCEL_SEARCH";
    case MSG_DATABASE_INFO:
      return "MSG_DATABASE_INFO";
    case MSG_GET_EXTENSION_DATA:
      return "MSG_GET_EXTENSION_DATA";
    case MSG_EXTENSION_DATA:
      return "MSG_EXTENSION_DATA";
    case MSG_INFO_REQUEST:
      return "MSG_INFO_REQUEST";
    case MSG_INFO_ANSWER:
      return "MSG_INFO_ANSWER";
    case MSG_BROWSE:
      return "MSG_BROWSE";
    case MSG_BROWSE_REPLY:
      return "MSG_BROWSE_REPLY";
    default:
      return "unknown";
  }
}

std::string CPacketTrace::FormatEntry(Direction direction, const PacketHeader& header,
                                      std::string_view body, std::int64_t elapsedMs) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(160 + std::min(body.size(), kMaxBodyShown) * 5);
  char line[256];
  std::snprintf(line, sizeof line,
                "%" PRId64 " ms %s %s type=%" PRIu32 " length=%" PRId32 " param1=%" PRId32
                " param2=%" PRId32 " param3=%" PRId32 " param4=%" PRId32 "\n",
                elapsedMs, direction == Direction::Sent ? "sent" : "received",
                TypeName(header.type), header.type, header.length, header.param1, header.param2,
                header.param3, header.param4);
  out += line;
  std::size_t shown = std::min(body.size(), kMaxBodyShown);
  for (std::size_t at = 0; at < shown; at += kBytesPerLine) {
    std::size_t n = std::min(kBytesPerLine, shown - at);
    std::snprintf(line, sizeof line, "  %06zx  ", at);
    out += line;
    for (std::size_t i = 0; i < kBytesPerLine; ++i) {
      if (i < n) {
        auto c = static_cast<unsigned char>(body[at + i]);
        out += kHex[c >> 4];
        out += kHex[c & 15];
        out += ' ';
      } else {
        out += "   ";
      }
    }
    out += ' ';
    for (std::size_t i = 0; i < n; ++i) {
      auto c = static_cast<unsigned char>(body[at + i]);
      out += c >= 0x20 && c < 0x7f ? static_cast<char>(c) : '.';
    }
    out += '\n';
  }
  if (body.size() > shown) {
    std::snprintf(line, sizeof line, "  ... %zu bytes in all, %zu shown\n", body.size(), shown);
    out += line;
  }
  return out;
}
