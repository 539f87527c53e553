#include "cli/CCliMain.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/CCliLineEditor.h"
#include "cli/CCliSession.h"

namespace {

// A -c command or a -f file, in the order given.
struct Source {
  bool isFile = false;
  std::string text;
};

struct Invocation {
  std::vector<Source> sources;
  std::optional<std::string> config;
  bool empty = false;
  bool bail = false;
  bool help = false;
  bool version = false;
};

const char* kUsage =
    "usage: tamsel-cli [-c COMMAND | -f FILE]... [--bail] [-e] [CONFIG]\n"
    "       tamsel-cli --help | --version\n";

constexpr int kBadInvocation = 2;

bool ParseInvocation(int argc, char** argv, Invocation& inv, std::ostream& err) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-c" || arg == "-f") {
      if (i + 1 >= argc) {
        err << "error: " << arg << " needs an argument\n" << kUsage;
        return false;
      }
      inv.sources.push_back({arg == "-f", argv[++i]});
    } else if (arg == "-e" || arg == "-E") {
      inv.empty = true;
    } else if (arg == "--bail") {
      inv.bail = true;
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

// Runs the commands and keeps the exit status: the highest status seen, or
// with --bail the status of the first command that failed.
class CommandRunner {
 public:
  CommandRunner(CCliSession& session, std::ostream& out, std::ostream& err, bool bail)
      : session(session), out(out), err(err), bail(bail) {}

  bool Stopped() const { return stopped || session.QuitRequested(); }
  int Status() const { return status; }

  // Counts a command's result; the output it wrote must have got out.
  void Record(int result) {
    result = std::max(result, OutputStatus());
    status = std::max(status, result);
    if (bail && result != kCommandOk) {
      status = result;
      stopped = true;
    }
  }

  void Run(const std::string& line) { Record(session.Execute(line)); }

  // Command lines from a stream; blank lines and "#" lines are skipped.
  void RunLines(const std::function<std::optional<std::string>()>& nextLine) {
    while (!Stopped()) {
      std::optional<std::string> line = nextLine();
      if (!line) {
        break;
      }
      if (!line->empty() && line->back() == '\r') {
        line->pop_back();
      }
      size_t first = line->find_first_not_of(" \t");
      if (first == std::string::npos || (*line)[first] == '#') {
        continue;
      }
      Run(*line);
    }
  }

  // At the end: what is still buffered must get out too.
  void Finish() { status = std::max(status, OutputStatus()); }

 private:
  // kCommandFailed, once, when standard output could not be written.
  int OutputStatus() {
    out.flush();
    if (out.good() || outputFailed) {
      return outputFailed ? kCommandFailed : kCommandOk;
    }
    outputFailed = true;
    err << "error: cannot write to standard output" << std::endl;
    return kCommandFailed;
  }

  CCliSession& session;
  std::ostream& out;
  std::ostream& err;
  bool bail;
  bool stopped = false;
  bool outputFailed = false;
  int status = kCommandOk;
};

std::optional<std::string> ReadStreamLine(std::istream& in) {
  std::string line;
  if (!std::getline(in, line)) {
    return std::nullopt;
  }
  return line;
}

}  // namespace

int RunTamselCli(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err,
                 bool inIsTerminal, CCliLineEditor* editor) {
  Invocation inv;
  if (!ParseInvocation(argc, argv, inv, err)) {
    return kBadInvocation;
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
    return kBadInvocation;
  }
  // Every command file must be there before the first command runs.
  for (const Source& source : inv.sources) {
    if (source.isFile && source.text != "-" && !std::ifstream(source.text)) {
      err << "error: cannot read " << source.text << '\n';
      return kBadInvocation;
    }
  }

  // Questions are asked on the terminal only when standard input is one.
  CCliSession::Ask ask;
  if (inIsTerminal) {
    ask = [&in, &err, editor](const std::string& prompt) -> std::optional<std::string> {
      if (editor != nullptr) {
        return editor->ReadLine(prompt, false);
      }
      err << prompt << std::flush;
      return ReadStreamLine(in);
    };
  }
  CCliSession session(out, err, ask);
  CommandRunner runner(session, out, err, inv.bail);
  if (inv.config) {
    runner.Record(session.OpenStartConfiguration(*inv.config));
  }
  for (const Source& source : inv.sources) {
    if (runner.Stopped()) {
      break;
    }
    if (!source.isFile) {
      runner.Run(source.text);
    } else if (source.text == "-") {
      runner.RunLines([&in] { return ReadStreamLine(in); });
    } else {
      std::ifstream file(source.text);
      runner.RunLines([&file] { return ReadStreamLine(file); });
    }
  }
  if (inv.sources.empty() && !runner.Stopped()) {
    if (inIsTerminal) {
      session.SetInteractive(true);
    }
    const std::string prompt = "tamsel> ";
    if (inIsTerminal && editor != nullptr) {
      runner.RunLines([editor, &prompt] { return editor->ReadLine(prompt, true); });
    } else {
      runner.RunLines([&in, &err, inIsTerminal, &prompt] {
        if (inIsTerminal) {
          err << prompt << std::flush;
        }
        return ReadStreamLine(in);
      });
    }
  }
  runner.Finish();
  return runner.Status();
}
