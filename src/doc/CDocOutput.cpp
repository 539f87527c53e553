#include "doc/CDocOutput.h"

#include "doc/CMainView.h"
#include "driver/CListSummary.h"
#include "output/CAbstract.h"
#include "output/CRecordFormat.h"
#include "output/CResultHeaders.h"

CDocOutput::CDocOutput(CListSummary& summary, CAbstract& records, const CRecordFormat& format,
                       const CResultHeaders& headers, Ui& ui, EventLoop& loop, CAppState& app,
                       CSettingsStore& settings)
    : summary(summary),
      records(records),
      format(format),
      headers(headers),
      output(ui, loop, app, settings) {}

CResultOutput::Content CDocOutput::ContentOf(Source source) const {
  CResultOutput::Content content;
  content.source = source;
  switch (source) {
    case Source::Records:
      content.text = records.Text();
      break;
    case Source::Summary:
      content.text = summary.SummaryText();
      break;
    case Source::Selected:
      content.selection = summary.Selection();
      [[fallthrough]];
    case Source::List:
      content.titles = summary.Titles();
      break;
  }
  return content;
}

std::string CDocOutput::Header() const {
  return CResultOutput::ChosenHeader(format.headerMode, headers.briefHeader, headers.fullHeader);
}

std::optional<CDocOutput::Source> CDocOutput::SourceOfPage(int page) {
  if (page == CMainView::PAGE_SUMMARY) {
    return Source::Summary;
  }
  if (page == CMainView::PAGE_RECORD) {
    return Source::Records;
  }
  return std::nullopt;
}

bool CDocOutput::CanSaveMail(Source source) const {
  switch (source) {
    case Source::Records:
      return records.buttonsEnabled && records.HasText();
    case Source::Summary:
      return summary.CanSaveSummary();
    default:
      return true;
  }
}

bool CDocOutput::CanPrint(Source source) const {
  switch (source) {
    case Source::Records:
      return records.buttonsEnabled && records.HasText();
    case Source::Summary:
      return summary.printEnabled && !summary.SummaryText().empty();
    default:
      return true;
  }
}

CDocOutput::Outcome CDocOutput::SaveMailCommand(Source source) {
  if (!CanSaveMail(source)) {
    return Outcome::NotRun;
  }
  return output.SaveMail(ContentOf(source), Header());
}

std::vector<CPrintLayout::Page> CDocOutput::PrintPages(Source source, int lineHeight) const {
  return CResultOutput::PrintPages(ContentOf(source), Header(), lineHeight);
}

std::string CDocOutput::RecordPrintText() const {
  return CResultOutput::RecordPrintText(Header(), records.Text());
}
