#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "app/FontDesc.h"
#include "app/Signal.h"

class CAppState;
class CSettingsStore;
class Ui;

// The full record window: the records the driver returns, one after the
// other, read-only, with copying, finding text and the font choice.
class CAbstract {
 public:
  CAbstract(CAppState& app, CSettingsStore& settings, Ui& ui);

  // One full record arrived.
  void AddRecordText(const std::string& recordText);
  void ClearText();
  // Off while a batch of records arrives, so views repaint once at the end.
  void EnableRedraw(bool enabled);
  // Every full-record reply brings the window forward.
  void ShowRecordPage();

  // The view's selection, as byte offsets.
  void SetSelection(std::size_t start, std::size_t end);
  void Copy();
  // "Find Text": asks for the word; false when the dialog was cancelled.
  bool FindText();
  // Find Text with the word already entered.
  void Find(const std::string& word);
  // "Find Next"; false when there is no word to find.
  bool FindNext();
  // A font chosen with Change Font (in either result window).
  void SetFont(const FontDesc& newFont);

  const std::string& Text() const { return text; }
  std::size_t SelectionStart() const { return selStart; }
  std::size_t SelectionEnd() const { return selEnd; }
  // Save/Mail, Print, Copy and Clear All need text to act on.
  bool HasText() const { return insertionPoint != 0; }
  bool CanFindNext() const { return !searchWord.empty(); }

  // Where the next record goes: right after the last record's text, before
  // the line feeds that end the window.
  std::size_t insertionPoint = 0;
  std::string searchWord;
  std::size_t searchPosition = 0;
  // The Print, Copy Text and Save/Mail buttons.
  bool buttonsEnabled = false;
  bool redrawEnabled = true;
  FontDesc font;

  Signal<std::size_t, const std::string&> onTextInserted;
  Signal<> onTextCleared;
  // Selection, buttons, redraw and font changes.
  Signal<> onChanged;
  Signal<> onShowPage;

 private:
  void Select(std::size_t start, std::size_t end);
  void NotFound();
  // Selects the word found at `found`, or reports it not found.
  void ShowFound(std::size_t found);
  void Changed();

  CAppState& app;
  CSettingsStore& settings;
  Ui& ui;
  std::string text;
  std::size_t selStart = 0;
  std::size_t selEnd = 0;
};
