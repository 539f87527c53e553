#include "external/CHelpTopics.h"

#include <sys/stat.h>

namespace {

struct TopicPage {
  int topic;
  const char* page;
};

constexpr TopicPage kTopicPages[] = {
    {CHelpTopics::kSearchCriteriaTopic, "search-criteria.html"},
    {CHelpTopics::kSaveMailTopic, "save-mail.html"},
    {CHelpTopics::kSummaryTopic, "summary.html"},
    {CHelpTopics::kFullRecordTopic, "full-record.html"},
    {CHelpTopics::kBasicModeTopic, "basic-mode.html"},
};

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::string CHelpTopics::PageForTopic(int topic) {
  for (const TopicPage& entry : kTopicPages) {
    if (entry.topic == topic)
      return entry.page;
  }
  return kIndexPage;
}

std::vector<std::string> CHelpTopics::AllPages() {
  std::vector<std::string> pages{kIndexPage, kUsingHelpPage};
  for (const TopicPage& entry : kTopicPages)
    pages.push_back(entry.page);
  return pages;
}

std::vector<std::string> CHelpTopics::CandidateDirectories(const std::string& executablePath) {
  std::vector<std::string> candidates;
  if (!executablePath.empty()) {
    candidates.push_back(DirectoryOf(executablePath) + "/../share/tamsel/help");
  }
  // This file lives in <source>/src/external/; the build names it with its
  // full path, which leads back to the pages of the source tree.
  std::string source = __FILE__;
  if (!source.empty() && source.front() == '/') {
    candidates.push_back(DirectoryOf(DirectoryOf(DirectoryOf(source))) + "/data/help");
  }
  return candidates;
}

std::string CHelpTopics::FindHelpDirectory(const std::vector<std::string>& candidates) {
  for (std::string directory : candidates) {
    while (directory.size() > 1 && directory.back() == '/')
      directory.pop_back();
    if (!directory.empty() && IsRegularFile(directory + "/" + kIndexPage)) {
      return directory;
    }
  }
  return "";
}

std::string CHelpTopics::PagePath(const std::string& directory, int topic) {
  return directory + "/" + PageForTopic(topic);
}
