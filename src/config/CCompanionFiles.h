#pragma once

#include <string>
#include <vector>

// Where the files that belong to a local configuration are looked for: its
// database files (named by their tags) and the information file. A file
// manager starts the program in any directory, so the configuration's own
// directory comes first and the current directory second.
class CCompanionFiles {
 public:
  // The paths to try for `name`, in order. An absolute name, or a
  // configuration without a directory part, gives the name alone.
  static std::vector<std::string> Candidates(const std::string& configPath,
                                             const std::string& name);

  // A tag that names a file must be a plain name: no "/", no "..", no
  // leading "-", not empty. Anything else could reach files far from the
  // configuration (/etc/passwd, ../../x) or read as an option.
  static bool IsPlainName(const std::string& tag);
};
