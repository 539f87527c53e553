#include "ui/CDialogViews.h"

#include "app/CAboutDlg.h"
#include "app/CFontDlg.h"
#include "app/CMailHostDlg.h"
#include "config/COpenDatabaseDialog.h"
#include "config/CUrlDialog.h"
#include "driver/CAboutDatabaseDlg.h"
#include "driver/CInfoRequestDlg.h"
#include "external/CRetrievalMethodDlg.h"
#include "output/CRecordFormatDlg.h"
#include "output/CSaveMailDlg.h"
#include "search/CDateSelectionDlg.h"
#include "search/CListBrowserDlg.h"
#include "search/CListSelectionDlg.h"
#include "search/CQueryNameDlg.h"
#include "ui/CAboutDatabaseDlgView.h"
#include "ui/CAboutDlgView.h"
#include "ui/CDateSelectionDlgView.h"
#include "ui/CFontDlgView.h"
#include "ui/CInfoRequestDlgView.h"
#include "ui/CListBrowserDlgView.h"
#include "ui/CListSelectionDlgView.h"
#include "ui/CMailHostDlgView.h"
#include "ui/COpenDatabaseDialogView.h"
#include "ui/CQtUi.h"
#include "ui/CQueryNameDlgView.h"
#include "ui/CRecordFormatDlgView.h"
#include "ui/CRetrievalMethodDlgView.h"
#include "ui/CSaveMailDlgView.h"
#include "ui/CUrlDialogView.h"

void CDialogViews::RegisterAll() {
  static bool registered = false;
  if (registered) {
    return;
  }
  registered = true;
  CQtUi::RegisterDialogView<CUrlDialog, CUrlDialogView>();
  CQtUi::RegisterDialogView<CListSelectionDlg, CListSelectionDlgView>();
  CQtUi::RegisterDialogView<CListBrowserDlg, CListBrowserDlgView>();
  CQtUi::RegisterDialogView<COpenDatabaseDialog, COpenDatabaseDialogView>();
  CQtUi::RegisterDialogView<CInfoRequestDlg, CInfoRequestDlgView>();
  CQtUi::RegisterDialogView<CAboutDatabaseDlg, CAboutDatabaseDlgView>();
  CQtUi::RegisterDialogView<CDateSelectionDlg, CDateSelectionDlgView>();
  CQtUi::RegisterDialogView<CRecordFormatDlg, CRecordFormatDlgView>();
  CQtUi::RegisterDialogView<CSaveMailDlg, CSaveMailDlgView>();
  CQtUi::RegisterDialogView<CFontDlg, CFontDlgView>();
  CQtUi::RegisterDialogView<CQueryNameDlg, CQueryNameDlgView>();
  CQtUi::RegisterDialogView<CRetrievalMethodDlg, CRetrievalMethodDlgView>();
  CQtUi::RegisterDialogView<CAboutDlg, CAboutDlgView>();
  CQtUi::RegisterDialogView<CMailHostDlg, CMailHostDlgView>();
}
