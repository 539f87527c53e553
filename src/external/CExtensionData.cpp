#include "external/CExtensionData.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "app/FormatText.h"

namespace {

// How many numbers past the first are tried before giving up; a directory
// full of planted names must not keep us looping.
constexpr int kFileNameTries = 1000;

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t written = write(fd, text.data() + done, text.size() - done);
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    done += static_cast<size_t>(written);
  }
  return true;
}

}  // namespace

void CExtensionData::Start(const std::string& label, std::vector<int> selected) {
  extensionLabel = label;
  extensionIndex = 0;
  selectedItems = std::move(selected);
  extensionCount = static_cast<int>(selectedItems.size());
  extensionText.clear();
}

std::optional<int> CExtensionData::NextResultNumber() const {
  if (extensionIndex >= extensionCount) {
    return std::nullopt;
  }
  return selectedItems[static_cast<size_t>(extensionIndex)] + 1;
}

bool CExtensionData::Add(const std::string& text) {
  if (extensionIndex == 0) {
    extensionText = text;
  } else {
    extensionText += '\n';
    extensionText += text;
  }
  ++extensionIndex;
  return extensionIndex >= extensionCount;
}

int CExtensionData::FileNumber(std::time_t now) {
  auto t = static_cast<unsigned long long>(now);
  return static_cast<int>(((t >> 16) & 0xFFFF) + (t & 0xFFFF));
}

std::string CExtensionData::FileName(const std::string& tempDirectory, int number) {
  return FormatText("%sEXT%d.tmp", tempDirectory.c_str(), number);
}

std::string CExtensionData::FileText(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
      out += '\r';
    }
    out += text[i];
  }
  return out;
}

std::optional<std::string> CExtensionData::WriteFile(const std::string& tempDirectory,
                                                     std::time_t now, const std::string& text) {
  std::string contents = FileText(text);
  int first = FileNumber(now);
  for (int number = first; number <= first + kFileNameTries; ++number) {
    std::string path = FileName(tempDirectory, number);
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST || errno == ELOOP)
        continue;
      return std::nullopt;
    }
    bool written = WriteAll(fd, contents);
    if (close(fd) != 0)
      written = false;
    if (!written) {
      // Half a file would hand the program half the data.
      unlink(path.c_str());
      return std::nullopt;
    }
    return path;
  }
  return std::nullopt;
}
