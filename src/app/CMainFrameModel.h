#pragma once

#include <string>
#include <vector>

#include "app/Ui.h"

class CAppState;
class CSettingsStore;

// Where the main window opens and how big it is.
struct FramePlacement {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// One entry of a menu: a command, a separator or a submenu.
struct MenuItem {
  enum class Kind { Command, Separator, Submenu };

  Kind kind = Kind::Command;
  // As shown, with its & mnemonic; a "\t" part shows the key.
  std::string text;
  int commandId = 0;
  // The key that sends the command ("Ctrl+S"), "" for none; shown beside
  // texts without a "\t" part of their own.
  std::string shortcut;
  // The status bar text, then after a line feed the tool tip; may be "".
  std::string prompt;
  bool checkable = false;
  std::vector<MenuItem> items;  // a submenu's entries
};

struct Menu {
  std::string text;
  std::vector<MenuItem> items;
};

// One toolbar button; command id 0 is a gap between groups.
struct ToolbarButton {
  int commandId = 0;
  std::string toolTip;
  std::string statusPrompt;
};

// One key of the program's shortcut table, in Qt's portable key notation.
struct ShortcutKey {
  std::string key;
  int commandId = 0;
};

struct StatusPane {
  int id = 0;
  // The pane is made wide enough for this text; "" sizes it by its content.
  std::string sizingText;
};

// The main window's rules, so that every front end places, labels and fills
// it the same way: its placement from the settings, its smallest size, its
// menus, toolbar, keys and status bar, and the commands it handles itself.
class CMainFrameModel {
 public:
  static constexpr const char* kFileMenuText = "&File";
  static constexpr const char* kOpenLocalText = "&Open Local ...\tCtrl+O";
  static constexpr const char* kExitText = "E&xit\tAlt+X";
  // The message pane is sized to hold this text.
  static constexpr const char* kMessagePaneSizingText = "Somewhat Longer Result";
  static constexpr const char* kWindowPositionSavedText = "Window Position Saved";
  // The frame cannot be dragged smaller than this, in average character cells.
  static constexpr int kMinWidthChars = 64;
  static constexpr int kMinHeightChars = 24;
  // The splash window's offset from the frame's top left corner.
  static constexpr int kSplashOffsetX = 120;
  static constexpr int kSplashOffsetY = 110;

  CMainFrameModel(CAppState& app, CSettingsStore& settings);

  // Reads "Window Position". A stored non-zero width, or a screen at most 640
  // pixels wide, takes the stored size (600 by 400 where a stored value is
  // absent or not positive); otherwise the frame opens 740 by 550 whatever
  // height is stored.
  FramePlacement InitialPlacement(int screenWidth) const;

  static int MinimumWidth(int averageCharWidth) { return kMinWidthChars * averageCharWidth; }
  static int MinimumHeight(int charHeight) { return kMinHeightChars * charHeight; }

  // The menu bar without a document, and while a document window is active.
  static std::vector<Menu> FrameMenus();
  static std::vector<Menu> DocumentMenus();
  // Left to right.
  static std::vector<ToolbarButton> ToolbarButtons();
  // Every key of the program; several keys may send one command.
  static std::vector<ShortcutKey> Shortcuts();
  // Left to right: menu prompt, message, caps lock, num lock, scroll lock.
  static std::vector<StatusPane> StatusPanes();
  // The status bar text of a command (its prompt up to the line feed), "" for none.
  static std::string StatusPrompt(int commandId);
  // The tool tip of a command (its prompt after the line feed), "" for none.
  static std::string ToolTip(int commandId);

  // Never empty: two blanks stand in for no message, so the pane keeps its look.
  std::string StatusPaneText() const;

  // "&Open Local ...": the file chooser for configuration files.
  FileChooserRequest OpenLocalRequest() const;
  // A file the user picked or dropped is read from disk, never fetched.
  void PrepareLocalOpen();

  // The splash window is shown only while "Splash" is 0.
  bool SplashWanted() const;
  // "Splash On" carries its check mark while the stored "Splash" is 0; the
  // stored value, not this run's, since a change waits for the next start.
  bool SplashChecked() const;
  // "Splash On": flips the stored switch.
  void ToggleSplash();

  // "Save Window Position": stores the frame's normal (not maximised)
  // rectangle and says so in the status bar.
  void SaveWindowPosition(const FramePlacement& normalGeometry);

  // "Default Mailhost": the input dialog; false on Cancel.
  bool DefaultMailhostCommand(Ui& ui);

  // The window messages the frame takes and answers with 0, doing nothing.
  static bool IsAcceptedNoOpMessage(int message);

 private:
  CAppState& app;
  CSettingsStore& settings;
};
