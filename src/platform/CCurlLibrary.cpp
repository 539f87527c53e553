#include "platform/CCurlLibrary.h"

#include <dlfcn.h>

namespace {

struct Loaded {
  CCurlLibrary library;
  std::string error;
  bool ok = false;
};

template <typename Function>
bool Bind(void* handle, const char* name, Function& into, std::string& error) {
  into = reinterpret_cast<Function>(dlsym(handle, name));
  if (into == nullptr) {
    error = std::string("libcurl lacks ") + name;
    return false;
  }
  return true;
}

Loaded Load() {
  Loaded loaded;
  // The library stays loaded for the life of the process.
  void* handle = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    loaded.error = why != nullptr ? why : "libcurl.so.4 could not be loaded";
    return loaded;
  }
  CCurlLibrary& l = loaded.library;
  std::string& e = loaded.error;
  loaded.ok = Bind(handle, "curl_global_init", l.global_init, e) &&
              Bind(handle, "curl_easy_init", l.easy_init, e) &&
              Bind(handle, "curl_easy_setopt", l.easy_setopt, e) &&
              Bind(handle, "curl_easy_perform", l.easy_perform, e) &&
              Bind(handle, "curl_easy_getinfo", l.easy_getinfo, e) &&
              Bind(handle, "curl_easy_cleanup", l.easy_cleanup, e) &&
              Bind(handle, "curl_easy_strerror", l.easy_strerror, e) &&
              Bind(handle, "curl_slist_append", l.slist_append, e) &&
              Bind(handle, "curl_slist_free_all", l.slist_free_all, e) &&
              Bind(handle, "curl_url", l.url, e) && Bind(handle, "curl_url_set", l.url_set, e) &&
              Bind(handle, "curl_url_get", l.url_get, e) &&
              Bind(handle, "curl_url_cleanup", l.url_cleanup, e) &&
              Bind(handle, "curl_free", l.free, e);
  if (loaded.ok && l.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
    loaded.ok = false;
    e = "libcurl could not start";
  }
  return loaded;
}

}  // namespace

const CCurlLibrary* CCurlLibrary::Get(std::string* error) {
  static const Loaded loaded = Load();
  if (!loaded.ok && error != nullptr) {
    *error = loaded.error;
  }
  return loaded.ok ? &loaded.library : nullptr;
}
