#include "app/CInfoOptions.h"

#include "app/AppNames.h"
#include "app/FormatText.h"

#ifndef TAMSEL_VERSION
#define TAMSEL_VERSION "unknown"
#endif

namespace {

constexpr const char* kUsageText =
    "Usage: tamsel [-e | CONFIG]\n"
    "Searches remote text databases described by a Tamsel configuration.\n"
    "\n"
    "  CONFIG      open this configuration file (.tcf)\n"
    "  -e, /e      start without a configuration\n"
    "  --help      show this text and exit\n"
    "  --version   show the version and exit\n"
    "\n"
    "Without CONFIG the configuration at the default URL is opened (Options >\n"
    "Preferences > Default Configuration URL). A second start hands its\n"
    "configuration to the program already running.\n";

}  // namespace

std::optional<std::string> CInfoOptions::TextFor(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    return std::nullopt;
  }
  if (args[0] == "--help") {
    return std::string(kUsageText);
  }
  if (args[0] == "--version") {
    return FormatText("tamsel %s (%s)\n", TAMSEL_VERSION, kVersionText);
  }
  return std::nullopt;
}
