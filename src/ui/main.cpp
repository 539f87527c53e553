#include <QApplication>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/CInfoOptions.h"
#include "app/CStartup.h"
#include "ui/CTamselApplication.h"

int main(int argc, char** argv) {
  // Answered before Qt looks for a display: they must work without one, and
  // are never the name of a configuration file.
  std::optional<std::string> info =
      CInfoOptions::TextFor(std::vector<std::string>(argv + 1, argv + argc));
  if (info) {
    std::fputs(info->c_str(), stdout);
    return 0;
  }
  QApplication qtApp(argc, argv);
  CTamselApplication tamsel;
  if (!tamsel.Start(CStartup::JoinCommandLine(argc, argv))) {
    return 1;
  }
  return tamsel.Run();
}
