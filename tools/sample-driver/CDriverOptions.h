#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "CDriverSession.h"

struct DriverOptions {
  std::string host = "127.0.0.1";
  int port = 7301;
  std::vector<std::pair<std::string, std::string>> databases;  // name, stanza file
  std::map<std::string, std::string> passwords;                // name, secret
  SessionSettings session;
  bool help = false;
  bool version = false;
};

// The command line of tamsel-sample-driver.
class CDriverOptions {
 public:
  // False with a readable reason. Without --db the bundled sample databases
  // "catalogue" and "changelog" are served.
  static bool Parse(int argc, char** argv, DriverOptions& options, std::string& error);
  static const char* Usage();
  // "tamsel-sample-driver VERSION" and a line end.
  static std::string VersionText();
  // Where the bundled sample databases are read from without --db.
  static std::string DefaultDataDirectory();
};
