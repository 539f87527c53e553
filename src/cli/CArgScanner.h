#pragma once

#include <optional>
#include <string>

// Reads a command line's arguments one at a time: blanks separate them, double
// quotes group an argument that holds blanks (`""` is an empty argument).
// Rest() takes the remainder after the one blank that follows the previous
// argument, unchanged, so every possible term can be typed.
class CArgScanner {
 public:
  explicit CArgScanner(std::string line) : line(std::move(line)) {}

  // The next argument, or none at the end of the line.
  std::optional<std::string> Next();
  // The rest of the line after one separating blank; none when nothing is left.
  std::optional<std::string> Rest();
  bool AtEnd() const;

 private:
  std::string line;
  size_t pos = 0;
};

// Escapes a message or status text onto one line: line feed "\n", carriage
// return "\r", tab "\t", backslash "\\".
std::string EscapeLine(const std::string& text);
