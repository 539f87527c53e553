#pragma once

#include <functional>
#include <string>
#include <vector>

class CArgScanner;
class CCliSession;

// Exit statuses a command returns: it ran and did what was asked; it was
// unknown, not available or given wrong arguments; it ran and failed.
inline constexpr int kCommandOk = 0;
inline constexpr int kCommandError = 1;
inline constexpr int kCommandFailed = 3;

// One command of tamsel-cli. Commands come in groups, each a class in a file
// of its own with a static Table(); CCliSession::Commands() joins the tables,
// so a new group adds one entry there and nothing else.
struct CliCommand {
  std::string name;
  std::function<int(CCliSession& session, CArgScanner& args)> handler;
  std::string usage;
  std::string summary;
};
using CliCommandTable = std::vector<CliCommand>;
