#include "cli/CArgScanner.h"

std::optional<std::string> CArgScanner::Next() {
  while (pos < line.size() && line[pos] == ' ') {
    ++pos;
  }
  if (pos >= line.size()) {
    return std::nullopt;
  }
  std::string arg;
  bool quoted = false;
  while (pos < line.size()) {
    char c = line[pos];
    if (c == '"') {
      quoted = !quoted;
      ++pos;
      continue;
    }
    if (c == ' ' && !quoted) {
      break;
    }
    arg += c;
    ++pos;
  }
  return arg;
}

std::optional<std::string> CArgScanner::Rest() {
  if (pos < line.size() && line[pos] == ' ') {
    ++pos;
  }
  if (pos >= line.size()) {
    return std::nullopt;
  }
  std::string rest = line.substr(pos);
  pos = line.size();
  return rest;
}

bool CArgScanner::AtEnd() const {
  size_t p = pos;
  while (p < line.size() && line[p] == ' ') {
    ++p;
  }
  return p >= line.size();
}

std::string EscapeLine(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += c;
    }
  }
  return out;
}
