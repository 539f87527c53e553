#include <unistd.h>

#include <iostream>

#include "cli/CCliMain.h"

int main(int argc, char** argv) {
  return RunTamselCli(argc, argv, std::cin, std::cout, std::cerr, isatty(STDIN_FILENO) != 0);
}
