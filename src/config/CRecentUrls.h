#pragma once

#include <string>

class CSettingsStore;
class Ui;

// Asks for a configuration URL in the URL dialog, offering `proposed` and the
// recent URLs, and rewrites the stored list of recent URLs. With `askForUrl`
// set the stored default stays first and a newly chosen URL becomes the most
// recent one; otherwise it becomes the default. Returns the URL, or "" when
// the dialog was cancelled (the stored list is then left alone).
std::string AskConfigurationUrl(Ui& ui, CSettingsStore& settings, bool askForUrl,
                                const std::string& proposed);
