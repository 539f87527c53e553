#include "SampleSession.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

std::vector<std::string> DatabaseArgs(const std::vector<std::string>& databases) {
  std::vector<std::string> args = {"--port", "0"};
  for (const auto& name : databases) {
    args.push_back("--db");
    args.push_back(name + "=" + SamplePath(name + ".stanza"));
  }
  return args;
}

}  // namespace

SampleDriver::SampleDriver(const std::vector<std::string>& databases)
    : DriverProcess(DatabaseArgs(databases)) {}

std::string SamplePath(const std::string& name) {
  return std::string(TAMSEL_SOURCE_DIR) + "/data/sample/" + name;
}

std::string CopySample(const TempDir& dir, const std::string& name, int port) {
  std::string text = ReadWholeFile(SamplePath(name));
  const std::string address = "127.0.0.1:7301";
  for (size_t at = text.find(address); at != std::string::npos; at = text.find(address, at + 1)) {
    text.replace(at, address.size(), "127.0.0.1:" + std::to_string(port));
  }
  return dir.Write(name, text);
}

SampleWorkDir::SampleWorkDir(int port) {
  for (const char* name : {"sample.tcf", "sample-separate.tcf", "sample-pointer.tcf", "catalogue",
                           "changelog", "db.ifo"}) {
    CopySample(dir, name, port);
  }
  mkdir(dir.File("config").c_str(), 0700);
  mkdir(dir.File("tmp").c_str(), 0700);
}

ProgramResult SampleWorkDir::Run(const std::vector<std::string>& args, const std::string& input,
                                 const std::vector<std::string>& extraEnv) const {
  // The shell only changes into the directory; the client runs in its place.
  std::vector<std::string> shellArgs = {"-c", "cd \"$0\" && exec \"$@\"", Path(),
                                        TAMSEL_CLI_BINARY};
  shellArgs.insert(shellArgs.end(), args.begin(), args.end());
  std::vector<std::string> env = {"XDG_CONFIG_HOME=" + File("config"), "TEMP=" + File("tmp")};
  env.insert(env.end(), extraEnv.begin(), extraEnv.end());
  return RunProgram("/bin/sh", shellArgs, input, env);
}

ProgramResult SampleWorkDir::Commands(const std::vector<std::string>& commands) const {
  std::string input;
  for (const auto& command : commands) {
    input += command + '\n';
  }
  return Run({"-f", "-"}, input);
}

std::string Stanza::First(const std::string& field) const {
  auto it = fields.find(field);
  if (it == fields.end()) {
    return "";
  }
  return it->second.substr(0, it->second.find('\n'));
}

bool Stanza::HasWord(const std::string& word, const std::string& field) const {
  for (const auto& [name, value] : fields) {
    if (!field.empty() && name != field) {
      continue;
    }
    for (const auto& w : Words(value)) {
      if (w == word) {
        return true;
      }
    }
  }
  return false;
}

std::vector<Stanza> ReadStanzas(const std::string& path) {
  std::vector<Stanza> records;
  std::ifstream in(path);
  std::string line;
  Stanza current;
  std::string field;
  auto finish = [&] {
    if (!current.fields.empty() && !current.Has("database")) {
      records.push_back(current);
    }
    current = Stanza();
    field.clear();
  };
  while (std::getline(in, line)) {
    if (line.empty()) {
      finish();
    } else if (line[0] == '#') {
      continue;
    } else if (line[0] == ' ' || line[0] == '\t') {
      std::string more = line.substr(1);
      current.fields[field] += '\n' + (more == "." ? std::string() : more);
    } else {
      size_t colon = line.find(':');
      field = line.substr(0, colon);
      for (char& c : field) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      }
      size_t start = line.find_first_not_of(' ', colon + 1);
      current.fields[field] = start == std::string::npos ? "" : line.substr(start);
    }
  }
  finish();
  return records;
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (std::isalnum(u) || u > 127) {
      word += static_cast<char>(std::tolower(u));
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  if (!word.empty()) {
    words.push_back(word);
  }
  return words;
}

std::string TitleLine(int number, const std::string& text) {
  std::string n = std::to_string(number);
  if (n.size() < 3) {
    n.resize(3, ' ');
  }
  return n + ' ' + text;
}

int MatchCount(const std::string& summaryText) {
  std::smatch m;
  static const std::regex count("Your query matched ([0-9]+) items\\.");
  return std::regex_search(summaryText, m, count) ? std::stoi(m[1]) : -1;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> ErrorLines(const std::string& err) {
  std::vector<std::string> errors;
  for (const auto& line : Lines(err)) {
    if (line.rfind("error: ", 0) == 0) {
      errors.push_back(line);
    }
  }
  return errors;
}
