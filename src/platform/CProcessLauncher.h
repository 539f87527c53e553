#pragma once

#include <string>
#include <vector>

// Starts programs the user configured (extension programs, the web browser)
// without a shell and without waiting for them. The started program runs in
// a session of its own and is never our child for long, so it can outlive us
// and leaves no zombie behind.
class CProcessLauncher {
 public:
  enum class Outcome {
    Started,
    // The program does not exist or may not be run (also an empty command).
    NotRunnable,
    // Any other failure; `error` holds the errno value.
    Failed,
  };

  struct Result {
    Outcome outcome = Outcome::Failed;
    int error = 0;
  };

  // Splits a command line into words at blanks and tabs; double quotes group
  // blanks into a word and are removed. No other character is special, so a
  // backslash in a path stays as written.
  static std::vector<std::string> SplitCommandLine(const std::string& commandLine);

  // Runs words[0] (looked up on PATH when it holds no "/") with all words as
  // its arguments. Standard input and output are /dev/null: a program's
  // chatter must not mix with what the CLI prints.
  static Result Start(const std::vector<std::string>& words);
};
