#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/Signal.h"
#include "output/CCurlMailSender.h"
#include "output/CPrintLayout.h"

class CAppState;
class CSaveMailDlg;
class CSettingsStore;
class EventLoop;
class Ui;

// The eight ways results leave the program: Save/Mail and Print of the full
// record window, and of the summary window's one summary, full title list
// and selected titles. The windows hand over their text as plain values; this
// class runs the Save/Mail dialog, writes the file, sends the mail, lays out
// the printed pages and reports the outcome in the status line. It also keeps
// what the document remembers between commands: the last choice and recipient.
class CResultOutput {
 public:
  enum class Source { Records, Summary, List, Selected };
  enum class Outcome { NotRun, Cancelled, Saved, NotSaved, Mailed, NotMailed };

  // Selected titles beyond this many are left out.
  static constexpr std::size_t kMaxSelected = 5000;
  // Title lists go to the file in pieces of a little over this many characters.
  static constexpr std::size_t kWritePiece = 1000;
  static constexpr const char* kMailFileName = "smtp.txt";

  // What one command sends after the header.
  struct Content {
    Source source = Source::Records;
    // Records: the full record window's whole text. Summary: the summary text.
    std::string text;
    // List and Selected: the title list, and for Selected the chosen
    // 0-based indexes in order.
    std::vector<std::string> titles;
    std::vector<int> selection;
  };

  CResultOutput(Ui& ui, EventLoop& loop, CAppState& app, CSettingsStore& settings);

  // The header `headerMode` chooses: 0 none, 1 brief, 2 full.
  static std::string ChosenHeader(int headerMode, const std::string& briefHeader,
                                  const std::string& fullHeader);
  // Whether the command's button and menu item are enabled.
  static bool Enabled(const Content& content);

  // Save/Mail: the dialog, then the file or the mail. Selected without a
  // selection does nothing at all (NotRun).
  Outcome SaveMail(const Content& content, const std::string& header);

  // The steps of SaveMail, for front ends that fill the dialog from
  // arguments: BeginCommand, PrepareDialog, OnInit, then the choice and
  // fields, OnOk, and AfterDialog.
  void PrepareDialog(CSaveMailDlg& dialog) const;
  Outcome AfterDialog(const Content& content, const std::string& header,
                      const CSaveMailDlg& dialog);

  // The file path: the save-file dialog unless `path` is given, the append
  // question when the file exists, then the header and the content.
  Outcome SaveToFile(const Content& content, const std::string& header,
                     std::optional<std::string> path = std::nullopt);
  // The mail path: remembers the choice, recipient and host, then sends.
  Outcome Mail(const Content& content, const std::string& header, const std::string& to,
               const std::string& subject, const std::string& host);

  // Printing: the front end blanks the status, shows its print dialog and
  // reports how it went; the summary window's pages come from PrintPages.
  void BeginCommand();
  void PrintCanceled();
  void PrinterNotAvailable();
  void Printed(Source source);
  static std::vector<CPrintLayout::Page> PrintPages(const Content& content,
                                                    const std::string& header, int lineHeight);
  // The full record window's printed text: the header in front of the record text.
  static std::string RecordPrintText(const std::string& header, const std::string& text) {
    return header + text;
  }

  // The text written to a file or mailed, every line ending in CR LF.
  static std::string FileText(const Content& content, const std::string& header);
  static std::string MailBody(const Content& content, const std::string& header);
  // Every line ends in one CR LF, the last one included.
  static std::string WithCrLf(const std::string& text);

  // Remembered for the document's life.
  int lastOutputChoice = 0;
  std::string lastMailTo;

  // Sends for a mail host written as smtp:// or smtps:// URL.
  CCurlMailSender mailUrlSender;
  // True while a mail is on its way, false once the send has ended: the
  // window blocks input and shows the wait cursor in between.
  Signal<bool> onSending;

 private:
  static std::vector<std::string> ContentLines(const Content& content);
  bool WriteNew(const std::string& path, const std::string& text);
  bool Append(const std::string& path, const std::string& text);
  std::string MailFilePath() const;
  bool SendThroughUrl(const std::string& host, const std::string& to, const std::string& subject,
                      const std::string& body);
  void SetStatus(const std::string& text);

  Ui& ui;
  EventLoop& loop;
  CAppState& app;
  CSettingsStore& settings;
};
