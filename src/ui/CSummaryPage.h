#pragma once

#include <QElapsedTimer>
#include <QFrame>
#include <QPointer>
#include <QTimer>
#include <vector>

#include "app/Signal.h"
#include "driver/CListSummary.h"
#include "ui/CDisplayText.h"

class CPaintHold;
class CResultOutputActions;
class CTitleListModel;
class CTitleListView;
class QGroupBox;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;

// The summary page: the title list over the divider, the summary text below
// it, and beside the text the counter with the more button, "Retrieve Full",
// "Save/Mail", "Print" and "Help". Titles and summary text arrive piece by
// piece from the model.
class CSummaryPage : public QFrame {
  Q_OBJECT

 public:
  // The list's horizontal extent in pixels.
  static constexpr int kListExtent = 720;
  // How often the page is redrawn while titles stream in.
  static constexpr int kBatchRefreshMs = 100;
  // Batches that follow each other quickly (More pressed again and again)
  // are drawn at most this often, as often as a batch that streams in; the
  // list's rows are always up to date. A single press is drawn at once.
  static constexpr int kMinPaintIntervalMs = kBatchRefreshMs;

  explicit CSummaryPage(CListSummary& summary, QWidget* parent = nullptr);
  ~CSummaryPage() override;

  void Refresh();
  // "&Copy" for the list or the summary text, whichever `which` is.
  void Copy(CListSummary::Focus which);
  // "&Copy" for the control that has the focus.
  void Copy();

  // The pop-up menus; the caller owns them.
  QMenu* NewTitleMenu();
  // Where the menus' Save/Mail and Print entries go.
  void SetOutputActions(CResultOutputActions* actions);
  QMenu* NewSummaryMenu();

  CTitleListView* TitleList() const { return list; }
  CTitleListModel* TitleModel() const { return titles; }
  QSplitter* Divider() const { return divider; }
  QPlainTextEdit* SummaryText() const { return text; }
  QGroupBox* Counter() const { return counter; }
  QPushButton* MoreButton() const { return more; }
  QPushButton* RetrieveFullButton() const { return retrieveFull; }
  QPushButton* SaveMailButton() const { return saveMail; }
  QPushButton* PrintButton() const { return print; }
  QPushButton* HelpButton() const { return help; }

 private:
  void SummaryAppended(std::size_t length);
  void SummaryCleared();
  void ListSelectionChanged();
  void ShowSelection();
  void ApplyFont();
  // While titles stream in, the page is redrawn a few times a second rather
  // than once per title; at the end of a batch at once.
  void RefreshSoon();
  // Holds the page's drawing back when it was drawn a moment ago.
  void PaceDrawing();
  void ReleaseDrawing();

  CListSummary& summary;
  CDisplayText shownText;
  std::vector<int> shownSelection;
  bool pushingSelection = false;
  QFont appliedFont;
  QSplitter* divider = nullptr;
  CTitleListView* list = nullptr;
  CTitleListModel* titles = nullptr;
  QPlainTextEdit* text = nullptr;
  QGroupBox* counter = nullptr;
  QPushButton* more = nullptr;
  QPushButton* retrieveFull = nullptr;
  QPushButton* saveMail = nullptr;
  QPushButton* print = nullptr;
  QPushButton* help = nullptr;
  QTimer* refreshTimer = nullptr;
  QTimer* paintTimer = nullptr;
  QElapsedTimer lastDrawn;
  CPaintHold* paintHold = nullptr;
  QPointer<CResultOutputActions> outputActions;
  // The model's notifications to this view; released with it.
  ConnectionBag connections;
};
