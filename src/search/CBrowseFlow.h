#pragma once

#include <memory>
#include <string>

#include "app/Signal.h"
#include "search/CListBrowserDlg.h"

class CSearchForm;

// The search form's browse button: choose one of the current row's lists,
// browse it in the List Browser, and put the picked headings into the row's
// term box. The GUI runs it in one go (Run); the CLI, whose browser stays
// open across commands, uses Start and Finish.
class CBrowseFlow {
 public:
  CBrowseFlow(CSearchForm& form, BrowseRequester& requester, EventLoop& loop, Ui& ui);
  ~CBrowseFlow();

  // The whole browse; true when picked headings reached the row.
  bool Run();

  // Up to the List Browser, opened and filled. None when there is nothing
  // to browse (not connected, no lists, List Selection cancelled).
  CListBrowserDlg* Start();
  // Ends the browser: with OK (and a result) the row's term takes it.
  // False when OK is refused (a request is outstanding): the browser stays.
  bool Finish(bool ok);

  // The browser while one is open; browse replies that are not the basic
  // mode page's go to its list.
  CListBrowserDlg* Browser() { return browser.get(); }
  // The list name of the last browse.
  const std::string& BrowseListName() const { return browseListName; }

  // A browse starts: the basic mode page resets its result list.
  Signal<> starting;

 private:
  CSearchForm& form;
  BrowseRequester& requester;
  EventLoop& loop;
  Ui& ui;
  std::unique_ptr<CListBrowserDlg> browser;
  int browseRow = 0;
  std::string browseListName;
  bool applied = false;
};
