#pragma once

#include <string>
#include <vector>

// Mail through today's servers: when the mail host is written as a URL,
// smtp://host[:port] (STARTTLS required, port 587 by default) or
// smtps://host[:port] (TLS from the start, port 465), the message goes out
// through libcurl with certificates verified and the login taken from
// ~/.netrc, never from our settings. A plain host keeps the classic dialogue.
class CCurlMailSender {
 public:
  struct Message {
    std::string from;       // the envelope sender
    std::string recipient;  // one address
    // The whole message as it is to arrive: header lines, an empty line,
    // the body; lines end in CR LF. libcurl escapes leading periods itself.
    std::string data;
  };
  struct Result {
    bool sent = false;
    // The last reply line of the server (for messages), or libcurl's reason.
    std::string serverReply;
    std::string error;
  };

  // True for the host forms this sender takes.
  static bool IsMailUrl(const std::string& host);
  // The URL with the default port made explicit ("smtp://h" -> "smtp://h:587").
  static std::string EffectiveUrl(const std::string& host);

  // Only for tests: trust this certificate file instead of the system's.
  std::string caFile;
  // Only for tests: read the login from this file instead of ~/.netrc.
  std::string netrcFile;
  // Each wait without progress ends after this long.
  long timeoutSeconds = 60;

  Result Send(const std::string& hostUrl, const Message& message) const;
};
