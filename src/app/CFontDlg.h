#pragma once

#include <optional>
#include <string>

#include "app/CDialogModel.h"
#include "app/FontDesc.h"

class CSettingsStore;
class Ui;

// The font chooser: screen fonts with effects, starting from the window's
// current font. Front ends show their platform's chooser over it.
class CFontDlg : public CDialogModel {
 public:
  explicit CFontDlg(FontDesc initial) : font(std::move(initial)) {}

  const char* Kind() const override { return "font"; }
  std::string Caption() const override { return "Font"; }
  // "SIZE NAME" or "NAME": the CLI's way to choose; SIZE is the stored height.
  void SetAnswerText(const std::string& text);
  bool OnOk() override { return !font.faceName.empty(); }

  // The font a window starts with: stored height and face name, weight 500,
  // fixed pitch, no effects.
  static FontDesc StoredFont(const CSettingsStore& settings, const char* sizeEntry, int defaultSize,
                             const char* nameEntry, const char* defaultName);
  // One choice sets both result windows: the same height and face name go
  // under the summary and the full record entries.
  static void StoreChoice(CSettingsStore& settings, const FontDesc& font);
  // Change Font of both result windows: asks, stores the choice for both
  // and returns it; none when cancelled.
  static std::optional<FontDesc> AskAndStore(Ui& ui, CSettingsStore& settings,
                                             const FontDesc& current);

  FontDesc font;
};
