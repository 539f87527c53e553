#pragma once

#include <string>
#include <vector>

class CSettingsStore;
class Ui;

// Options > Preferences > "Default Configuration URL ": chooses the URL a
// start without a path, and a remote open without a pointer, fetch.
class CDefaultUrlCommand {
 public:
  static constexpr const char* kCaption = "Set configuration URL";
  static constexpr const char* kPromptText = "Enter configuration url:";

  CDefaultUrlCommand(Ui& ui, CSettingsStore& settings);

  // The dialog's list: the stored default (the built-in URL when none is
  // stored), then the recent URLs up to the first empty one.
  std::vector<std::string> ProposedList() const;

  // The list after choosing `answer`: every copy of it removed, then it in
  // front.
  static std::vector<std::string> ListAfterChoice(std::vector<std::string> list,
                                                  const std::string& answer);

  // Runs the URL dialog and stores the new list; false on Cancel.
  bool Run();

 private:
  Ui& ui;
  CSettingsStore& settings;
};
