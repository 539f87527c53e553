#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "app/FontDesc.h"
#include "app/Signal.h"
#include "driver/LinkState.h"

class CAppState;
class CConfiguration;
class CDriverLink;
class CSettingsStore;
class EventLoop;
class Ui;

// The summary window: the match explanation, the title list fetched in
// batches of 30 one request at a time, the summaries of the selected titles
// (each fetched once per search), and the start of full record retrieval.
class CListSummary {
 public:
  static constexpr int kBatchSize = 30;
  static constexpr int kMaxTitles = 5000;
  static constexpr std::size_t kMaxSummaryText = 2147483147u;

  enum class Focus { List, Summary };

  CListSummary(CDriverLink& link, CConfiguration& config, CAppState& app, CSettingsStore& settings,
               Ui& ui, EventLoop& loop);
  ~CListSummary();
  CListSummary(const CListSummary&) = delete;
  CListSummary& operator=(const CListSummary&) = delete;

  // ---- what the document calls ----
  // Connect, disconnect and "C&lear All".
  void Reset();
  // Right before a search is sent.
  void ResetForSearch();
  // A match count above 0 arrived.
  void HitCount(int count, const std::string& driverMessage);
  // One MSG_TITLE.
  void AddTitle(int number, const std::string& text);
  // One summary record (kind 1).
  void SummaryArrived(int number, const std::string& text);
  // A new search, or new record format options: summaries must be fetched anew.
  void ClearSummaryCache();

  // ---- user operations ----
  // The more button; false when it is disabled.
  bool More();
  // The list's selection changed (list indexes); starts the click timer.
  void SetSelection(const std::vector<int>& indexes);
  void DoubleClick();
  // "Retrieve Full": button, context menu and double click.
  void RetrieveFull();
  // What the click timer runs: the summaries of the selection.
  void FetchSummaries();
  void SetFocus(Focus which) { focus = which; }
  // Selection in the summary text, as byte offsets.
  void SetSummarySelection(std::size_t start, std::size_t end);
  void Copy();
  // A font chosen with Change Font (in either result window).
  void SetFont(const FontDesc& newFont);

  // ---- what the views show ----
  const std::vector<std::string>& Titles() const { return titles; }
  const std::vector<int>& Selection() const { return selection; }
  const std::string& SummaryText() const { return summaryText; }
  // The selected part of the summary text.
  std::size_t SummarySelectionStart() const { return summarySelStart; }
  std::size_t SummarySelectionEnd() const { return summarySelEnd; }
  bool ClickTimerRunning() const { return clickTimerRunning; }
  // A click's summaries wait for the outstanding request.
  bool SummariesDeferred() const { return summariesDeferred; }
  // While the driver works the pointer over the window is the wait cursor.
  bool ShowsWaitCursor() const;
  // Save/Mail and Print of the one summary need a summary to act on.
  bool CanSaveSummary() const { return saveMailEnabled && !summaryText.empty(); }

  int total = 0;
  int current = 0;
  int batchStart = 0;
  int summaryProgress = 0;
  int deferredFullRetrieval = 0;
  std::string counterText;
  std::string moreLabel = "30 More?";
  bool moreEnabled = false;
  bool saveMailEnabled = false;
  bool printEnabled = false;
  bool listRedraw = true;
  bool summaryRedraw = true;
  // One formatted summary per list index; empty = not fetched yet.
  std::vector<std::string> summaryCache;
  FontDesc font;
  // The platform's double-click time; the Qt view sets its own.
  int doubleClickMs = 400;
  // The summary text's capacity; lowered by tests.
  std::size_t summaryTextLimit = kMaxSummaryText;

  // ---- hooks the document and the views set ----
  Signal<int> onTitleAdded;
  Signal<> onListCleared;
  Signal<const std::string&> onSummaryAppended;
  Signal<> onSummaryCleared;
  // Counter, button, selection, redraw and font changes.
  Signal<> onChanged;
  Signal<bool> onSearchEnabled;
  Signal<> onShowSummaryPage;
  Signal<> onShowRecordPage;
  // Empties the full record window.
  Signal<> onClearFullRecords;
  // For a database with extension programs: runs the retrieval method
  // choice. Returns true when it took over (an extension program was chosen)
  // or the user cancelled; false goes on with full records.
  std::function<bool()> retrieveByExtension;

 private:
  void EmptyList();
  void SetSummaryText(const std::string& text);
  void AppendSummary(const std::string& text);
  bool SummaryFits(std::size_t extra) const;
  void TooManySelected();
  void NextSummary();
  void SummariesDone();
  void BatchEnded();
  void RunDeferredRetrieval();
  void OfferMore();
  void UpdateCounter();
  void StartClickTimer();
  // A selection's summaries wait while another request is outstanding and
  // are fetched once the link is idle again.
  void DeferSummaries();
  void LinkStateChanged(LinkState state);
  // The title or summary request just sent: the busy window's limit holds.
  void WatchRequest();
  void StopClickTimer();
  void SetStatus(const std::string& text);
  void SearchEnabled();
  void Changed();
  static std::string Explanation(int count, const std::string& message);
  static std::string FormatSummary(const std::string& text);

  CDriverLink& link;
  CConfiguration& config;
  CAppState& app;
  CSettingsStore& settings;
  Ui& ui;
  EventLoop& loop;
  std::vector<std::string> titles;
  std::vector<int> selection;
  std::string summaryText;
  std::size_t summarySelStart = 0;
  std::size_t summarySelEnd = 0;
  Focus focus = Focus::List;
  int clickTimerId = 0;
  bool clickTimerRunning = false;
  bool summariesDeferred = false;
  int deferredTimerId = 0;
  ::Connection linkStateWatch;
};
