#include "doc/CDocBrowse.h"

#include "app/EventLoop.h"
#include "app/Ui.h"
#include "config/CDBDescRec.h"
#include "doc/CTmsfrmDoc.h"
#include "driver/CDriverLink.h"
#include "driver/CListSummary.h"
#include "output/CAbstract.h"
#include "output/CResultHeaders.h"
#include "search/CSearchForm.h"

CDocBrowse::CDocBrowse(CTmsfrmDoc& doc, Ui& ui, EventLoop& loop) : doc(doc), ui(ui), loop(loop) {
  flow = std::make_unique<CBrowseFlow>(doc.Form(), *this, loop, ui);
  basic = std::make_unique<CBasicMode>(doc.Config(), *this, loop, ui);
  Wire();
}

CDocBrowse::~CDocBrowse() {
  if (errorTimer != 0) {
    loop.StopTimer(errorTimer);
  }
}

int CDocBrowse::Browse(const std::string& listName, char command, const std::string& argument,
                       int count1, int count2) {
  CDriverLink& link = doc.Link();
  link.SetBrowseListName(listName);
  return link.Browse(command, argument, count1, count2);
}

void CDocBrowse::SetBasicModeSearch(bool basicMode) {
  doc.Link().SetBasicModeSearch(basicMode);
}

bool CDocBrowse::BrowseCommand() {
  CListBrowserDlg* browser = flow->Start();
  if (browser == nullptr) {
    return false;
  }
  // No data or a broken reply while opening: the browser is not shown.
  bool ok = !TakeCloseRequest() && ui.RunDialog(*browser);
  if (!flow->Finish(ok)) {
    flow->Finish(false);
    return false;
  }
  return ok;
}

bool CDocBrowse::TakeCloseRequest() {
  bool requested = closeRequested;
  closeRequested = false;
  return requested;
}

void CDocBrowse::Wire() {
  CDriverLinkEvents& events = doc.Link().Events();
  connections +=
      events.browseReply.Connect([this](bool toBasic, int anchor, const std::string& text) {
        if (toBasic) {
          basic->List().ReplyArrived(anchor, text);
          return;
        }
        CListBrowserDlg* browser = flow->Browser();
        if (browser != nullptr) {
          browser->List().ReplyArrived(anchor, text);
        }
      });
  // Runs after the criteria form's set-up, which was wired first.
  connections += events.connectStarted.Connect([this](const CDBDescRec&) { OnConnect(); });
  connections += events.disconnected.Connect([this] { basic->OnDisconnect(); });
  connections += doc.Form().onBeforeSearch.Connect([this] { basic->Reset(); });
  connections += flow->starting.Connect([this] {
    basic->Reset();
    browserConnections.Clear();
    watchedBrowser = nullptr;
    closeRequested = false;
  });
  connections += basic->List().protocolError.Connect([this] { ProtocolError(); });
  connections += basic->searchRequested.Connect(
      [this](const CBasicMode::SearchRequest& request) { SendBasicSearch(request); });
  // The browser is made inside the flow; its list is watched from the first
  // request on, which is sent once the flow has handed it over.
  connections += events.browseWaitStarted.Connect([this](bool toBasic) {
    CListBrowserDlg* browser = flow->Browser();
    if (!toBasic && browser != nullptr && browser != watchedBrowser) {
      browserConnections.Clear();
      browserConnections += browser->List().protocolError.Connect([this] { ProtocolError(); });
      browserConnections += browser->closeRequested.Connect([this] { closeRequested = true; });
      watchedBrowser = browser;
    }
  });
}

void CDocBrowse::OnConnect() {
  const CDBDescRec* db = doc.Config().currentDatabase;
  if (db == nullptr) {
    return;
  }
  basic->OnConnect(*db);
  CMainView& view = doc.MainView();
  for (const CBasicMode::TabStep& step : CBasicMode::TabsAfterConnect(*db)) {
    switch (step.op) {
      case CBasicMode::TabStep::Op::Enable:
        view.EnableTab(step.page, true);
        break;
      case CBasicMode::TabStep::Op::Disable:
        view.EnableTab(step.page, false);
        break;
      case CBasicMode::TabStep::Op::Select:
        view.SelectPage(step.page);
        break;
    }
  }
}

void CDocBrowse::SendBasicSearch(const CBasicMode::SearchRequest& request) {
  CDriverLink& link = doc.Link();
  if (!link.IsIdle()) {
    return;
  }
  CResultHeaders::Search search;
  const CDBDescRec* db = doc.Config().currentDatabase;
  search.databaseName = db != nullptr ? db->name : link.ConnectedName();
  search.basicMode = true;
  search.basicFieldName = request.fieldName;
  search.basicText = request.text;
  doc.Headers().Build(search);
  link.SendSearch(request.termCount, request.limitCount, request.body);
  doc.Summary().ResetForSearch();
  doc.Abstract().ClearText();
  doc.Summary().ClearSummaryCache();
  link.Busy().Show("Searching...\n(this could take a while)");
}

void CDocBrowse::ProtocolError() {
  if (errorTimer != 0) {
    return;
  }
  errorTimer = loop.StartTimer(0, false, [this] {
    errorTimer = 0;
    ui.MessageBox("Database connection error.\nTamsel will close connection\n",
                  "Windows Socket Error", MsgButtons::Ok, MsgIcon::Error);
    CDriverLink& link = doc.Link();
    link.CancelOperation();
    link.Disconnect();
  });
}
