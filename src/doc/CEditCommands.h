#pragma once

class CAbstract;
class CMainView;

// Which command of the Edit menu applies on which page of a document: one
// rule for the menu, the keys and the command-line client.
class CEditCommands {
 public:
  enum class Command { Copy, ClearAll, FindText, FindNext, ChangeFont };

  CEditCommands(const CMainView& view, const CAbstract& record) : view(view), record(record) {}

  // On `page` (a CMainView::Page). Copy on the search page needs the focus
  // in one of its text boxes: `textBoxFocused` says whether it is.
  bool Available(Command command, int page, bool textBoxFocused = false) const;
  // On the page in front.
  bool Available(Command command, bool textBoxFocused = false) const;

 private:
  const CMainView& view;
  const CAbstract& record;
};
