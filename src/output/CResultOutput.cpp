#include "output/CResultOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/AppNames.h"
#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "app/FormatText.h"
#include "app/SettingsNames.h"
#include "app/Ui.h"
#include "output/CSaveMailDlg.h"
#include "output/CSendMail.h"
#include "platform/CAtomicFile.h"

namespace {

const char* SavedStatus(CResultOutput::Source source) {
  switch (source) {
    case CResultOutput::Source::Records:
      return "Result saved";
    case CResultOutput::Source::Summary:
      return "Summary saved";
    default:
      return "Summary list saved";
  }
}

const char* MailedStatus(CResultOutput::Source source, bool mailed) {
  switch (source) {
    case CResultOutput::Source::Records:
      return mailed ? "Result mailed" : "Result not mailed";
    case CResultOutput::Source::Summary:
      return mailed ? "Summary mailed" : "Summary not mailed";
    default:
      return mailed ? "Summary list mailed" : "Summary list not mailed";
  }
}

const char* PrintedStatus(CResultOutput::Source source) {
  switch (source) {
    case CResultOutput::Source::Records:
      return "Result printed";
    case CResultOutput::Source::Summary:
      return "Summary printed";
    default:
      return "Summary list printed";
  }
}

bool IsList(CResultOutput::Source source) {
  return source == CResultOutput::Source::List || source == CResultOutput::Source::Selected;
}

}  // namespace

CResultOutput::CResultOutput(Ui& ui, EventLoop& loop, CAppState& app, CSettingsStore& settings)
    : ui(ui), loop(loop), app(app), settings(settings) {}

std::string CResultOutput::ChosenHeader(int headerMode, const std::string& briefHeader,
                                        const std::string& fullHeader) {
  return headerMode == 1 ? briefHeader : headerMode == 2 ? fullHeader : std::string();
}

bool CResultOutput::Enabled(const Content& content) {
  switch (content.source) {
    case Source::Records:
    case Source::Summary:
      return !content.text.empty();
    default:
      return true;
  }
}

void CResultOutput::SetStatus(const std::string& text) {
  app.SetStatusMessage(text);
}

void CResultOutput::BeginCommand() {
  SetStatus("   ");
}

std::string CResultOutput::WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
      out += '\r';
    }
    out += text[i];
  }
  if (!out.empty() && out.back() != '\n') {
    out += "\r\n";
  }
  return out;
}

std::vector<std::string> CResultOutput::ContentLines(const Content& content) {
  if (content.source == Source::List) {
    return content.titles;
  }
  std::vector<std::string> lines;
  for (int index : content.selection) {
    if (lines.size() == kMaxSelected) {
      break;
    }
    if (index >= 0 && static_cast<std::size_t>(index) < content.titles.size()) {
      lines.push_back(content.titles[static_cast<std::size_t>(index)]);
    }
  }
  return lines;
}

std::string CResultOutput::FileText(const Content& content, const std::string& header) {
  if (!IsList(content.source)) {
    return WithCrLf(header + content.text);
  }
  std::string out = WithCrLf(header);
  for (const auto& line : ContentLines(content)) {
    out += line;
    out += "\r\n";
  }
  return out;
}

std::string CResultOutput::MailBody(const Content& content, const std::string& header) {
  if (content.source != Source::Summary) {
    return FileText(content, header);
  }
  std::string out = WithCrLf(header);
  for (const auto& line :
       CPrintLayout::SummaryLines(content.text, CPrintLayout::kMailedSummaryWidth)) {
    out += line;
    out += "\r\n";
  }
  return out;
}

std::vector<CPrintLayout::Page> CResultOutput::PrintPages(const Content& content,
                                                          const std::string& header,
                                                          int lineHeight) {
  if (content.source == Source::Summary) {
    return CPrintLayout::LayOutSummaryWindow(
        CPrintLayout::Kind::Summary, header,
        CPrintLayout::SummaryLines(content.text, CPrintLayout::kPrintedSummaryWidth), lineHeight);
  }
  return CPrintLayout::LayOutSummaryWindow(CPrintLayout::Kind::List, header, ContentLines(content),
                                           lineHeight);
}

void CResultOutput::PrintCanceled() {
  SetStatus("Print canceled");
}

void CResultOutput::PrinterNotAvailable() {
  SetStatus("Printer not Available");
}

void CResultOutput::Printed(Source source) {
  SetStatus(PrintedStatus(source));
}

void CResultOutput::PrepareDialog(CSaveMailDlg& dialog) const {
  dialog.choice = lastOutputChoice;
  dialog.to = app.kioskMode != 0 ? std::string() : lastMailTo;
}

CResultOutput::Outcome CResultOutput::SaveMail(const Content& content, const std::string& header) {
  if (content.source == Source::Selected && content.selection.empty()) {
    return Outcome::NotRun;
  }
  BeginCommand();
  CSaveMailDlg dialog(settings, ui);
  PrepareDialog(dialog);
  if (!ui.RunDialog(dialog)) {
    return Outcome::Cancelled;
  }
  return AfterDialog(content, header, dialog);
}

CResultOutput::Outcome CResultOutput::AfterDialog(const Content& content, const std::string& header,
                                                  const CSaveMailDlg& dialog) {
  if (dialog.choice == CSaveMailDlg::kChoiceMail) {
    return Mail(content, header, dialog.to, dialog.subject, dialog.host);
  }
  return SaveToFile(content, header);
}

CResultOutput::Outcome CResultOutput::SaveToFile(const Content& content, const std::string& header,
                                                 std::optional<std::string> path) {
  lastOutputChoice = 0;
  if (!path) {
    FileChooserRequest request;
    request.caption = "Save As";
    request.fileName = "*.txt";
    request.filters = {{"Text Files (*.txt)", "*.txt"}, {"All Files (*.*)", "*"}};
    request.save = true;
    path = ui.ChooseFile(request);
    if (!path) {
      return Outcome::Cancelled;
    }
    // The chooser's default extension: a name typed without one gets ".txt".
    if (CAtomicFile::BaseNameOf(*path).find('.') == std::string::npos) {
      *path += ".txt";
    }
  }
  std::string text = FileText(content, header);
  // Asked whenever something is there, readable or not: replacing a file
  // the user could not even read would lose it without a word.
  struct stat info {};
  bool exists = ::stat(path->c_str(), &info) == 0;
  bool written = false;
  if (exists) {
    // clang-format off
    MsgAnswer answer = ui.MessageBox("The selected file already exists.\n\n'Yes'   will cause the data to be appended.\n\n'No'   will cause it to be overwritten.",
                                     "Append data to File?", MsgButtons::YesNoCancel, MsgIcon::Question);
    // clang-format on
    if (answer == MsgAnswer::Yes) {
      written = Append(*path, text);
    } else if (answer == MsgAnswer::No) {
      written = WriteNew(*path, text);
    } else {
      ui.MessageBox("Save Canceled", "Message", MsgButtons::Ok, MsgIcon::None);
      return Outcome::Cancelled;
    }
  } else {
    written = WriteNew(*path, text);
  }
  if (!written) {
    ui.MessageBox("Error creating file", "Error", MsgButtons::Ok, MsgIcon::Error);
    return Outcome::NotSaved;
  }
  SetStatus(SavedStatus(content.source));
  return Outcome::Saved;
}

bool CResultOutput::WriteNew(const std::string& path, const std::string& text) {
  // A file we may not write stays as it is, although its directory would
  // let us replace it.
  if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0) {
    return false;
  }
  if (CAtomicFile::IsDirectory(path)) {
    return false;
  }
  return CAtomicFile::Replace(path, text);
}

bool CResultOutput::Append(const std::string& path, const std::string& text) {
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) {
    return false;
  }
  // Title lists were once written in pieces of a little over 1000
  // characters to save calls; one write of the whole text saves more.
  bool ok = CAtomicFile::WriteAll(fd, text);
  return ::close(fd) == 0 && ok;
}

std::string CResultOutput::MailFilePath() const {
  std::string dir = app.privateDirectory.empty() ? app.tempDirectory : app.privateDirectory;
  if (!dir.empty() && dir.back() != '/') {
    dir += '/';
  }
  return dir + kMailFileName;
}

CResultOutput::Outcome CResultOutput::Mail(const Content& content, const std::string& header,
                                           const std::string& to, const std::string& subject,
                                           const std::string& host) {
  lastOutputChoice = 1;
  lastMailTo = to;
  settings.WriteSettingText(kSectionMailParameters, kEntrySmtpHost, host);
  // A line break here would let one typed line add commands or header lines;
  // refused before anything is written or sent, whichever way the mail goes.
  if (CSendMail::HasLineBreak(to) || CSendMail::HasLineBreak(subject)) {
    ui.MessageBox("The mail recipient and subject must not contain line breaks or zero bytes.",
                  kAppTitle, MsgButtons::Ok, MsgIcon::None);
    SetStatus(MailedStatus(content.source, false));
    return Outcome::NotMailed;
  }
  std::string body = MailBody(content, header);
  if (CCurlMailSender::IsMailUrl(host)) {
    onSending(true);
    bool mailed = SendThroughUrl(host, to, subject, body);
    onSending(false);
    SetStatus(MailedStatus(content.source, mailed));
    return mailed ? Outcome::Mailed : Outcome::NotMailed;
  }
  bool records = content.source == Source::Records;
  std::string bodyPath;
  if (records) {
    bodyPath = MailFilePath();
    if (!CAtomicFile::Replace(bodyPath, body, 0600)) {
      ui.MessageBox("Error creating file", "Error", MsgButtons::Ok, MsgIcon::Error);
      return Outcome::NotMailed;
    }
  }
  bool mailed = false;
  {
    CSendMail sender(ui, loop);
    if (!sender.Create()) {
      ui.MessageBox("Couldn't create mail socket.", kAppTitle, MsgButtons::Ok, MsgIcon::Error);
      return Outcome::NotMailed;
    }
    onSending(true);
    mailed = records ? sender.SendMailFile(host, to, subject, bodyPath)
                     : sender.SendMailText(host, to, subject, body);
    onSending(false);
    SetStatus(MailedStatus(content.source, mailed));
  }
  if (records) {
    ::unlink(bodyPath.c_str());
  }
  return mailed ? Outcome::Mailed : Outcome::NotMailed;
}

bool CResultOutput::SendThroughUrl(const std::string& host, const std::string& to,
                                   const std::string& subject, const std::string& body) {
  // The same envelope sender and header lines as the classic dialogue.
  std::string sender = CSendMail(ui, loop).SenderAddress();
  CCurlMailSender::Message message;
  message.from = sender;
  message.recipient = to;
  message.data = CSendMail::MessageHeader(to, subject, sender) + body;
  CCurlMailSender::Result result = mailUrlSender.Send(host, message);
  if (!result.sent) {
    std::string text = result.serverReply.empty()
                           ? FormatText("The mail was not sent (%s)", result.error.c_str())
                           : FormatText("The mail was not sent: %s (%s)", result.error.c_str(),
                                        result.serverReply.c_str());
    ui.MessageBox(text, kAppTitle, MsgButtons::Ok, MsgIcon::None);
  }
  return result.sent;
}
