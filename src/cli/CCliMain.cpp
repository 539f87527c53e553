#include "cli/CCliMain.h"

#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/CCliSession.h"

namespace {

struct Invocation {
  std::vector<std::string> commands;
  std::optional<std::string> commandFile;
  std::optional<std::string> config;
  bool empty = false;
  bool help = false;
  bool version = false;
};

const char* kUsage =
    "usage: tamsel-cli [-c COMMAND]... [-f FILE] [-e] [CONFIG]\n"
    "       tamsel-cli --help | --version\n";

bool ParseInvocation(int argc, char** argv, Invocation& inv, std::ostream& err) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-c" || arg == "-f") {
      if (i + 1 >= argc) {
        err << "error: " << arg << " needs an argument\n" << kUsage;
        return false;
      }
      if (arg == "-c") {
        inv.commands.push_back(argv[++i]);
      } else if (inv.commandFile) {
        err << "error: -f given twice\n" << kUsage;
        return false;
      } else {
        inv.commandFile = argv[++i];
      }
    } else if (arg == "-e" || arg == "-E") {
      inv.empty = true;
    } else if (arg == "--help" || arg == "-h") {
      inv.help = true;
    } else if (arg == "--version") {
      inv.version = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      err << "error: unknown option " << arg << "\n" << kUsage;
      return false;
    } else if (inv.config) {
      err << "error: more than one configuration given\n" << kUsage;
      return false;
    } else {
      inv.config = arg;
    }
  }
  return true;
}

// Runs command lines from a stream; blank lines and "#" lines are skipped.
int RunStream(CCliSession& session, std::istream& in, std::ostream& err, bool prompt) {
  int status = 0;
  std::string line;
  for (;;) {
    if (prompt) {
      err << "tamsel> " << std::flush;
    }
    if (!std::getline(in, line)) {
      break;
    }
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') {
      continue;
    }
    if (session.Execute(line) != 0) {
      status = 1;
    }
    if (session.QuitRequested()) {
      break;
    }
  }
  return status;
}

}  // namespace

int RunTamselCli(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err,
                 bool inIsTerminal) {
  Invocation inv;
  if (!ParseInvocation(argc, argv, inv, err)) {
    return 2;
  }
  if (inv.help) {
    out << kUsage << "\nCommands:\n" << CCliSession::HelpText();
    return 0;
  }
  if (inv.version) {
    out << "tamsel-cli " << TAMSEL_VERSION << '\n';
    return 0;
  }
  if (inv.empty && inv.config) {
    err << "error: -e and a configuration exclude each other\n" << kUsage;
    return 2;
  }

  // Questions are asked on the terminal only when standard input is one.
  CCliSession::Ask ask;
  if (inIsTerminal) {
    ask = [&in, &err](const std::string& prompt) -> std::optional<std::string> {
      err << prompt << std::flush;
      std::string line;
      if (!std::getline(in, line)) {
        return std::nullopt;
      }
      return line;
    };
  }
  CCliSession session(out, err, ask);
  int status = 0;
  if (inv.config && session.OpenStartConfiguration(*inv.config) != 0) {
    status = 1;
  }
  for (const auto& command : inv.commands) {
    if (session.QuitRequested()) {
      break;
    }
    if (session.Execute(command) != 0) {
      status = 1;
    }
  }
  if (inv.commandFile && !session.QuitRequested()) {
    int result = 0;
    if (*inv.commandFile == "-") {
      result = RunStream(session, in, err, false);
    } else {
      std::ifstream file(*inv.commandFile);
      if (!file) {
        err << "error: cannot read " << *inv.commandFile << '\n';
        return 2;
      }
      result = RunStream(session, file, err, false);
    }
    status = status != 0 ? status : result;
  }
  if (inv.commands.empty() && !inv.commandFile && !session.QuitRequested()) {
    int result = RunStream(session, in, err, inIsTerminal);
    status = status != 0 ? status : result;
  }
  return status;
}
