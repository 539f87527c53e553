#pragma once

#include <QFont>
#include <QObject>
#include <QPointer>

#include "app/Signal.h"
#include "output/CResultOutput.h"

class CAbstract;
class CDocOutput;
class CListSummary;
class CRecordPage;
class CSummaryPage;
class QMenu;
class QPrinter;
class QWidget;

// The Save/Mail and Print buttons and menu entries of the summary and full
// record pages: enabled as the document says, running the document's
// Save/Mail command, and drawing the printed pages on a Qt printer. While a
// mail goes out the window takes no input and shows the wait cursor.
class CResultOutputActions : public QObject {
  Q_OBJECT

 public:
  using Source = CResultOutput::Source;

  CResultOutputActions(CDocOutput& output, CListSummary& summary, CAbstract& records,
                       CSummaryPage* summaryPage, CRecordPage* recordPage, QWidget* window);
  ~CResultOutputActions() override;

  void SaveMail(Source source);
  // The print dialog, then the pages.
  void Print(Source source);
  // The summary list's pop-up menu entries for the full and selected lists.
  void AddListEntries(QMenu* menu);
  // The summary text's pop-up menu entries for the one summary.
  void AddSummaryEntries(QMenu* menu);
  void UpdateButtons();

  // The pages themselves, on a printer already set up; the number of pages
  // printed, 0 when the printer could not be started.
  static int PrintSummaryWindow(QPrinter& printer, const CDocOutput& output, Source source,
                                const QFont& screenFont, int screenDpiY);
  static int PrintRecords(QPrinter& printer, const CDocOutput& output, const QFont& font);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Sending(bool on);

  CDocOutput& output;
  CListSummary& summary;
  CAbstract& records;
  QPointer<CSummaryPage> summaryPage;
  QPointer<CRecordPage> recordPage;
  QPointer<QWidget> window;
  bool blocking = false;
  ConnectionBag connections;
};
