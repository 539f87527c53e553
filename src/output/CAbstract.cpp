#include "output/CAbstract.h"

#include <algorithm>
#include <array>

#include "app/CAppState.h"
#include "app/CFontDlg.h"
#include "app/CSettingsStore.h"
#include "app/FormatText.h"
#include "app/SettingsNames.h"
#include "app/Ui.h"
#include "driver/CInfoRequestDlg.h"
#include "driver/PacketHeader.h"

namespace {

// ASCII only: upper-casing bytes of other letters would break UTF-8 text.
char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string UpperCased(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), Upper);
  return s;
}

// The first case-insensitive occurrence of `word` (upper-cased) in
// [from, to) of `text`: one Horspool pass over the text, without a copy.
std::size_t FindFolded(const std::string& text, std::size_t from, std::size_t to,
                       const std::string& word) {
  std::size_t m = word.size();
  if (m == 0 || from >= to || to - from < m) {
    return std::string::npos;
  }
  std::array<std::size_t, 256> shift;
  shift.fill(m);
  for (std::size_t i = 0; i + 1 < m; ++i) {
    shift[static_cast<unsigned char>(word[i])] = m - 1 - i;
  }
  const char* data = text.data();
  for (std::size_t at = from; at + m <= to;) {
    std::size_t i = m;
    while (i > 0 && Upper(data[at + i - 1]) == word[i - 1]) {
      --i;
    }
    if (i == 0) {
      return at;
    }
    at += shift[static_cast<unsigned char>(Upper(data[at + m - 1]))];
  }
  return std::string::npos;
}

}  // namespace

CAbstract::CAbstract(CAppState& app, CSettingsStore& settings, Ui& ui)
    : app(app), settings(settings), ui(ui) {
  font = CFontDlg::StoredFont(settings, kEntryAbstractSize, kDefaultAbstractSize,
                              kEntryAbstractName, kDefaultAbstractName);
}

void CAbstract::Changed() {
  onChanged();
}

void CAbstract::AddRecordText(const std::string& recordText) {
  buttonsEnabled = true;
  std::size_t at = insertionPoint;
  text.insert(at, recordText);
  insertionPoint = at + recordText.size();
  onTextInserted(at, recordText);
  std::size_t end = text.size();
  text += "\n\n";
  onTextInserted(end, "\n\n");
  selStart = selEnd = 0;
  Changed();
}

void CAbstract::ClearText() {
  text.clear();
  insertionPoint = 0;
  selStart = selEnd = 0;
  buttonsEnabled = false;
  onTextCleared();
  Changed();
}

void CAbstract::EnableRedraw(bool enabled) {
  redrawEnabled = enabled;
  Changed();
}

void CAbstract::ShowRecordPage() {
  app.SetStatusMessage("   ");
  onShowPage();
}

void CAbstract::Select(std::size_t start, std::size_t end) {
  selStart = std::min(start, text.size());
  selEnd = std::min(std::max(end, selStart), text.size());
}

void CAbstract::SetSelection(std::size_t start, std::size_t end) {
  Select(start, end);
  Changed();
}

void CAbstract::Copy() {
  app.SetStatusMessage(" ");
  if (selStart == selEnd) {
    Select(0, text.size());
  }
  ui.SetClipboardText(text.substr(selStart, selEnd - selStart));
  app.SetStatusMessage("Selection copied");
  Changed();
}

bool CAbstract::FindText() {
  CInfoRequestDlg dialog;
  dialog.kind = INFO_TEXT;
  dialog.caption = "Find";
  dialog.prompt = "Find what?";
  dialog.okLabel = "Find Next";
  dialog.defaultAnswer = selStart == selEnd ? "  " : text.substr(selStart, selEnd - selStart);
  if (!ui.RunDialog(dialog)) {
    return false;
  }
  Find(dialog.answer);
  return true;
}

void CAbstract::NotFound() {
  ui.MessageBox(FormatText("'%s' not found", searchWord.c_str()), "Search Result", MsgButtons::Ok,
                MsgIcon::None);
  searchWord.clear();
  searchPosition = 0;
  Select(0, 0);
}

void CAbstract::Find(const std::string& word) {
  if (word.empty()) {
    ui.MessageBox("No search word was entered", "Search Error", MsgButtons::Ok, MsgIcon::None);
    return;
  }
  searchWord = UpperCased(word);
  searchPosition = 0;
  // The line feeds after the last record are not searched.
  ShowFound(FindFolded(text, 0, insertionPoint, searchWord));
}

bool CAbstract::FindNext() {
  if (searchWord.empty()) {
    return false;
  }
  std::size_t start = std::min(searchPosition, insertionPoint);
  std::size_t found = FindFolded(text, start, insertionPoint, searchWord);
  if (found == std::string::npos) {
    // Wrap around to the top.
    found = FindFolded(text, 0, insertionPoint, searchWord);
    if (found != std::string::npos && found + searchWord.size() == start) {
      Select(found, found + searchWord.size());
      searchPosition = selEnd;
      ui.MessageBox(FormatText("Only one occurrance of '%s' found", searchWord.c_str()),
                    "Search Result", MsgButtons::Ok, MsgIcon::None);
      Changed();
      return true;
    }
  }
  ShowFound(found);
  return true;
}

void CAbstract::ShowFound(std::size_t found) {
  if (found == std::string::npos) {
    NotFound();
  } else {
    Select(found, found + searchWord.size());
    searchPosition = selEnd;
  }
  Changed();
}

void CAbstract::SetFont(const FontDesc& newFont) {
  font = newFont;
  Changed();
}
