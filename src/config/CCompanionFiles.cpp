#include "config/CCompanionFiles.h"

std::vector<std::string> CCompanionFiles::Candidates(const std::string& configPath,
                                                     const std::string& name) {
  size_t slash = configPath.rfind('/');
  if (name.empty() || name.front() == '/' || slash == std::string::npos) {
    return {name};
  }
  return {configPath.substr(0, slash + 1) + name, name};
}

bool CCompanionFiles::IsPlainName(const std::string& tag) {
  return !tag.empty() && tag.front() != '-' && tag.find('/') == std::string::npos &&
         tag.find("..") == std::string::npos;
}
