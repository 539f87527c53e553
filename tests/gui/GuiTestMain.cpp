#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include "GuiTestRegistry.h"

int main(int argc, char** argv) {
  // Whatever a test forgets to point elsewhere lands in a directory of this run.
  QTemporaryDir configHome;
  qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  int failures = 0;
  for (const auto& factory : GuiTestRegistry::Tests()) {
    std::unique_ptr<QObject> test = factory();
    failures += QTest::qExec(test.get(), argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
