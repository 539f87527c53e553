#include "driver/CListSummary.h"

#include <algorithm>
#include <string>

#include "app/CAppState.h"
#include "app/CFontDlg.h"
#include "app/CSettingsStore.h"
#include "app/EventLoop.h"
#include "app/FormatText.h"
#include "app/SettingsNames.h"
#include "app/Ui.h"
#include "config/CConfiguration.h"
#include "driver/CDriverLink.h"
#include "driver/LinkState.h"

CListSummary::CListSummary(CDriverLink& link, CConfiguration& config, CAppState& app,
                           CSettingsStore& settings, Ui& ui, EventLoop& loop)
    : link(link), config(config), app(app), settings(settings), ui(ui), loop(loop) {
  font = CFontDlg::StoredFont(settings, kEntrySummarySize, kDefaultSummarySize, kEntrySummaryName,
                              kDefaultSummaryName);
  linkStateWatch =
      link.Events().linkStateChanged.Connect([this](LinkState state) { LinkStateChanged(state); });
}

CListSummary::~CListSummary() {
  StopClickTimer();
  if (deferredTimerId != 0) {
    loop.StopTimer(deferredTimerId);
  }
}

void CListSummary::WatchRequest() {
  link.Busy().Watch("Retrieving...\n(this could take a while)");
}

void CListSummary::DeferSummaries() {
  summariesDeferred = true;
}

void CListSummary::LinkStateChanged(LinkState state) {
  if (state != LINK_IDLE || !summariesDeferred || deferredTimerId != 0) {
    return;
  }
  // Not from inside the reply handling that made the link idle: that may go
  // on to send the next request of its own.
  deferredTimerId = loop.StartTimer(0, false, [this] {
    deferredTimerId = 0;
    if (summariesDeferred && link.IsIdle()) {
      FetchSummaries();
    }
  });
}

// ---- notifications ----

void CListSummary::Changed() {
  onChanged();
}

void CListSummary::SetStatus(const std::string& text) {
  app.SetStatusMessage(text);
}

void CListSummary::SearchEnabled() {
  onSearchEnabled(true);
}

void CListSummary::EmptyList() {
  titles.clear();
  selection.clear();
  onListCleared();
}

void CListSummary::SetSummaryText(const std::string& text) {
  summaryText.clear();
  summarySelStart = summarySelEnd = 0;
  onSummaryCleared();
  AppendSummary(text);
}

void CListSummary::AppendSummary(const std::string& text) {
  if (text.empty()) {
    return;
  }
  summaryText += text;
  onSummaryAppended(text);
}

// ---- resets ----

void CListSummary::Reset() {
  StopClickTimer();
  summariesDeferred = false;
  EmptyList();
  SetSummaryText("");
  total = current = batchStart = summaryProgress = 0;
  deferredFullRetrieval = 0;
  counterText.clear();
  summaryCache.clear();
  saveMailEnabled = printEnabled = moreEnabled = false;
  listRedraw = summaryRedraw = true;
  Changed();
}

void CListSummary::ResetForSearch() {
  StopClickTimer();
  summariesDeferred = false;
  EmptyList();
  current = batchStart = 0;
  SetSummaryText("");
  ClearSummaryCache();
  // Nothing of the old result may be asked for or added while the search
  // runs; the match count sets the new total.
  total = 0;
  counterText.clear();
  moreEnabled = false;
  Changed();
}

void CListSummary::ClearSummaryCache() {
  std::fill(summaryCache.begin(), summaryCache.end(), std::string());
}

// ---- titles ----

// clang-format off
std::string CListSummary::Explanation(int count, const std::string& message) {
  if (count > kBatchSize) {
    if (!message.empty()) {
      return FormatText("%s\nYour query matched %d items.\r\nThe first %d summaries are being retrieved.\r\nTo add more titles to the list, click the %d MORE button.\r\nTo view the summary for a title, click it.\r\n   To print it:             click the Print button.\r\n   To e-mail or save it:    click the Save/Mail button.\r\n   To view the full record: click the Retrieve Full button\r\nTo select multiple items, press the Ctrl or Control key and\r\nclick each title.  Selected titles will be highlighted.\r\nFor more information, click the Help button.",
                        message.c_str(), count, kBatchSize, kBatchSize);
    }
    return FormatText("Your query matched %d items.\r\nThe first %d summaries are being retrieved.\r\nTo add more titles to the list, click the %d MORE button.\r\n\r\nTo view the summary for a title, click it.\r\n   To print it:             click the Print button.\r\n   To e-mail or save it:    click the Save/Mail button.\r\n   To view the full record: click the Retrieve Full button\r\n\r\nTo select multiple items, press the Ctrl or Control key and\r\nclick each title.  Selected titles will be highlighted.\r\n\r\nFor more information, click the Help button.",
                      count, kBatchSize, kBatchSize);
  }
  if (!message.empty()) {
    return FormatText("%s\r\nYour query matched %d items. The summaries are being retrieved.\r\nTo view the summary for a title, click it.\r\n   To print it:             click the Print button.\r\n   To e-mail or save it:    click the Save/Mail button.\r\n   To view the full record: click the Retrieve Full button\r\nTo select multiple items, press the Ctrl or Control key and\r\n click each title.  Selected titles will be highlighted.\r\n\r\nFor more information, click the Help button.",
                      message.c_str(), count);
  }
  return FormatText("Your query matched %d items. The summaries are being retrieved.\r\n\r\nTo view the summary for a title, click it.\r\n   To print it:             click the Print button.\r\n   To e-mail or save it:    click the Save/Mail button.\r\n   To view the full record: click the Retrieve Full button\r\n\r\nTo select multiple items, press the Ctrl or Control key and\r\n click each title.  Selected titles will be highlighted.\r\n\r\nFor more information, click the Help button.",
                    count);
}
// clang-format on

void CListSummary::HitCount(int count, const std::string& driverMessage) {
  if (count <= 0) {
    return;
  }
  saveMailEnabled = printEnabled = true;
  total = std::min(count, kMaxTitles);
  EmptyList();
  counterText.clear();
  current = batchStart = summaryProgress = 0;
  // The cache is indexed by result number: a new result set makes it stale.
  summaryCache.assign(static_cast<std::size_t>(total), std::string());
  // Title 1 is asked for before the explanation is laid out and the record
  // window cleared, so the driver works on it meanwhile; its reply is
  // handled after all of this.
  const bool retrieving = !link.IsIdle();
  if (retrieving) {
    current = 1;
    listRedraw = false;
    link.Busy().Close();
    WatchRequest();
    link.GetTitle(1);
  }
  std::string explanation = Explanation(count, driverMessage);
  // The explanation is shown without its final period.
  explanation.pop_back();
  SetSummaryText(explanation);
  onClearFullRecords();
  if (retrieving) {
    SetStatus("Retrieving Titles...");
  }
  onShowSummaryPage();
  Changed();
}

namespace {

// "%-3d %s": the number left-aligned in three columns, a blank, the text
// up to any NUL.
std::string TitleLine(int number, const std::string& text) {
  std::string line = std::to_string(number);
  if (line.size() < 3) {
    line.append(3 - line.size(), ' ');
  }
  line += ' ';
  line.append(text.c_str());
  return line;
}

}  // namespace

void CListSummary::UpdateCounter() {
  // Once per title: plain appends cost far less than a format.
  counterText = ' ' + std::to_string(current) + " of " + std::to_string(total);
}

void CListSummary::OfferMore() {
  moreEnabled = true;
  moreLabel = FormatText("%d More?", std::min(total - current, kBatchSize));
}

void CListSummary::AddTitle(int number, const std::string& text) {
  // Titles nobody asked for (no match count, or past the total) are dropped.
  if (total == 0 || static_cast<int>(titles.size()) >= total) {
    // The list was cleared while a batch ran: this reply ends the wait, or
    // the link would stay busy until the time limit.
    if (total == 0 && link.State() == LINK_RETRIEVING) {
      link.SetLinkState(LINK_IDLE);
      link.Busy().Close();
      SearchEnabled();
    }
    return;
  }
  // The next title of the batch is asked for before this one is filed and
  // shown, so the driver works on it meanwhile.
  const bool next = current < total && !link.IsIdle() && current - batchStart < kBatchSize;
  if (next) {
    link.GetTitle(current + 1);
  }
  titles.push_back(TitleLine(number, text));
  onTitleAdded(static_cast<int>(titles.size()) - 1);
  UpdateCounter();
  if (current >= total) {
    SearchEnabled();
    link.SetLinkState(LINK_IDLE);
    link.Busy().Close();
    if (total == 1) {
      selection = {0};
      FetchSummaries();
    }
    UpdateCounter();
    moreEnabled = false;
    moreLabel = "30 more?";
    listRedraw = true;
    SetStatus("Titles retrieved");
    // A Retrieve Full pressed during the last batch must not be lost.
    if (link.IsIdle()) {
      RunDeferredRetrieval();
    }
  } else if (link.IsIdle()) {
    // Cancelled: the rest stays on offer.
    OfferMore();
    SearchEnabled();
    SetStatus("Titles retrieved");
    listRedraw = true;
  } else if (next) {
    ++current;
    WatchRequest();
    SetStatus("Retrieving Titles...");
  } else {
    BatchEnded();
  }
  Changed();
}

void CListSummary::BatchEnded() {
  link.SetLinkState(LINK_IDLE);
  UpdateCounter();
  OfferMore();
  SearchEnabled();
  SetStatus("Titles retrieved");
  listRedraw = true;
  link.Busy().Close();
  RunDeferredRetrieval();
}

bool CListSummary::More() {
  // A title request beside an outstanding summary would be taken for its reply.
  if (!moreEnabled || current >= total || !link.IsIdle()) {
    return false;
  }
  moreEnabled = false;
  batchStart = current;
  ++current;
  // Sent first (it makes the link busy): the driver works while the
  // windows follow.
  link.GetTitle(current);
  SetStatus("Retrieving Titles...");
  WatchRequest();
  Changed();
  return true;
}

// ---- selection and summaries ----

void CListSummary::SetSelection(const std::vector<int>& indexes) {
  selection.clear();
  for (int index : indexes) {
    if (index >= 0 && index < static_cast<int>(titles.size())) {
      selection.push_back(index);
    }
  }
  std::sort(selection.begin(), selection.end());
  selection.erase(std::unique(selection.begin(), selection.end()), selection.end());
  StartClickTimer();
  Changed();
}

void CListSummary::StartClickTimer() {
  StopClickTimer();
  clickTimerId = loop.StartTimer(doubleClickMs, false, [this] {
    clickTimerRunning = false;
    clickTimerId = 0;
    FetchSummaries();
  });
  clickTimerRunning = true;
}

void CListSummary::StopClickTimer() {
  if (clickTimerRunning) {
    loop.StopTimer(clickTimerId);
    clickTimerRunning = false;
    clickTimerId = 0;
  }
}

void CListSummary::DoubleClick() {
  StopClickTimer();
  RetrieveFull();
}

void CListSummary::FetchSummaries() {
  CRecordRetrieval& retrieval = link.Retrieval();
  // Whoever runs this (the timer, or a front end in its place), the click is
  // answered now; the timer must not ask a second time.
  StopClickTimer();
  if (link.RequestOutstanding()) {
    // Another request's reply is on its way: asking now would take it for a
    // summary, or a summary for it. The click waits its turn.
    DeferSummaries();
    return;
  }
  summariesDeferred = false;
  if (!link.IsIdle() || selection.empty()) {
    return;
  }
  if (static_cast<int>(selection.size()) > kMaxTitles) {
    // clang-format off
    ui.MessageBox(FormatText("%d Records were requested for retrieval.\n  The limit is \t\t\t%d.  Please revise the retrieval criteria\n",
                             static_cast<int>(selection.size()), kMaxTitles),
                  "Message", MsgButtons::Ok, MsgIcon::None);
    // clang-format on
    return;
  }
  retrieval.StartSummaries(selection);
  SetStatus("Retrieving Summary");
  SetSummaryText("");
  summaryProgress = 0;
  summaryRedraw = false;
  NextSummary();
}

bool CListSummary::SummaryFits(std::size_t extra) const {
  return extra <= summaryTextLimit && summaryText.size() <= summaryTextLimit - extra;
}

void CListSummary::TooManySelected() {
  link.Busy().Close();
  summaryProgress = link.Retrieval().Count();
  link.SetLinkState(LINK_IDLE);
  SetStatus("Too many selected!");
  summaryRedraw = true;
  Changed();
}

void CListSummary::NextSummary() {
  CRecordRetrieval& retrieval = link.Retrieval();
  while (summaryProgress < retrieval.Count()) {
    auto index = static_cast<std::size_t>(retrieval.RecordNumber(summaryProgress) - 1);
    if (index >= summaryCache.size() || summaryCache[index].empty()) {
      break;
    }
    if (!SummaryFits(summaryCache[index].size())) {
      TooManySelected();
      return;
    }
    AppendSummary(summaryCache[index]);
    ++summaryProgress;
  }
  if (summaryProgress < retrieval.Count()) {
    retrieval.ExpectSummary(true);
    WatchRequest();
    link.GetRecord(retrieval.RecordNumber(summaryProgress), CRecordRetrieval::SUMMARY);
    Changed();
    return;
  }
  SummariesDone();
}

void CListSummary::SummariesDone() {
  link.Busy().Close();
  SetStatus("Summaries retrieved");
  summaryRedraw = true;
  Changed();
  RunDeferredRetrieval();
}

std::string CListSummary::FormatSummary(const std::string& text) {
  std::string out;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      end = text.size();
    }
    if (end > start) {
      out.append(text, start, end - start);
      out += "\r\n";
    }
    start = end + 1;
  }
  out += "\r\n\r\n";
  return out;
}

void CListSummary::SummaryArrived(int number, const std::string& text) {
  std::string formatted = FormatSummary(text);
  if (!SummaryFits(formatted.size())) {
    TooManySelected();
    return;
  }
  AppendSummary(formatted);
  if (number >= 1 && static_cast<std::size_t>(number) <= summaryCache.size()) {
    summaryCache[static_cast<std::size_t>(number) - 1] = formatted;
  }
  ++summaryProgress;
  // Idle already: the wait was cancelled, and no further summary is asked for.
  bool cancelled = link.IsIdle();
  link.SetLinkState(LINK_IDLE);
  if (cancelled) {
    summaryRedraw = true;
    Changed();
    return;
  }
  if (summaryProgress < link.Retrieval().Count()) {
    NextSummary();
    return;
  }
  SummariesDone();
}

// ---- full records ----

void CListSummary::RunDeferredRetrieval() {
  if (deferredFullRetrieval != 0) {
    deferredFullRetrieval = 0;
    RetrieveFull();
  }
}

void CListSummary::RetrieveFull() {
  SetStatus("   ");
  if (config.currentDatabase == nullptr) {
    onShowRecordPage();
    return;
  }
  if (!link.IsIdle()) {
    SetStatus("Wait... ");
    deferredFullRetrieval = 1;
    return;
  }
  onClearFullRecords();
  if (selection.empty()) {
    onShowRecordPage();
    return;
  }
  if (static_cast<int>(selection.size()) > kMaxTitles) {
    // clang-format off
    ui.MessageBox(FormatText("%d Records were requested for retrieval.\n  The limit is %d.  Please revise the retrieval criteria\n",
                             static_cast<int>(selection.size()), kMaxTitles),
                  "Message", MsgButtons::Ok, MsgIcon::None);
    // clang-format on
    return;
  }
  link.Retrieval().StartFull(selection);
  if (!config.currentDatabase->extensions.empty() && retrieveByExtension && retrieveByExtension()) {
    return;
  }
  link.StartRetrieval();
  link.Busy().Show("Retrieving...\n(this could take a while)");
}

// ---- copy and font ----

void CListSummary::SetSummarySelection(std::size_t start, std::size_t end) {
  summarySelStart = std::min(start, summaryText.size());
  summarySelEnd = std::min(std::max(end, summarySelStart), summaryText.size());
}

void CListSummary::Copy() {
  SetStatus(" ");
  std::string copied;
  if (focus == Focus::List) {
    if (selection.empty()) {
      // Selecting everything for the copy is no click: no summaries follow.
      for (int i = 0; i < static_cast<int>(titles.size()); ++i) {
        selection.push_back(i);
      }
    }
    for (std::size_t i = 0; i < selection.size(); ++i) {
      copied += (i == 0 ? "" : "\r\n") + titles[static_cast<std::size_t>(selection[i])];
    }
  } else {
    if (summarySelStart == summarySelEnd) {
      summarySelStart = 0;
      summarySelEnd = summaryText.size();
    }
    copied = summaryText.substr(summarySelStart, summarySelEnd - summarySelStart);
  }
  ui.SetClipboardText(copied);
  SetStatus("Selection copied");
  Changed();
}

void CListSummary::SetFont(const FontDesc& newFont) {
  font = newFont;
  Changed();
}

bool CListSummary::ShowsWaitCursor() const {
  return link.RequestOutstanding();
}
