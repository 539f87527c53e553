#pragma once

#include <QKeyCombination>
#include <QWidget>
#include <functional>

#include "doc/CEditCommands.h"
#include "ui/CBasicModePage.h"

class CMainViewWidget;
class CRecordPage;
class CResultOutputActions;
class CSearchFormPage;
class CSummaryPage;
class CTmsfrmDoc;
class QFrame;
class QLabel;

// The content of a document's child window: the tab view with its four
// pages. It also takes the document's keys before the menu bar does: the
// commands of the page in front, that page's button mnemonics, then the tab
// mnemonics; any other key goes on as usual.
class CDocumentWindow : public QWidget {
  Q_OBJECT

 public:
  // Commands of the Edit menu, carried out by the page in front.
  using Command = CEditCommands::Command;

  explicit CDocumentWindow(CTmsfrmDoc& doc, QWidget* parent = nullptr);
  ~CDocumentWindow() override;

  // Re-reads what the document shows.
  void Refresh();

  bool CanRun(Command command) const;
  void Run(Command command);

  // The search page's status line.
  QLabel* HeadingLabel() const;
  CMainViewWidget* View() const { return view; }
  CSearchFormPage* SearchPage() const { return searchPage; }
  CBasicModePage* BasicPage() const { return basicPage; }
  CSummaryPage* SummaryPage() const { return summaryPage; }
  CRecordPage* RecordPage() const { return recordPage; }
  CResultOutputActions* OutputActions() const { return outputActions; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // What the key does here; empty when it is not this window's.
  std::function<void()> KeyAction(QKeyCombination key);
  std::function<void()> MnemonicAction(Qt::Key key);

  CTmsfrmDoc& doc;
  CMainViewWidget* view = nullptr;
  CSearchFormPage* searchPage = nullptr;
  CBasicModePage* basicPage = nullptr;
  CSummaryPage* summaryPage = nullptr;
  CRecordPage* recordPage = nullptr;
  CResultOutputActions* outputActions = nullptr;
  // A key taken before the menu bar saw it runs when its press arrives.
  std::function<void()> pendingAction;
  QKeyCombination pendingKey;
};
