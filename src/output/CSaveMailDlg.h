#pragma once

#include <string>

#include "app/CDialogModel.h"
#include "app/Signal.h"

class CSettingsStore;
class Ui;

// "Save/Mail": to a file or by mail, and for mail the recipient, the subject
// and, while no mail host is stored, the host. The view lays the dialog out
// from Layout() and HeightReduction() and follows layoutChanged.
class CSaveMailDlg : public CDialogModel {
 public:
  enum Choice { kChoiceSave = 0, kChoiceMail = 1 };
  enum class Layout {
    Save,         // the choice and the buttons only
    Mail,         // recipient and subject; the stored host is used
    MailWithHost  // recipient, subject and the host field
  };
  // Template size in dialog units.
  static constexpr int kWidthDlu = 155;
  static constexpr int kHeightDlu = 176;
  // Pixels taken off the full client height by the shorter layouts.
  static constexpr int kNoHostReduction = 55;
  static constexpr int kSaveReduction = 165;

  static constexpr const char* kSaveLabel = "Save to File";
  static constexpr const char* kMailLabel = "Mail ";
  static constexpr const char* kToLabel = "Send to (E-mail address):";
  static constexpr const char* kSubjectLabel = "Subject:";
  static constexpr const char* kHostLabel = "Mail Processing Host: (machine.domain)";
  static constexpr const char* kDefaultSubject = "Tamsel Search Results";
  static constexpr const char* kProposedHost = "mailhost";
  static constexpr int kHelpContext = 0x2006C;

  CSaveMailDlg(const CSettingsStore& settings, Ui& ui);

  const char* Kind() const override { return "save-mail"; }
  std::string Caption() const override { return "Save/Mail"; }
  // Opens in the layout of the current choice.
  void OnInit() override;
  // Mail needs a recipient; the dialog stays open without one.
  bool OnOk() override;
  // The CLI's `answer text`: the host field while it shows, else the recipient.
  void SetAnswerText(const std::string& text);

  // The radio buttons.
  void ChooseSave();
  void ChooseMail();

  Layout CurrentLayout() const { return layout; }
  bool MailFieldsShown() const { return layout != Layout::Save; }
  bool HostFieldShown() const { return layout == Layout::MailWithHost; }
  // How much shorter than the full client height the dialog is now.
  int HeightReduction() const;

  int choice = kChoiceSave;
  std::string to;
  std::string subject;
  std::string host;

  // The layout (and the boxes' texts with it) changed.
  Signal<> layoutChanged;

 private:
  void ShowSaveLayout();
  void ShowMailLayout();

  const CSettingsStore& settings;
  Ui& ui;
  Layout layout = Layout::Save;
};
