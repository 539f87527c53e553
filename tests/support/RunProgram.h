#pragma once

#include <string>
#include <vector>

// Runs a program with arguments (no shell), feeding `input` on standard input,
// and collects its output and exit status.
struct ProgramResult {
  int status = -1;
  std::string out;
  std::string err;
};

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = "",
                         const std::vector<std::string>& extraEnv = {});
