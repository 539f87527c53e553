#pragma once

#include <curl/curl.h>

#include <string>

// libcurl, loaded when first needed. Most sessions never fetch a remote
// configuration or send mail through an SMTP URL, and linking the library
// with its thirty-odd dependencies made every start of the command-line
// client several times slower.
struct CCurlLibrary {
  decltype(&curl_global_init) global_init = nullptr;
  decltype(&curl_easy_init) easy_init = nullptr;
  decltype(&curl_easy_setopt) easy_setopt = nullptr;
  decltype(&curl_easy_perform) easy_perform = nullptr;
  decltype(&curl_easy_getinfo) easy_getinfo = nullptr;
  decltype(&curl_easy_cleanup) easy_cleanup = nullptr;
  decltype(&curl_easy_strerror) easy_strerror = nullptr;
  decltype(&curl_slist_append) slist_append = nullptr;
  decltype(&curl_slist_free_all) slist_free_all = nullptr;
  decltype(&curl_url) url = nullptr;
  decltype(&curl_url_set) url_set = nullptr;
  decltype(&curl_url_get) url_get = nullptr;
  decltype(&curl_url_cleanup) url_cleanup = nullptr;
  decltype(&curl_free) free = nullptr;

  // The library, loaded and globally initialised on the first call; null
  // when it can't be loaded, with `error` (when given) saying why.
  static const CCurlLibrary* Get(std::string* error = nullptr);
};
