#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// The real sample driver run as its own process with --port 0 and the given
// arguments; stopped with SIGTERM, its exit status kept.
class DriverProcess {
 public:
  explicit DriverProcess(const std::vector<std::string>& args);
  ~DriverProcess();
  DriverProcess(const DriverProcess&) = delete;
  DriverProcess& operator=(const DriverProcess&) = delete;

  // 0 when the driver did not come up.
  int Port() const { return port; }
  // SIGTERM; the exit status (0 for a clean stop, leak check included).
  int Stop();

  static std::string Binary() { return TAMSEL_SAMPLE_DRIVER_BINARY; }

 private:
  pid_t pid = -1;
  int outFd = -1;
  int port = 0;
  int exitStatus = -1;
};
