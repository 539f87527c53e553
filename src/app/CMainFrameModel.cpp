#include "app/CMainFrameModel.h"

#include "app/AppNames.h"
#include "app/CAppState.h"
#include "app/CMailHostDlg.h"
#include "app/CSettingsStore.h"
#include "app/CommandIds.h"
#include "app/SettingsNames.h"

namespace {

// Every command's prompt, in one table so that menus, toolbar and status bar
// cannot disagree.
struct CommandPrompt {
  int commandId;
  const char* prompt;
};

constexpr CommandPrompt kPrompts[] = {
    {kCmdOpenLocal, "Open a configuration file on this computer\nOpen Local"},
    {kCmdCloseDocument, "Close the configuration and its database connection\nClose"},
    {kCmdOpenRemote, "Open remote configuration file\nOpen remote config"},
    {kCmdPrintSetup, "Change the printer and printing options\nPrint Setup"},
    {kCmdExit, "Quit the application\nExit"},
    {kCmdSaveMail, "Save the results to a file or mail them\nSave/Mail"},
    {kCmdPrintResult, "Print the results\nPrint Result"},
    {kCmdUndo, "Undo the last action\nUndo"},
    {kCmdCut, "Cut the selection and put it on the Clipboard\nCut"},
    {kCmdCopy, "Copy the selection and put it on the Clipboard\nCopy"},
    {kCmdPaste, "Insert Clipboard contents\nPaste"},
    {kCmdClearAll, "Clear all and reset to defaults"},
    {kCmdFindText, "Find text\nFind"},
    {kCmdFindNext, "Find next \nFind Next"},
    {kCmdChangeFont, "Change the fonts for this window;"},
    {kCmdEcho, "Set echo for the driver;"},
    {kCmdFindPrevHighlight, "Find previous occurrence of search term(s)\nFind Prev Highlight"},
    {kCmdFindNextHighlight, "Find next occurrence of search term(s)\nFind Next Highlight"},
    {kCmdConnect, "Opens a dialog for selecting a database\nOpen Database"},
    {kCmdDisconnect, "Close the connection to the database\nDisconnect"},
    {kCmdAboutDatabase, "Show the description of the connected database"},
    {kCmdRecordFormat, "Specify format options"},
    {kCmdSaveFormatOptions, "Store the format options of this database"},
    {kCmdQueryName, "Name the current query and add to list"},
    {kCmdQueryDelete, "Delete a query from the current list"},
    {kCmdQuerySelect, "Select a query from the currently loaded list"},
    {kCmdQueryLoad, "Open a file of saved queries"},
    {kCmdQuerySave, "Save the current query list to a file"},
    {kCmdSaveWindowPosition, "Open the main window here next time"},
    {kCmdDefaultMailhost, "Set the mail host used to mail results"},
    {kCmdDefaultUrl, "Set the configuration opened at start"},
    {kCmdWebBrowser, "Choose the web browser for database help"},
    {kCmdSplashOn, "Show the start-up window at the next start"},
    {kCmdPacketTrace, "Write every packet sent to and received from drivers to a file"},
    {kCmdViewToolbar, "Show or hide the toolbar\nToggle ToolBar"},
    {kCmdViewStatusBar, "Show or hide the status bar\nToggle StatusBar"},
    {kCmdWindowCascade, "Arrange windows so they overlap\nCascade Windows"},
    {kCmdWindowTile, "Arrange windows as non-overlapping tiles\nTile Windows"},
    {kCmdWindowArrange, "Arrange icons at the bottom of the window\nArrange Icons"},
    {kCmdHelpIndex, "List the help topics\nHelp Index"},
    {kCmdUsingHelp, "How to use the help window\nHelp"},
    {kCmdDatabaseHelp, "Database specific help"},
    {kCmdAbout, "Display program information, version number and copyright\nAbout"},
    {kCmdContextHelp, "Display help for clicked on buttons, menus and windows\nHelp"},
    {kCmdHelp, "List the help topics\nHelp Topics"},
};

std::string PromptOf(int commandId) {
  for (const CommandPrompt& entry : kPrompts) {
    if (entry.commandId == commandId)
      return entry.prompt;
  }
  return "";
}

MenuItem Command(const char* text, int commandId, const char* shortcut = "") {
  MenuItem item;
  item.text = text;
  item.commandId = commandId;
  item.shortcut = shortcut;
  std::string shown = text;
  if (item.shortcut.empty() && shown.find('\t') != std::string::npos) {
    item.shortcut = shown.substr(shown.find('\t') + 1);
  }
  item.prompt = PromptOf(commandId);
  return item;
}

MenuItem Checkable(const char* text, int commandId, const char* shortcut = "") {
  MenuItem item = Command(text, commandId, shortcut);
  item.checkable = true;
  return item;
}

MenuItem Separator() {
  MenuItem item;
  item.kind = MenuItem::Kind::Separator;
  return item;
}

MenuItem Submenu(const char* text, std::vector<MenuItem> items) {
  MenuItem item;
  item.kind = MenuItem::Kind::Submenu;
  item.text = text;
  item.items = std::move(items);
  return item;
}

MenuItem Preferences() {
  return Submenu("&Preferences",
                 {Command("Default Mailhost", kCmdDefaultMailhost),
                  Command("Default Configuration URL ", kCmdDefaultUrl),
                  Command("Web Browser", kCmdWebBrowser), Checkable("Splash On", kCmdSplashOn)});
}

Menu ViewMenu() {
  return {"&View",
          {Checkable("&Toolbar ", kCmdViewToolbar), Checkable("&Status Bar", kCmdViewStatusBar)}};
}

}  // namespace

CMainFrameModel::CMainFrameModel(CAppState& app, CSettingsStore& settings)
    : app(app), settings(settings) {}

FramePlacement CMainFrameModel::InitialPlacement(int screenWidth) const {
  FramePlacement placement;
  placement.x = settings.ReadSettingInt(kSectionWindowPosition, kEntryX, kDefaultX);
  placement.y = settings.ReadSettingInt(kSectionWindowPosition, kEntryY, kDefaultY);
  int storedWidth = settings.ReadSettingInt(kSectionWindowPosition, kEntryWidth, 0);
  if (storedWidth != 0 || screenWidth <= kSmallScreenMaxWidth) {
    // A zero or negative stored size (the small-screen case reads "width"
    // even when it is 0) would open an unusable frame: take the default.
    int storedHeight = settings.ReadSettingInt(kSectionWindowPosition, kEntryHeight, 0);
    placement.width = storedWidth > 0 ? storedWidth : kDefaultWidth;
    placement.height = storedHeight > 0 ? storedHeight : kDefaultHeight;
  } else {
    placement.width = kLargeScreenWidth;
    placement.height = kLargeScreenHeight;
  }
  return placement;
}

std::vector<Menu> CMainFrameModel::FrameMenus() {
  return {
      {kFileMenuText,
       {Command(kOpenLocalText, kCmdOpenLocal), Command("Open Remote...", kCmdOpenRemote),
        Separator(), Command("P&rint Setup...", kCmdPrintSetup), Separator(),
        Command(kExitText, kCmdExit)}},
      ViewMenu(),
      {"&Options",
       {Command("Save Window Position", kCmdSaveWindowPosition), Preferences(), Separator(),
        Checkable("Packet Trace...", kCmdPacketTrace)}},
      {"&Help",
       {Command("&Index", kCmdHelpIndex), Command("&Using Help", kCmdUsingHelp), Separator(),
        Command("&About Tamsel", kCmdAbout)}},
  };
}

std::vector<Menu> CMainFrameModel::DocumentMenus() {
  return {
      {kFileMenuText,
       {Command("&Open Local ...", kCmdOpenLocal),
        Command("Open Remote...", kCmdOpenRemote, "Ctrl+O"), Command("&Close", kCmdCloseDocument),
        Separator(), Command("Save/&Mail...", kCmdSaveMail, "Ctrl+S"),
        Command("&Print Results...", kCmdPrintResult, "Ctrl+Y"),
        Command("P&rint Setup...", kCmdPrintSetup), Separator(), Command(kExitText, kCmdExit)}},
      {"&Edit",
       {Command("&Undo\tCtrl+Z", kCmdUndo), Separator(), Command("Cu&t\tCtrl+X", kCmdCut),
        Command("&Copy\tCtrl+C", kCmdCopy), Command("&Paste\tCtrl+V", kCmdPaste), Separator(),
        Command("C&lear All", kCmdClearAll, "Alt+Shift+C"), Separator(),
        Command("Find Text\tAlt+F3", kCmdFindText), Command("Find Next\tF3", kCmdFindNext),
        Separator(), Command("Change Font", kCmdChangeFont)}},
      ViewMenu(),
      {"&Connect",
       {Command("&Connect to Database...", kCmdConnect),
        Command("&Disconnect from Database...", kCmdDisconnect), Separator(),
        Command("About the &Database", kCmdAboutDatabase), Separator(),
        Checkable("Driver &Echo", kCmdEcho, "Ctrl+E")}},
      {"&Queries",
       {Command("&Name current query...", kCmdQueryName),
        Command("&Delete a query name from list...", kCmdQueryDelete),
        Command("Delete &All queries from list", kCmdQueryDeleteAll), Separator(),
        Command("S&elect query...", kCmdQuerySelect), Separator(),
        Command("&Retrieve a query list...", kCmdQueryLoad),
        Command("&Save current query list...", kCmdQuerySave)}},
      {"&Options",
       {Command("Record Format...", kCmdRecordFormat),
        Command("&Save Format Options", kCmdSaveFormatOptions), Separator(),
        Command("Save Window Position", kCmdSaveWindowPosition), Preferences(), Separator(),
        Checkable("Packet Trace...", kCmdPacketTrace)}},
      {"&Window",
       {Command("&Cascade", kCmdWindowCascade), Command("&Tile", kCmdWindowTile),
        Command("&Arrange Icons", kCmdWindowArrange)}},
      {"&Help",
       {Command("&Index", kCmdHelpIndex), Command("&Using Help", kCmdUsingHelp),
        Command("&Database Help", kCmdDatabaseHelp), Separator(),
        Command("&About Tamsel", kCmdAbout)}},
  };
}

std::vector<ToolbarButton> CMainFrameModel::ToolbarButtons() {
  const int ids[] = {kCmdOpenRemote,
                     kCmdSaveMail,
                     kCmdPrintResult,
                     kCmdExit,
                     0,
                     kCmdCut,
                     kCmdCopy,
                     kCmdPaste,
                     0,
                     kCmdConnect,
                     kCmdDisconnect,
                     0,
                     kCmdFindText,
                     kCmdFindNext,
                     0,
                     kCmdAbout,
                     kCmdContextHelp};
  std::vector<ToolbarButton> buttons;
  for (int id : ids) {
    buttons.push_back({id, ToolTip(id), StatusPrompt(id)});
  }
  return buttons;
}

std::vector<ShortcutKey> CMainFrameModel::Shortcuts() {
  // Ctrl+O opens the remote dialog even where the menu shows it beside
  // Open Local; Ctrl+Q is the Linux desktops' key for quitting.
  return {
      {"Ctrl+O", kCmdOpenRemote},
      {"Alt+X", kCmdExit},
      {"Ctrl+Q", kCmdExit},
      {"Ctrl+S", kCmdSaveMail},
      {"Ctrl+Y", kCmdPrintResult},
      {"Ctrl+C", kCmdCopy},
      {"Ctrl+Ins", kCmdCopy},
      {"Ctrl+X", kCmdCut},
      {"Shift+Del", kCmdCut},
      {"Ctrl+V", kCmdPaste},
      {"Shift+Ins", kCmdPaste},
      {"Ctrl+Z", kCmdUndo},
      {"Alt+Backspace", kCmdUndo},
      {"Alt+C", kCmdClear},
      {"Alt+Shift+C", kCmdClearAll},
      {"Ctrl+E", kCmdEcho},
      {"Ctrl+3", kCmdMoreTitles},
      {"Ctrl+M", kCmdMoreTitles},
      {"Ctrl+N", kCmdFindNextHighlight},
      {"Ctrl+P", kCmdFindPrevHighlight},
      {"Ctrl+T", kCmdBrowseList},
      {"F1", kCmdHelp},
      {"Shift+F1", kCmdContextHelp},
      {"F3", kCmdFindNext},
      {"Alt+F3", kCmdFindText},
      {"F6", kCmdNextPane},
      {"Shift+F6", kCmdPrevPane},
  };
}

std::vector<StatusPane> CMainFrameModel::StatusPanes() {
  return {{kPaneMenuPrompt, ""},
          {kPaneMessage, kMessagePaneSizingText},
          {kPaneCapsLock, "CAP"},
          {kPaneNumLock, "NUM"},
          {kPaneScrollLock, "SCRL"}};
}

std::string CMainFrameModel::StatusPrompt(int commandId) {
  std::string prompt = PromptOf(commandId);
  return prompt.substr(0, prompt.find('\n'));
}

std::string CMainFrameModel::ToolTip(int commandId) {
  std::string prompt = PromptOf(commandId);
  size_t split = prompt.find('\n');
  return split == std::string::npos ? "" : prompt.substr(split + 1);
}

std::string CMainFrameModel::StatusPaneText() const {
  return app.StatusMessage().empty() ? "  " : app.StatusMessage();
}

FileChooserRequest CMainFrameModel::OpenLocalRequest() const {
  FileChooserRequest request;
  request.caption = "Open";
  request.filters = {{kDocFilterText, "*.tcf"}};
  return request;
}

void CMainFrameModel::PrepareLocalOpen() {
  app.remoteOpenPending = false;
  app.askForUrl = false;
}

bool CMainFrameModel::SplashWanted() const {
  return app.splashSuppressed == 0;
}

bool CMainFrameModel::SplashChecked() const {
  return settings.ReadSettingInt(kSectionOptions, kEntrySplash, kDefaultSplash) == 0;
}

void CMainFrameModel::ToggleSplash() {
  int splash = settings.ReadSettingInt(kSectionOptions, kEntrySplash, kDefaultSplash);
  settings.WriteSettingInt(kSectionOptions, kEntrySplash, splash == 0 ? 1 : 0);
}

void CMainFrameModel::SaveWindowPosition(const FramePlacement& normalGeometry) {
  settings.WriteSettingInt(kSectionWindowPosition, kEntryX, normalGeometry.x);
  settings.WriteSettingInt(kSectionWindowPosition, kEntryY, normalGeometry.y);
  settings.WriteSettingInt(kSectionWindowPosition, kEntryWidth, normalGeometry.width);
  settings.WriteSettingInt(kSectionWindowPosition, kEntryHeight, normalGeometry.height);
  app.SetStatusMessage(kWindowPositionSavedText);
}

bool CMainFrameModel::DefaultMailhostCommand(Ui& ui) {
  CMailHostDlg dialog(
      settings.ReadSettingText(kSectionMailParameters, kEntrySmtpHost, kDefaultSmtpHost));
  if (!ui.RunDialog(dialog)) {
    return false;
  }
  settings.WriteSettingText(kSectionMailParameters, kEntrySmtpHost, dialog.text);
  return true;
}

bool CMainFrameModel::IsAcceptedNoOpMessage(int message) {
  // The platform's first user message number plus 20, 21, 24 and 25.
  return message == 1044 || message == 1045 || message == 1048 || message == 1049;
}
