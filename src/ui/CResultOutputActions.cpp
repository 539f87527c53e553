#include "ui/CResultOutputActions.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>

#include "doc/CDocOutput.h"
#include "driver/CListSummary.h"
#include "output/CAbstract.h"
#include "output/CPrintLayout.h"
#include "ui/CQtUi.h"
#include "ui/CRecordPage.h"
#include "ui/CSummaryPage.h"

CResultOutputActions::CResultOutputActions(CDocOutput& output, CListSummary& summary,
                                           CAbstract& records, CSummaryPage* summaryPage,
                                           CRecordPage* recordPage, QWidget* window)
    : QObject(window),
      output(output),
      summary(summary),
      records(records),
      summaryPage(summaryPage),
      recordPage(recordPage),
      window(window) {
  connect(summaryPage->SaveMailButton(), &QPushButton::clicked, this,
          [this] { SaveMail(Source::Summary); });
  connect(summaryPage->PrintButton(), &QPushButton::clicked, this,
          [this] { Print(Source::Summary); });
  connect(recordPage->SaveMailButton(), &QPushButton::clicked, this,
          [this] { SaveMail(Source::Records); });
  connect(recordPage->PrintButton(), &QPushButton::clicked, this,
          [this] { Print(Source::Records); });
  connections += summary.onChanged.Connect([this] { UpdateButtons(); });
  connections += summary.onSummaryAppended.Connect([this](const std::string&) { UpdateButtons(); });
  connections += summary.onSummaryCleared.Connect([this] { UpdateButtons(); });
  connections += records.onChanged.Connect([this] { UpdateButtons(); });
  connections +=
      records.onTextInserted.Connect([this](std::size_t, const std::string&) { UpdateButtons(); });
  connections += records.onTextCleared.Connect([this] { UpdateButtons(); });
  connections += output.Output().onSending.Connect([this](bool on) { Sending(on); });
  summaryPage->SetOutputActions(this);
  UpdateButtons();
}

CResultOutputActions::~CResultOutputActions() {
  Sending(false);
}

void CResultOutputActions::UpdateButtons() {
  if (summaryPage) {
    summaryPage->SaveMailButton()->setEnabled(output.CanSaveMail(Source::Summary));
    summaryPage->PrintButton()->setEnabled(output.CanPrint(Source::Summary));
  }
  if (recordPage) {
    recordPage->SaveMailButton()->setEnabled(output.CanSaveMail(Source::Records));
    recordPage->PrintButton()->setEnabled(output.CanPrint(Source::Records));
  }
}

void CResultOutputActions::AddListEntries(QMenu* menu) {
  auto add = [this, menu](const char* text, bool print, Source source) {
    QAction* action = menu->addAction(text);
    action->setEnabled(print ? output.CanPrint(source) : output.CanSaveMail(source));
    connect(action, &QAction::triggered, this,
            [this, print, source] { print ? Print(source) : SaveMail(source); });
  };
  add("Save/ Mail Full List...", false, Source::List);
  add("&Print Full List...", true, Source::List);
  menu->addSeparator();
  add("Save/ Mail Selected List...", false, Source::Selected);
  add("&Print Selected List...", true, Source::Selected);
}

void CResultOutputActions::AddSummaryEntries(QMenu* menu) {
  QAction* save = menu->addAction("Save/&Mail...");
  save->setEnabled(output.CanSaveMail(Source::Summary));
  connect(save, &QAction::triggered, this, [this] { SaveMail(Source::Summary); });
  QAction* print = menu->addAction("&Print Summary...");
  print->setEnabled(output.CanPrint(Source::Summary));
  connect(print, &QAction::triggered, this, [this] { Print(Source::Summary); });
}

void CResultOutputActions::SaveMail(Source source) {
  if (source == Source::Records) {
    // Record text arriving meanwhile would be drawn half; the page repaints at the end.
    records.EnableRedraw(false);
  }
  output.SaveMailCommand(source);
  if (source == Source::Records) {
    records.EnableRedraw(true);
  }
  UpdateButtons();
}

void CResultOutputActions::Print(Source source) {
  bool enabled =
      source == Source::Records || source == Source::Summary ? output.CanPrint(source) : true;
  if (!enabled) {
    return;
  }
  CResultOutput& result = output.Output();
  result.BeginCommand();
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName("Tamsel");
  QPrintDialog dialog(&printer, window);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  if (dialog.exec() != QDialog::Accepted) {
    result.PrintCanceled();
    return;
  }
  int pages = 0;
  if (source == Source::Records) {
    QFont font = recordPage ? recordPage->Text()->font() : QApplication::font();
    pages = PrintRecords(printer, output, font);
    if (pages == 0) {
      result.PrinterNotAvailable();
      return;
    }
  } else {
    QPlainTextEdit* text = summaryPage ? summaryPage->SummaryText() : nullptr;
    QFont font = text ? text->font() : QApplication::font();
    int dpi = text ? text->logicalDpiY() : 96;
    pages = PrintSummaryWindow(printer, output, source, font, dpi);
    if (pages == 0) {
      // Nothing printed, and nothing to report: as the summary window always did.
      return;
    }
  }
  result.Printed(source);
}

int CResultOutputActions::PrintSummaryWindow(QPrinter& printer, const CDocOutput& output,
                                             Source source, const QFont& screenFont,
                                             int screenDpiY) {
  printer.setDocName("Tamsel");
  QPainter painter;
  if (!painter.begin(&printer)) {
    return 0;
  }
  QFont font = screenFont;
  int screenHeight = QFontMetrics(screenFont).height();
  font.setPixelSize(std::max(
      1, CPrintLayout::PrinterFontHeight(screenHeight, screenDpiY, printer.logicalDpiY())));
  painter.setFont(font);
  QFontMetrics metrics(font, &printer);
  std::vector<CPrintLayout::Page> pages = output.PrintPages(source, metrics.lineSpacing());
  for (std::size_t i = 0; i < pages.size(); ++i) {
    if (i > 0) {
      printer.newPage();
    }
    for (const CPrintLayout::Line& line : pages[i].lines) {
      // Lines are placed by their top; Qt draws at the baseline.
      painter.drawText(QPoint(line.x, line.y + metrics.ascent()), CQtUi::ToQString(line.text));
    }
  }
  painter.end();
  return static_cast<int>(pages.size());
}

int CResultOutputActions::PrintRecords(QPrinter& printer, const CDocOutput& output,
                                       const QFont& font) {
  printer.setDocName("Tamsel");
  QPainter painter;
  if (!painter.begin(&printer)) {
    return 0;
  }
  constexpr CPrintLayout::Rect rect = CPrintLayout::kRecordRect;
  int dpiX = printer.logicalDpiX();
  int dpiY = printer.logicalDpiY();
  QRectF area(CPrintLayout::TwipsToDevice(rect.left, dpiX),
              CPrintLayout::TwipsToDevice(rect.top, dpiY),
              CPrintLayout::TwipsToDevice(rect.right - rect.left, dpiX),
              CPrintLayout::TwipsToDevice(rect.bottom - rect.top, dpiY));
  QTextDocument document;
  document.documentLayout()->setPaintDevice(&printer);
  // A font sized in screen pixels would come out a few dots high on a
  // printer: print it at the point size it shows on the screen.
  QFont printFont = font;
  if (printFont.pointSizeF() <= 0 && printFont.pixelSize() > 0) {
    printFont.setPointSizeF(printFont.pixelSize() * 72.0 / 96.0);
  }
  document.setDefaultFont(printFont);
  document.setDocumentMargin(0);
  document.setPlainText(CQtUi::ToQString(output.RecordPrintText()));
  document.setPageSize(area.size());
  int pageCount = std::max(1, document.pageCount());
  for (int page = 0; page < pageCount; ++page) {
    if (page > 0) {
      printer.newPage();
    }
    painter.save();
    painter.translate(area.left(), area.top() - page * area.height());
    document.drawContents(&painter, QRectF(0, page * area.height(), area.width(), area.height()));
    painter.restore();
  }
  painter.end();
  return pageCount;
}

void CResultOutputActions::Sending(bool on) {
  if (on == blocking) {
    return;
  }
  blocking = on;
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    qApp->installEventFilter(this);
  } else {
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
  }
}

bool CResultOutputActions::eventFilter(QObject* watched, QEvent* event) {
  // Message boxes the send shows are windows of their own and keep their input.
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || window.isNull() || widget->window() != window->window()) {
    return QObject::eventFilter(watched, event);
  }
  switch (event->type()) {
    // The send waits in place with the event loop running: the user's
    // clicks and keys must not start a second command meanwhile.
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::Close:
      return true;
    default:
      return QObject::eventFilter(watched, event);
  }
}
