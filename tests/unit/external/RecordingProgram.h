#pragma once

#include <sys/stat.h>

#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "TempDir.h"

// A stand-in program: a shell script that writes its arguments, one per
// line, to `<path>.args`. It writes a scratch file first and renames it, so
// a reader never sees half a list.
inline std::string WriteRecordingProgram(const TempDir& dir, const std::string& name) {
  std::string path = dir.File(name);
  dir.Write(name,
            "#!/bin/sh\n"
            "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.part\"\n"
            "/bin/mv \"$0.part\" \"$0.args\"\n");
  chmod(path.c_str(), 0755);
  return path;
}

// The arguments the program at `path` was started with. The program runs
// detached, so this polls for its record, giving up after a few seconds.
inline std::vector<std::string> RecordedArgs(const std::string& path) {
  std::string record = path + ".args";
  for (int i = 0; i < 500 && !FileExists(record); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::vector<std::string> args;
  std::istringstream lines(ReadWholeFile(record));
  for (std::string line; std::getline(lines, line);)
    args.push_back(line);
  return args;
}
