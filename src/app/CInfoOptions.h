#pragma once

#include <optional>
#include <string>
#include <vector>

// `tamsel --help` and `tamsel --version`: print and end, rather than take
// the option for the name of a configuration file.
class CInfoOptions {
 public:
  // What to print for these arguments (without the program name), or none
  // when the program is to start as usual.
  static std::optional<std::string> TextFor(const std::vector<std::string>& args);
};
