#include "search/CBrowseFlow.h"

#include "app/Ui.h"
#include "config/CDBFieldDescRec.h"
#include "search/BrowseRequester.h"
#include "search/CListSelectionDlg.h"
#include "search/CSearchForm.h"

CBrowseFlow::CBrowseFlow(CSearchForm& form, BrowseRequester& requester, EventLoop& loop, Ui& ui)
    : form(form), requester(requester), loop(loop), ui(ui) {}

CBrowseFlow::~CBrowseFlow() = default;

bool CBrowseFlow::Run() {
  CListBrowserDlg* dialog = Start();
  if (dialog == nullptr) {
    return false;
  }
  bool ok = ui.RunDialog(*dialog);
  if (!Finish(ok)) {
    Finish(false);
  }
  return applied;
}

CListBrowserDlg* CBrowseFlow::Start() {
  if (form.connectedDbName.empty() || browser) {
    return nullptr;
  }
  starting();
  requester.SetBasicModeSearch(false);
  int row = form.currentRow;
  const CDBFieldDescRec* field = form.RowField(row);
  if (field == nullptr || field->listNames.empty()) {
    return nullptr;
  }
  int index = 0;
  if (field->listNames.size() > 1) {
    CListSelectionDlg selection(field->listNames);
    if (!ui.RunDialog(selection)) {
      return nullptr;
    }
    index = selection.Choice();
  }
  browseRow = row;
  browseListName = field->listNames[static_cast<std::size_t>(index)];
  browser = std::make_unique<CListBrowserDlg>(requester, loop, ui, browseListName);
  browser->OnInit();
  return browser.get();
}

bool CBrowseFlow::Finish(bool ok) {
  applied = false;
  if (!browser) {
    return true;
  }
  if (ok && !browser->OnOk()) {
    return false;
  }
  if (!ok) {
    browser->OnCancel();
  }
  std::string result = ok ? browser->Result() : std::string();
  browser.reset();
  if (!result.empty()) {
    const std::string& term = form.rowTerms[static_cast<std::size_t>(browseRow)];
    applied = form.SetTerm(browseRow, term.empty() ? result : term + " OR " + result);
  }
  return true;
}
