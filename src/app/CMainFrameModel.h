#pragma once

#include <string>

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

// The main window's rules, so that every front end places, labels and fills
// it the same way: its placement from the settings, its smallest size, the
// File commands, the splash window's place and the status message pane.
class CMainFrameModel {
 public:
  static constexpr const char* kFileMenuText = "&File";
  static constexpr const char* kOpenLocalText = "&Open Local ...\tCtrl+O";
  static constexpr const char* kExitText = "E&xit\tAlt+X";
  // The message pane is sized to hold this text.
  static constexpr const char* kMessagePaneSizingText = "Somewhat Longer Result";
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

  // Never empty: two blanks stand in for no message, so the pane keeps its look.
  std::string StatusPaneText() const;

  // "&Open Local ...": the file chooser for configuration files.
  FileChooserRequest OpenLocalRequest() const;
  // A file the user picked or dropped is read from disk, never fetched.
  void PrepareLocalOpen();

  // The splash window is shown only while "Splash" is 0.
  bool SplashWanted() const;

 private:
  CAppState& app;
  CSettingsStore& settings;
};
