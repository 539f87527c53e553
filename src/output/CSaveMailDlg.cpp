#include "output/CSaveMailDlg.h"

#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
#include "app/Ui.h"

CSaveMailDlg::CSaveMailDlg(const CSettingsStore& settings, Ui& ui) : settings(settings), ui(ui) {}

void CSaveMailDlg::OnInit() {
  if (choice == kChoiceMail) {
    ShowMailLayout();
  } else {
    ShowSaveLayout();
  }
}

void CSaveMailDlg::ChooseSave() {
  choice = kChoiceSave;
  ShowSaveLayout();
}

void CSaveMailDlg::ChooseMail() {
  choice = kChoiceMail;
  ShowMailLayout();
}

void CSaveMailDlg::ShowSaveLayout() {
  layout = Layout::Save;
  layoutChanged();
}

void CSaveMailDlg::ShowMailLayout() {
  host = settings.ReadSettingText(kSectionMailParameters, kEntrySmtpHost, kDefaultSmtpHost);
  if (host.empty()) {
    host = kProposedHost;
    layout = Layout::MailWithHost;
  } else {
    layout = Layout::Mail;
  }
  // Never remembered: every mail layout starts from the usual subject.
  subject = kDefaultSubject;
  layoutChanged();
}

int CSaveMailDlg::HeightReduction() const {
  switch (layout) {
    case Layout::Save:
      return kSaveReduction;
    case Layout::Mail:
      return kNoHostReduction;
    case Layout::MailWithHost:
      return 0;
  }
  return 0;
}

bool CSaveMailDlg::OnOk() {
  if (choice == kChoiceMail && to.empty()) {
    ui.MessageBox("'To:' address is required for Mail", "Required Data Missing", MsgButtons::Ok,
                  MsgIcon::Warning);
    return false;
  }
  return true;
}

void CSaveMailDlg::SetAnswerText(const std::string& text) {
  if (HostFieldShown()) {
    host = text;
  } else {
    to = text;
  }
}
