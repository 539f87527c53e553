#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class TempDir;

// A real mail server on loopback, run by Debian's python (it has aiosmtpd):
// each message's data as it arrived, periods undoubled, lands in `out`.
// Plain SMTP, or (Tls) tests/support/smtp_tls_server.py with STARTTLS or TLS
// from the start and AUTH, given the certificate and key in `dir`.
class MailServerProcess {
 public:
  enum class Kind { Plain, StartTls, ImplicitTls };

  MailServerProcess(const TempDir& dir, Kind kind);
  ~MailServerProcess();
  MailServerProcess(const MailServerProcess&) = delete;
  MailServerProcess& operator=(const MailServerProcess&) = delete;

  // False when python3-aiosmtpd is missing: the test is skipped.
  static bool Available();

  int port = 0;  // 0 when the server did not come up
  std::string out;

 private:
  void Start(const std::vector<std::string>& args);

  pid_t pid = -1;
  int keepAlive = -1;
};
