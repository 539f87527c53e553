// tamsel-sample-driver: a small database server for Tamsel clients.

#include <csignal>
#include <iostream>
#include <string>

#include "CDriverOptions.h"
#include "CDriverServer.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) {
  stopRequested = 1;
}

}  // namespace

int main(int argc, char** argv) {
  DriverOptions options;
  std::string error;
  if (!CDriverOptions::Parse(argc, argv, options, error)) {
    std::cerr << "tamsel-sample-driver: " << error << '\n' << CDriverOptions::Usage();
    return 2;
  }
  if (options.help) {
    std::cout << CDriverOptions::Usage();
    return 0;
  }
  if (options.version) {
    std::cout << CDriverOptions::VersionText();
    return 0;
  }
  std::signal(SIGPIPE, SIG_IGN);
  // SIGINT and SIGTERM are held back except while the loop waits, so a stop
  // is never lost between the check and the wait.
  sigset_t stopSignals, waitMask;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  CDriverServer server(options);
  if (!server.Load(error) || !server.Listen(error)) {
    std::cerr << "tamsel-sample-driver: " << error << '\n';
    return 1;
  }
  std::cout << "listening on " << server.Port() << std::endl;
  return server.Run(stopRequested, waitMask);
}
