#pragma once

#include <optional>
#include <string>
#include <vector>

#include "output/CPrintLayout.h"
#include "output/CResultOutput.h"

class CAbstract;
class CAppState;
class CListSummary;
class CRecordFormat;
class CResultHeaders;
class CSettingsStore;
class EventLoop;
class Ui;

// The document's part in getting results out: which window text each of the
// eight Save/Mail and Print commands takes, the header the record format
// chooses, and whether each command is enabled right now. The saving,
// mailing and page layout themselves are CResultOutput's.
class CDocOutput {
 public:
  using Source = CResultOutput::Source;
  using Outcome = CResultOutput::Outcome;

  CDocOutput(CListSummary& summary, CAbstract& records, const CRecordFormat& format,
             const CResultHeaders& headers, Ui& ui, EventLoop& loop, CAppState& app,
             CSettingsStore& settings);

  CResultOutput& Output() { return output; }

  // What the command sends after the header, taken from its window now.
  CResultOutput::Content ContentOf(Source source) const;
  // The header the record format's header choice names.
  std::string Header() const;

  // The frame's Save/Mail and Print act on the result window in front: the
  // summary on the summary page, the full records on the record page, none
  // on the others.
  static std::optional<Source> SourceOfPage(int page);

  // The buttons and menu items.
  bool CanSaveMail(Source source) const;
  bool CanPrint(Source source) const;

  // Save/Mail, start to end. A disabled command does nothing (NotRun).
  Outcome SaveMailCommand(Source source);
  // The summary window's printed pages, for a font `lineHeight` device units high.
  std::vector<CPrintLayout::Page> PrintPages(Source source, int lineHeight) const;
  // The full record window's printed text: the header, then the window's text.
  std::string RecordPrintText() const;

 private:
  CListSummary& summary;
  CAbstract& records;
  const CRecordFormat& format;
  const CResultHeaders& headers;
  CResultOutput output;
};
