#pragma once

#include <optional>
#include <string>

// Reads command lines on a terminal with line editing and a history that is
// kept between runs (a file readable by its owner only).
class CCliLineEditor {
 public:
  // `historyPath` empty: no history file.
  explicit CCliLineEditor(std::string historyPath);
  ~CCliLineEditor();
  CCliLineEditor(const CCliLineEditor&) = delete;
  CCliLineEditor& operator=(const CCliLineEditor&) = delete;

  // The next line without its line end; none at the end of input. Lines that
  // hold something are added to the history when `remember` is set.
  std::optional<std::string> ReadLine(const std::string& prompt, bool remember);

  // $XDG_STATE_HOME/tamsel/history, else ~/.local/state/tamsel/history; empty
  // when neither variable is set. `getenv` looks a variable up.
  static std::string DefaultHistoryPath(const char* (*getenv)(const char*));

 private:
  void SaveHistory();

  std::string historyPath;
};
