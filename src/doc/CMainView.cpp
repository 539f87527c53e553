#include "doc/CMainView.h"

void CMainView::AddPages() {
  AddPage("Search Cr&iteria", 100, true);
  AddPage("&Basic Mode ", 100, false);
  AddPage("&Summary", 100, false);
  AddPage("&Record Retrieval ", 150, false);
}
