#include "CDriverOptions.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

bool ParseInt(const std::string& text, int low, int high, int& value) {
  errno = 0;
  char* end = nullptr;
  long parsed = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE || parsed < low || parsed > high) {
    return false;
  }
  value = static_cast<int>(parsed);
  return true;
}

bool SplitAssignment(const std::string& text, std::pair<std::string, std::string>& parts) {
  std::size_t equals = text.find('=');
  if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
    return false;
  }
  parts = {text.substr(0, equals), text.substr(equals + 1)};
  return true;
}

}  // namespace

const char* CDriverOptions::Usage() {
  return "usage: tamsel-sample-driver [--host HOST] [--port N] [--db NAME=FILE]...\n"
         "                            [--password NAME=SECRET]... [--delay-ms N]\n"
         "                            [--split-writes N] [--close-after N]\n"
         "                            [--protocol VERSION] [--verbose]\n"
         "       tamsel-sample-driver --help | --version\n"
         "Serves stanza files as Tamsel databases. --port 0 picks a free port; the\n"
         "first line on standard output is \"listening on PORT\".\n";
}

std::string CDriverOptions::VersionText() {
  return std::string("tamsel-sample-driver ") + TAMSEL_VERSION + "\n";
}

bool CDriverOptions::Parse(int argc, char** argv, DriverOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string value;
    std::size_t equals = arg.find('=');
    bool inlineValue = arg.rfind("--", 0) == 0 && equals != std::string::npos;
    if (inlineValue) {
      value = arg.substr(equals + 1);
      arg = arg.substr(0, equals);
    }
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    if (arg == "--version") {
      options.version = true;
      continue;
    }
    if (arg == "--verbose") {
      options.session.verbose = true;
      continue;
    }
    if (!inlineValue) {
      if (i + 1 >= argc) {
        error = arg.rfind("--", 0) == 0 ? arg + " needs a value" : "unknown argument " + arg;
        return false;
      }
      value = argv[++i];
    }
    std::pair<std::string, std::string> parts;
    bool ok = true;
    if (arg == "--host") {
      options.host = value;
      ok = !value.empty();
    } else if (arg == "--port") {
      ok = ParseInt(value, 0, 65535, options.port);
    } else if (arg == "--db") {
      ok = SplitAssignment(value, parts);
      options.databases.push_back(parts);
    } else if (arg == "--password") {
      ok = SplitAssignment(value, parts);
      options.passwords[parts.first] = parts.second;
    } else if (arg == "--delay-ms") {
      ok = ParseInt(value, 0, 600000, options.session.replies.delayMs);
    } else if (arg == "--split-writes") {
      ok = ParseInt(value, 0, INT_MAX, options.session.replies.splitWrites);
    } else if (arg == "--close-after") {
      ok = ParseInt(value, 0, INT_MAX, options.session.replies.closeAfter);
    } else if (arg == "--protocol") {
      options.session.protocol = value;
    } else {
      error = "unknown option " + arg;
      return false;
    }
    if (!ok) {
      error = "bad value for " + arg + ": " + value;
      return false;
    }
  }
  if (options.databases.empty()) {
    std::string dir = CDriverOptions::DefaultDataDirectory();
    options.databases = {{"catalogue", dir + "/catalogue.stanza"},
                         {"changelog", dir + "/changelog.stanza"}};
  }
  for (const auto& [name, secret] : options.passwords) {
    bool known = false;
    for (const auto& db : options.databases) {
      known = known || db.first == name;
    }
    if (!known) {
      error = "--password names no database served: " + name;
      return false;
    }
  }
  return true;
}

// Installed, the data sits in ../share/tamsel/sample beside bin/; in the build
// tree, in the source tree's data/sample.
std::string CDriverOptions::DefaultDataDirectory() {
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n > 0) {
    std::string exe(self, static_cast<std::size_t>(n));
    std::string prefix = exe.substr(0, exe.rfind('/'));
    prefix = prefix.substr(0, prefix.rfind('/'));
    std::string installed = prefix + "/share/tamsel/sample";
    if (access((installed + "/catalogue.stanza").c_str(), R_OK) == 0) {
      return installed;
    }
  }
  return TAMSEL_SAMPLE_DATA_DIR;
}
