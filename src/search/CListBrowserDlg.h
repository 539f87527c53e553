#pragma once

#include <string>

#include "app/CDialogModel.h"
#include "app/Signal.h"
#include "search/CBrowseList.h"

// The "List Browser": a text box that jumps, the windowed heading list, OK,
// Help and Cancel. OK gives the picked headings as one term text.
class CListBrowserDlg : public CDialogModel {
 public:
  CListBrowserDlg(BrowseRequester& requester, EventLoop& loop, Ui& ui, std::string listName);

  const char* Kind() const override { return "list-browser"; }
  std::string Caption() const override;
  // Asks for the list: the header, then the first window.
  void OnInit() override;
  // Refused while a request is outstanding.
  bool OnOk() override;
  void OnCancel() override;
  // The CLI's `answer text TEXT`: typed into the text box, jumping at once.
  void SetAnswerText(const std::string& text);

  // Double click: picks the entry, then OK. True when the dialog may close.
  bool DoubleClick(int entry);

  CBrowseList& List() { return list; }
  const CBrowseList& List() const { return list; }
  const std::string& ListName() const { return listName; }
  // What OK gave; empty before.
  const std::string& Result() const { return result; }

  // The dialog must close as if cancelled: no data, a broken reply, no
  // connection. Views end the dialog; its owner destroys the model only
  // after the dialog has ended.
  Signal<> closeRequested;

 private:
  std::string listName;
  CBrowseList list;
  std::string result;
  bool opened = false;
  ConnectionBag connections;
};
