#pragma once

#include <memory>
#include <string>

#include "app/Signal.h"
#include "search/BrowseRequester.h"
#include "search/CBasicMode.h"
#include "search/CBrowseFlow.h"

class CTmsfrmDoc;
class EventLoop;
class Ui;

// The document's browse lists and basic mode page: the browse requests go
// through the driver link, its browse replies go to the basic mode page's
// list or to the open List Browser, and a basic mode search is sent as the
// criteria form's would be.
class CDocBrowse : public BrowseRequester {
 public:
  CDocBrowse(CTmsfrmDoc& doc, Ui& ui, EventLoop& loop);
  ~CDocBrowse() override;

  int Browse(const std::string& listName, char command, const std::string& argument, int count1,
             int count2) override;
  void SetBasicModeSearch(bool basic) override;

  // The criteria form's browse button (and Ctrl+T).
  CBrowseFlow& Flow() { return *flow; }
  CBasicMode& Basic() { return *basic; }
  // The browse button's command: the whole browse, for front ends that run
  // the List Browser modally. True when it ended with OK.
  bool BrowseCommand();
  // True once after the open browser asked to close (no data, a broken
  // reply): front ends that keep the browser open across commands end it.
  bool TakeCloseRequest();

 private:
  void Wire();
  void OnConnect();
  void SendBasicSearch(const CBasicMode::SearchRequest& request);
  // A broken browse reply: the connection can't be trusted. Done once the
  // list that noticed has returned, since closing may reset that list.
  void ProtocolError();

  CTmsfrmDoc& doc;
  Ui& ui;
  EventLoop& loop;
  std::unique_ptr<CBrowseFlow> flow;
  std::unique_ptr<CBasicMode> basic;
  int errorTimer = 0;
  ConnectionBag connections;
  // The open browser's list; changes with each browse.
  const CListBrowserDlg* watchedBrowser = nullptr;
  bool closeRequested = false;
  ConnectionBag browserConnections;
};
