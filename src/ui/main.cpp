#include <QApplication>

#include "app/CStartup.h"
#include "ui/CTamselApplication.h"

int main(int argc, char** argv) {
  QApplication qtApp(argc, argv);
  CTamselApplication tamsel;
  if (!tamsel.Start(CStartup::JoinCommandLine(argc, argv))) {
    return 1;
  }
  return tamsel.Run();
}
