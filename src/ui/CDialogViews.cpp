#include "ui/CDialogViews.h"

#include "config/COpenDatabaseDialog.h"
#include "config/CUrlDialog.h"
#include "driver/CAboutDatabaseDlg.h"
#include "app/CFontDlg.h"
#include "driver/CInfoRequestDlg.h"
#include "output/CRecordFormatDlg.h"
#include "search/CDateSelectionDlg.h"
#include "ui/CAboutDatabaseDlgView.h"
#include "ui/CDateSelectionDlgView.h"
#include "ui/CFontDlgView.h"
#include "ui/CInfoRequestDlgView.h"
#include "ui/COpenDatabaseDialogView.h"
#include "ui/CQtUi.h"
#include "ui/CRecordFormatDlgView.h"
#include "ui/CUrlDialogView.h"


void CDialogViews::RegisterAll() {
  static bool registered = false;
  if (registered) {
    return;
  }
  registered = true;
  CQtUi::RegisterDialogView<CUrlDialog, CUrlDialogView>();
  CQtUi::RegisterDialogView<COpenDatabaseDialog, COpenDatabaseDialogView>();
  CQtUi::RegisterDialogView<CInfoRequestDlg, CInfoRequestDlgView>();
  CQtUi::RegisterDialogView<CAboutDatabaseDlg, CAboutDatabaseDlgView>();
  CQtUi::RegisterDialogView<CDateSelectionDlg, CDateSelectionDlgView>();
  CQtUi::RegisterDialogView<CRecordFormatDlg, CRecordFormatDlgView>();
  CQtUi::RegisterDialogView<CFontDlg, CFontDlgView>();
}
