#include "output/CCurlMailSender.h"

#include <algorithm>
#include <cstring>

#include "platform/CCurlLibrary.h"

namespace {

struct Upload {
  const std::string* data;
  std::size_t offset = 0;
};

std::size_t ReadMessage(char* buffer, std::size_t size, std::size_t count, void* user) {
  auto* upload = static_cast<Upload*>(user);
  std::size_t room = size * count;
  std::size_t left = upload->data->size() - upload->offset;
  std::size_t n = std::min(room, left);
  std::memcpy(buffer, upload->data->data() + upload->offset, n);
  upload->offset += n;
  return n;
}

// Keeps the last line the server sent, for the message the user sees.
int WatchReplies(CURL*, curl_infotype type, char* data, std::size_t size, void* user) {
  if (type == CURLINFO_HEADER_IN) {
    std::string line(data, size);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
      line.pop_back();
    }
    if (!line.empty()) {
      *static_cast<std::string*>(user) = line;
    }
  }
  return 0;
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

}  // namespace

bool CCurlMailSender::IsMailUrl(const std::string& host) {
  return StartsWith(host, "smtp://") || StartsWith(host, "smtps://");
}

std::string CCurlMailSender::EffectiveUrl(const std::string& host) {
  bool tls = StartsWith(host, "smtps://");
  std::size_t start = host.find("://") + 3;
  std::size_t end = host.find('/', start);
  std::string authority = host.substr(start, end == std::string::npos ? end : end - start);
  // A bracketed IPv6 address has colons of its own.
  std::size_t close = authority.rfind(']');
  std::size_t colon = authority.rfind(':');
  bool hasPort = colon != std::string::npos && (close == std::string::npos || colon > close);
  if (!hasPort) {
    authority += tls ? ":465" : ":587";
  }
  return (tls ? "smtps://" : "smtp://") + authority;
}

CCurlMailSender::Result CCurlMailSender::Send(const std::string& hostUrl,
                                              const Message& message) const {
  Result result;
  const CCurlLibrary* lib = CCurlLibrary::Get(&result.error);
  if (lib == nullptr) {
    return result;
  }
  CURL* curl = lib->easy_init();
  if (curl == nullptr) {
    result.error = "libcurl could not start";
    return result;
  }
  char errorBuffer[CURL_ERROR_SIZE] = {};
  Upload upload{&message.data};
  curl_slist* recipients = lib->slist_append(nullptr, ("<" + message.recipient + ">").c_str());
  std::string url = EffectiveUrl(hostUrl);
  lib->easy_setopt(curl, CURLOPT_URL, url.c_str());
  lib->easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
  // smtp:// must not fall back to plain text when the server offers no TLS.
  lib->easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
  lib->easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  lib->easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!caFile.empty()) {
    lib->easy_setopt(curl, CURLOPT_CAINFO, caFile.c_str());
  }
  lib->easy_setopt(curl, CURLOPT_NETRC, static_cast<long>(CURL_NETRC_OPTIONAL));
  if (!netrcFile.empty()) {
    lib->easy_setopt(curl, CURLOPT_NETRC_FILE, netrcFile.c_str());
  }
  lib->easy_setopt(curl, CURLOPT_MAIL_FROM, ("<" + message.from + ">").c_str());
  lib->easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
  lib->easy_setopt(curl, CURLOPT_UPLOAD, 1L);
  lib->easy_setopt(curl, CURLOPT_READFUNCTION, ReadMessage);
  lib->easy_setopt(curl, CURLOPT_READDATA, &upload);
  lib->easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message.data.size()));
  lib->easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, timeoutSeconds);
  // A server that stops answering ends the send after the same wait.
  lib->easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  lib->easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, timeoutSeconds);
  lib->easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  lib->easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
  lib->easy_setopt(curl, CURLOPT_DEBUGFUNCTION, WatchReplies);
  lib->easy_setopt(curl, CURLOPT_DEBUGDATA, &result.serverReply);
  lib->easy_setopt(curl, CURLOPT_VERBOSE, 1L);  // feeds WatchReplies; nothing is printed

  CURLcode code = lib->easy_perform(curl);
  result.sent = code == CURLE_OK;
  if (!result.sent) {
    result.error = errorBuffer[0] != '\0' ? errorBuffer : lib->easy_strerror(code);
  }
  lib->slist_free_all(recipients);
  lib->easy_cleanup(curl);
  return result;
}
