#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/Signal.h"

// A strip of tabs choosing which page of a document window is in front: the
// pages, their enabled flags, mouse hit testing of the strip, the Alt+letter
// mnemonics and the page layout. Views draw it; the rules live here.
class CTabView {
 public:
  static constexpr int kMargin = 7;
  static constexpr int kTabHeight = 19;
  static constexpr int kPageInset = 5;
  // Notification hints sent to the document's views.
  static constexpr int kHintPageShown = 2560;
  static constexpr int kHintPageLeaving = 2561;

  struct Tab {
    std::string label;  // with "&" before the mnemonic letter
    char mnemonic = 0;  // upper case; 0 when there is none
    int width = 0;
    bool enabled = true;
  };
  struct Rect {
    int left, top, right, bottom;
  };

  // Appends a page; false (nothing added) when the label is missing.
  bool AddPage(const std::string& label, int width, bool shown);

  void SelectPage(int index);
  void EnableTab(int index, bool enabled);
  // A left button press in the view at (x, y).
  void PressAt(int x, int y);
  // Alt with a letter: true when a tab took it, false when it goes on to the
  // menu bar.
  bool AltKey(char letter);

  // The tab under (x, y) on the strip, or -1.
  int HitTest(int x, int y) const;
  Rect TabRect(int index) const;
  Rect PageRect(int clientWidth, int clientHeight) const;
  // The label as shown: without the "&".
  static std::string DisplayLabel(const std::string& label);

  const std::vector<Tab>& Tabs() const { return tabs; }
  int Selected() const { return selected; }

  // Hint and page index; the document passes them on to its views.
  Signal<int, int> onNotify;
  // The page that must get the keyboard focus.
  Signal<int> onActivate;
  // The strip must be redrawn.
  Signal<> onChanged;

 private:
  void Changed();

  std::vector<Tab> tabs;
  int selected = -1;
};
