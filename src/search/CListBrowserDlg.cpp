#include "search/CListBrowserDlg.h"

#include "app/FormatText.h"

CListBrowserDlg::CListBrowserDlg(BrowseRequester& requester, EventLoop& loop, Ui& ui,
                                 std::string listName)
    : listName(std::move(listName)), list(requester, loop, ui) {
  connections += list.noData.Connect([this] { closeRequested(); });
  connections += list.protocolError.Connect([this] { closeRequested(); });
  connections += list.notConnected.Connect([this] { closeRequested(); });
}

std::string CListBrowserDlg::Caption() const {
  return FormatText("Browse %s List", listName.c_str());
}

void CListBrowserDlg::OnInit() {
  // Runners call this again when they show a browser that is open already.
  if (!opened) {
    opened = true;
    list.Open(listName);
  }
}

bool CListBrowserDlg::OnOk() {
  if (list.Outstanding()) {
    return false;
  }
  result = list.ResultText(true);
  return true;
}

void CListBrowserDlg::OnCancel() {
  result.clear();
}

void CListBrowserDlg::SetAnswerText(const std::string& text) {
  list.TypeText(text);
  list.JumpNow();
}

bool CListBrowserDlg::DoubleClick(int entry) {
  list.DoubleClick(entry);
  return OnOk();
}
