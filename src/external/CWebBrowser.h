#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/Ui.h"

class CDBDescRec;
class CSettingsStore;

// The user's web browser: choosing it, and opening the database help pages
// served next to a remote configuration in it.
class CWebBrowser {
 public:
  static constexpr const char* kChooseCaption = "Select Web Browser";
  static constexpr const char* kExecutablesFilter = "Web Browser (executables)";
  static constexpr const char* kAllFilesFilter = "All Files (*)";
  // Where the chooser starts when no browser is stored.
  static constexpr const char* kDefaultDirectory = "/usr/bin";
  static constexpr const char* kHelpPath = "helphtml/help.cgi?";
  static constexpr const char* kDatabaseHelpPrompt = "Database specific help";
  // With no browser chosen, the desktop's own choice opens the page.
  static constexpr const char* kDesktopOpener = "xdg-open";

  CWebBrowser(Ui& ui, CSettingsStore& settings);

  // The stored "Browser:" path, "" when none was chosen.
  std::string BrowserPath() const;

  // The "Select Web Browser" chooser, starting in the directory of `current`.
  static FileChooserRequest ChooseRequest(const std::string& current);
  // "Web Browser": asks for the program and stores it; false on Cancel.
  bool ChooseBrowser();

  // The help page of database `tag`: one directory above the configuration's
  // directory, then "helphtml/help.cgi?" and the tag; just that relative
  // part for a local configuration (`configBaseUrl` "").
  static std::string HelpUrl(const std::string& configBaseUrl, const std::string& tag);

  // The help URL of the selected database, or "" when no database is
  // selected or its name has no tag.
  static std::string DatabaseHelpUrl(const CDBDescRec* currentDatabase,
                                     const std::map<std::string, std::string>& databaseTags,
                                     const std::string& configBaseUrl);

  // "Database Help" is offered only while a database is selected.
  static bool DatabaseHelpEnabled(const CDBDescRec* currentDatabase) {
    return currentDatabase != nullptr;
  }

  // "Database Help": asks for a browser first when none is stored, then
  // opens the page. False when nothing was started.
  bool DatabaseHelp(const CDBDescRec* currentDatabase,
                    const std::map<std::string, std::string>& databaseTags,
                    const std::string& configBaseUrl);

  // The words a page is opened with: the browser path exactly as stored
  // (one word, blanks and letter case kept) and the URL, or the desktop
  // opener and the URL when no browser is stored.
  static std::vector<std::string> BrowserWords(const std::string& browserPath,
                                               const std::string& url);

  // Starts the browser on `url`; failures are reported in message boxes.
  bool OpenUrl(const std::string& browserPath, const std::string& url);

 private:
  Ui& ui;
  CSettingsStore& settings;
};
