#include "CStanzaReader.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "SampleText.h"

std::vector<StanzaRecord> CStanzaReader::Read(std::istream& in) {
  std::vector<StanzaRecord> records;
  StanzaRecord current;
  std::string line;
  auto finish = [&records, &current]() {
    if (!current.fields.empty()) {
      records.push_back(std::move(current));
      current = StanzaRecord();
    }
  };
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (TrimBlanks(line).empty()) {
      finish();
      continue;
    }
    if (line[0] == '#') {
      continue;
    }
    if (line[0] == ' ' || line[0] == '\t') {
      // A continuation before any field belongs to nothing.
      if (!current.fields.empty()) {
        std::string rest = line.substr(1);
        std::string& value = current.fields.back().second;
        value += '\n';
        value += TrimBlanks(rest) == "." ? std::string() : rest;
      }
      continue;
    }
    std::size_t colon = line.find(':');
    if (colon == std::string::npos) {
      continue;
    }
    std::string name = TrimBlanks(line.substr(0, colon));
    if (!name.empty()) {
      current.fields.emplace_back(name, TrimBlanks(line.substr(colon + 1)));
    }
  }
  finish();
  return records;
}

bool CStanzaReader::ReadFile(const std::string& path, std::vector<StanzaRecord>& records,
                             std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": " + std::strerror(errno);
    return false;
  }
  records = Read(in);
  return true;
}
