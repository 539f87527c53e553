#include "doc/CEditCommands.h"

#include "doc/CMainView.h"
#include "output/CAbstract.h"

bool CEditCommands::Available(Command command, int page, bool textBoxFocused) const {
  bool criteria = page == CMainView::PAGE_CRITERIA;
  bool summary = page == CMainView::PAGE_SUMMARY;
  bool recordPage = page == CMainView::PAGE_RECORD;
  switch (command) {
    case Command::Copy:
      return (criteria && textBoxFocused) || summary || (recordPage && record.HasText());
    case Command::ClearAll:
      return criteria || summary || (recordPage && record.HasText());
    case Command::FindText:
      // Always offered: a word that is not there is reported as not found.
      return recordPage;
    case Command::FindNext:
      return recordPage && record.CanFindNext();
    case Command::ChangeFont:
      return summary || recordPage;
  }
  return false;
}

bool CEditCommands::Available(Command command, bool textBoxFocused) const {
  return Available(command, view.Selected(), textBoxFocused);
}
