#include "cli/CCliDialogAnswers.h"

#include "app/CFontDlg.h"
#include "app/CMailHostDlg.h"
#include "config/COpenDatabaseDialog.h"
#include "config/CUrlDialog.h"
#include "driver/CInfoRequestDlg.h"
#include "external/CRetrievalMethodDlg.h"
#include "output/CRecordFormatDlg.h"
#include "output/CSaveMailDlg.h"
#include "search/CDateSelectionDlg.h"
#include "search/CListBrowserDlg.h"
#include "search/CListSelectionDlg.h"
#include "search/CQueryNameDlg.h"

namespace {

// Every model whose text answer is its own SetAnswerText operation.
template <typename Model>
void Typed(CCliDialogAnswers::Registry& registry) {
  registry.Register<Model>(
      [](Model& model, const std::string& text) { model.SetAnswerText(text); });
}

CCliDialogAnswers::Registry Build() {
  CCliDialogAnswers::Registry registry;
  Typed<CUrlDialog>(registry);
  Typed<COpenDatabaseDialog>(registry);
  Typed<CInfoRequestDlg>(registry);
  Typed<CMailHostDlg>(registry);
  Typed<CFontDlg>(registry);
  Typed<CDateSelectionDlg>(registry);
  Typed<CRecordFormatDlg>(registry);
  Typed<CSaveMailDlg>(registry);
  Typed<CListSelectionDlg>(registry);
  Typed<CListBrowserDlg>(registry);
  Typed<CQueryNameDlg>(registry);
  Typed<CRetrievalMethodDlg>(registry);
  return registry;
}

}  // namespace

const CCliDialogAnswers::Registry& CCliDialogAnswers::All() {
  static const Registry registry = Build();
  return registry;
}
