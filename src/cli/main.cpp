#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <memory>

#include "cli/CCliLineEditor.h"
#include "cli/CCliMain.h"

int main(int argc, char** argv) {
  bool terminal = isatty(STDIN_FILENO) != 0;
  std::unique_ptr<CCliLineEditor> editor;
  if (terminal) {
    editor = std::make_unique<CCliLineEditor>(CCliLineEditor::DefaultHistoryPath(
        [](const char* name) -> const char* { return std::getenv(name); }));
  }
  return RunTamselCli(argc, argv, std::cin, std::cout, std::cerr, terminal, editor.get());
}
