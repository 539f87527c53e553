#include "config/CConfigFetcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/CAppState.h"
#include "app/Ui.h"
#include "config/CConfigFile.h"
#include "config/CConfigLexer.h"
#include "platform/CCurlLibrary.h"

namespace {

constexpr const char* kRequestHeaders = "Accept: text/*\r\nUser-Agent: WinTamsel\r\n";
constexpr const char* kAgentName = "WinTamsel";

enum class Outcome { Copied, NoAnswer, BadAnswer, WriteFailed };

// Only reached once FetchConfigurationUrl has found the library loaded.
const CCurlLibrary& Lib() {
  return *CCurlLibrary::Get();
}

struct EasyDeleter {
  void operator()(CURL* curl) const { Lib().easy_cleanup(curl); }
};
struct UrlDeleter {
  void operator()(CURLU* url) const { Lib().url_cleanup(url); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { Lib().slist_free_all(list); }
};
using UrlPtr = std::unique_ptr<CURLU, UrlDeleter>;
using ListPtr = std::unique_ptr<curl_slist, ListDeleter>;

// An http or https URL with a server; anything else is refused before a
// connection is tried. TLS is accepted because a configuration names programs
// that the client starts: over plain HTTP anyone on the path could change them.
UrlPtr ParseHttpUrl(const std::string& url, bool& secure) {
  UrlPtr parsed(Lib().url());
  if (!parsed || Lib().url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) {
    return nullptr;
  }
  char* scheme = nullptr;
  char* host = nullptr;
  bool ok = Lib().url_get(parsed.get(), CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
            Lib().url_get(parsed.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK && host[0] != '\0' &&
            (std::strcmp(scheme, "http") == 0 || std::strcmp(scheme, "https") == 0);
  secure = ok && std::strcmp(scheme, "https") == 0;
  Lib().free(scheme);
  Lib().free(host);
  return ok ? std::move(parsed) : nullptr;
}

// One list entry per header line of kRequestHeaders. Headers given here
// replace curl's own of the same name.
ListPtr RequestHeaderList() {
  curl_slist* list = nullptr;
  std::string headers = kRequestHeaders;
  size_t start = 0;
  for (size_t end; (end = headers.find("\r\n", start)) != std::string::npos; start = end + 2) {
    curl_slist* longer = Lib().slist_append(list, headers.substr(start, end - start).c_str());
    if (longer == nullptr) {
      Lib().slist_free_all(list);
      return nullptr;
    }
    list = longer;
  }
  return ListPtr(list);
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

struct BodySink {
  CURL* curl;
  int fd;
  long long written = 0;
  bool writeFailed = false;
};

// Writes the body to the copy as it comes. Only a 200 answer's body is kept;
// returning less than offered stops the transfer.
size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<BodySink*>(user);
  size_t bytes = size * count;
  long status = 0;
  Lib().easy_getinfo(sink->curl, CURLINFO_RESPONSE_CODE, &status);
  if (status != 200) {
    return 0;
  }
  if (sink->written + static_cast<long long>(bytes) > CConfigFetcher::kMaxBodyBytes) {
    return 0;
  }
  if (!WriteAll(sink->fd, data, bytes)) {
    sink->writeFailed = true;
    return 0;
  }
  sink->written += static_cast<long long>(bytes);
  return bytes;
}

Outcome Transfer(CURLU* url, bool secure, int fd, long connectMs, long transferMs) {
  std::unique_ptr<CURL, EasyDeleter> curl(Lib().easy_init());
  ListPtr headers = RequestHeaderList();
  if (!curl || !headers) {
    return Outcome::NoAnswer;
  }
  CURL* c = curl.get();
  BodySink sink{c, fd};
  Lib().easy_setopt(c, CURLOPT_CURLU, url);
  Lib().easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  // Redirects are followed, but never from https down to plain http.
  Lib().easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  Lib().easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
  Lib().easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
  Lib().easy_setopt(c, CURLOPT_USERAGENT, kAgentName);
  Lib().easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
  Lib().easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
  Lib().easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
  Lib().easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, connectMs);
  Lib().easy_setopt(c, CURLOPT_TIMEOUT_MS, transferMs);
  // No SIGALRM for the time limits: the process has its own signal handlers.
  Lib().easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  // Refuses a declared oversize body at once; WriteBody catches undeclared ones.
  Lib().easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE,
                    static_cast<curl_off_t>(CConfigFetcher::kMaxBodyBytes));
  Lib().easy_setopt(c, CURLOPT_WRITEFUNCTION, WriteBody);
  Lib().easy_setopt(c, CURLOPT_WRITEDATA, &sink);
  // Proxies come from http_proxy, https_proxy and no_proxy, as curl reads them.

  CURLcode result = Lib().easy_perform(c);
  long status = 0;
  Lib().easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
  if (sink.writeFailed) {
    return Outcome::WriteFailed;
  }
  if (status == 0) {
    return Outcome::NoAnswer;
  }
  // A body cut short or too long is no configuration either.
  if (status != 200 || result != CURLE_OK) {
    return Outcome::BadAnswer;
  }
  return Outcome::Copied;
}

}  // namespace

CConfigFetcher::CConfigFetcher(CAppState& app, Ui& ui) : app(app), ui(ui) {}

std::unique_ptr<CConfigFile> CConfigFetcher::FetchConfigurationUrl(const std::string& url,
                                                                   CConfigLexer& lexer,
                                                                   bool& remoteConfig) {
  lexer.configLineNumber = 0;
  std::string curlError;
  if (CCurlLibrary::Get(&curlError) == nullptr) {
    ui.MessageBox(url + "\n\n" + curlError, "Could not reach URL", MsgButtons::Ok, MsgIcon::Error);
    return nullptr;
  }
  std::string path = app.NextTempConfigPath();
  lexer.configFileName = path;

  // The copies live in a private directory; O_NOFOLLOW still keeps a planted
  // link from redirecting the write should the copies land in a shared one.
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    ui.MessageBox(url, "Could not create file", MsgButtons::Ok, MsgIcon::Error);
    lexer.configFileName.clear();
    app.GiveBackTempConfig();
    return nullptr;
  }

  bool secure = false;
  UrlPtr parsed = ParseHttpUrl(url, secure);
  if (!parsed) {
    close(fd);
    // The empty copy keeps its number; it goes at exit with the others.
    ui.MessageBox(url, "Invalid URL", MsgButtons::Ok, MsgIcon::Error);
    return nullptr;
  }

  Outcome outcome = Transfer(parsed.get(), secure, fd, connectTimeoutMs, transferTimeoutMs);
  if (close(fd) != 0 && outcome == Outcome::Copied) {
    outcome = Outcome::WriteFailed;
  }
  switch (outcome) {
    case Outcome::Copied:
      break;
    case Outcome::NoAnswer:
      return GiveUp(url, "Could not reach URL", path, lexer);
    case Outcome::BadAnswer:
      return GiveUp(url, "Error accessing URL", path, lexer);
    case Outcome::WriteFailed:
      return GiveUp(url, "Could not create file", path, lexer);
  }

  auto file = CConfigFile::Open(path);
  if (!file) {
    return GiveUp(url, "Could not access URL", path, lexer);
  }
  remoteConfig = true;
  return file;
}

// The copy is removed and its number given back, so the next fetch reuses it.
std::unique_ptr<CConfigFile> CConfigFetcher::GiveUp(const std::string& url, const char* caption,
                                                    const std::string& path, CConfigLexer& lexer) {
  unlink(path.c_str());
  ui.MessageBox(url, caption, MsgButtons::Ok, MsgIcon::Error);
  lexer.configFileName.clear();
  app.GiveBackTempConfig();
  return nullptr;
}
