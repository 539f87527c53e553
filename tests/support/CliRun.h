#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "TempDir.h"
#include "cli/CCliMain.h"

// The command-line client run in this process as `tamsel-cli EXTRA... -c
// COMMAND...` would run, with settings and temporary files in a directory
// of its own; what it printed stays in `out` and `err`.
struct CliRun {
  TempDir dir;
  ScopedEnv config{"XDG_CONFIG_HOME", dir.Path().c_str()};
  ScopedEnv tmp{"TEMP", dir.Path().c_str()};
  std::string out, err;

  // The exit status.
  int Run(const std::vector<std::string>& commands, const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = extra;
    for (const auto& c : commands) {
      args.push_back("-c");
      args.push_back(c);
    }
    std::vector<char*> argv;
    static char prog[] = "tamsel-cli";
    argv.push_back(prog);
    for (auto& a : args) {
      argv.push_back(a.data());
    }
    std::istringstream in;
    std::ostringstream o, e;
    int status = RunTamselCli(static_cast<int>(argv.size()), argv.data(), in, o, e, false);
    out = o.str();
    err = e.str();
    return status;
  }
};
