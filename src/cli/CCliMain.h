#pragma once

#include <iosfwd>

// The whole command-line client behind main(): invocation, commands, exit
// status (0 every command ran, 1 a command failed, 2 bad invocation).
int RunTamselCli(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err,
                 bool inIsTerminal);
