#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "SilentUi.h"
#include "app/CAppState.h"
#include "app/CPollEventLoop.h"
#include "app/CSettingsStore.h"
#include "doc/CTmsfrmDoc.h"
#include "driver/CDriverLink.h"

// Whatever a driver sends, the receiver assembles and dispatches it without
// crashing, and ends with the connection closed.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 100000) {
    return 0;
  }
  int fds[2];
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) {
    return 0;
  }
  int bufSize = 1 << 20;
  setsockopt(fds[0], SOL_SOCKET, SO_RCVBUF, &bufSize, sizeof bufSize);
  setsockopt(fds[1], SOL_SOCKET, SO_SNDBUF, &bufSize, sizeof bufSize);
  size_t at = 0;
  while (at < size) {
    ssize_t n = write(fds[1], data + at, size - at);
    if (n <= 0) {
      break;
    }
    at += static_cast<size_t>(n);
  }
  close(fds[1]);

  SilentUi ui;
  CAppState app;
  CSettingsStore settings("/nonexistent/Tamsel.conf");
  CPollEventLoop loop;
  CTmsfrmDoc doc(app, settings, ui, loop);
  CDriverLink& link = doc.Link();
  link.SetLinkState(LINK_CONNECTING);
  link.Connection().AdoptSocket(fds[0]);
  for (int steps = 0; steps < 100000 && link.Connection().HasSocket(); ++steps) {
    link.Connection().ReceiveStep();
  }
  if (link.Connection().HasSocket()) {
    __builtin_trap();
  }
  return 0;
}
