#pragma once

#include <string>

class CSettingsStore;
class Ui;

// Asks for a configuration URL in the URL dialog, offering `proposed` and the
// recent URLs. Returns the URL, or "" when the dialog was cancelled. Stores
// nothing: a URL enters the list only once it has been fetched.
std::string AskConfigurationUrl(Ui& ui, CSettingsStore& settings, const std::string& proposed);

// Enters `url`, fetched after AskConfigurationUrl offered `proposed`, into
// the stored list of recent URLs. With `askForUrl` set the stored default
// stays first and the URL becomes the most recent one; otherwise it becomes
// the default. User names and passwords are never stored. False when the
// settings could not be written.
bool RememberConfigurationUrl(CSettingsStore& settings, bool askForUrl, const std::string& proposed,
                              const std::string& url);

// `url` without the "user:password@" part of its authority.
std::string WithoutUserInfo(const std::string& url);
