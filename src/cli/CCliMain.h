#pragma once

#include <iosfwd>

class CCliLineEditor;

// The whole command-line client behind main(): invocation, commands, exit
// status (0 every command ran and none failed, 1 a command was unknown, not
// available or had wrong arguments, 3 a command ran and failed, 2 bad
// invocation; the highest wins). With `editor`, the commands typed on the
// terminal are read through it.
int RunTamselCli(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err,
                 bool inIsTerminal, CCliLineEditor* editor = nullptr);
