#include "ui/CDialogViews.h"

#include "config/COpenDatabaseDialog.h"
#include "config/CUrlDialog.h"
#include "driver/CAboutDatabaseDlg.h"
#include "driver/CFontDlg.h"
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

namespace {

// The registry hands the model over by its kind, which names its class.
template <typename View, typename Model>
CQtUi::DialogViewFactory Factory() {
  return [](CDialogModel& model, QWidget* parent) -> QDialog* {
    return new View(static_cast<Model&>(model), parent);
  };
}

}  // namespace

void CDialogViews::RegisterAll() {
  static bool registered = false;
  if (registered) {
    return;
  }
  registered = true;
  CQtUi::RegisterDialogView("url", Factory<CUrlDialogView, CUrlDialog>());
  CQtUi::RegisterDialogView("open-database",
                            Factory<COpenDatabaseDialogView, COpenDatabaseDialog>());
  CQtUi::RegisterDialogView("info-request", Factory<CInfoRequestDlgView, CInfoRequestDlg>());
  CQtUi::RegisterDialogView("about-database", Factory<CAboutDatabaseDlgView, CAboutDatabaseDlg>());
  CQtUi::RegisterDialogView("date-selection", Factory<CDateSelectionDlgView, CDateSelectionDlg>());
  CQtUi::RegisterDialogView("record-format", Factory<CRecordFormatDlgView, CRecordFormatDlg>());
  CQtUi::RegisterDialogView("font", Factory<CFontDlgView, CFontDlg>());
}
