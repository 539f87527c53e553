#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <iterator>

#include "GuiTestRegistry.h"
#include "ModalWindow.h"
#include "PaintRecorder.h"
#include "SearchSession.h"
#include "app/CommandIds.h"
#include "doc/CMainView.h"
#include "driver/CBusyDialog.h"
#include "driver/CListSummary.h"
#include "ui/CBusyWindow.h"
#include "ui/CListBrowserDlgView.h"
#include "ui/CMainViewWidget.h"
#include "ui/CRecordPage.h"
#include "ui/CSaveMailDlgView.h"
#include "ui/CSearchFormPage.h"
#include "ui/CSummaryPage.h"
#include "ui/CTitleListModel.h"
#include "ui/CTitleListView.h"

namespace {

QString AccessibleName(QWidget* widget) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
  return face != nullptr ? face->text(QAccessible::Name) : QString();
}

// Visible controls of `page` that stick out of its frame or have no name a
// screen reader could read; empty when all is well.
QStringList Faults(QWidget* page) {
  QStringList faults;
  QRect inside = page->rect();
  for (QWidget* w : page->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(page) || (w->focusPolicy() & Qt::TabFocus) == 0) {
      continue;
    }
    QRect at(w->mapTo(page, QPoint(0, 0)), w->size());
    QString name = w->metaObject()->className() + QString(" ") + AccessibleName(w);
    if (!inside.contains(at)) {
      faults << name + " clipped";
    }
    if (AccessibleName(w).trimmed().isEmpty()) {
      faults << name + " unnamed";
    }
  }
  return faults;
}

}  // namespace

class KeyboardAndLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  // Search, titles, summary and full record with nothing but keys, each
  // sent where the keyboard focus is.
  void SearchToFullRecordByKeysOnly() {
    SearchSession s;
    s.titleLines = "list_name = Words\n";
    QVERIFY(s.Open());
    QVERIFY(s.Activate());
    CSearchFormPage* form = s.window->SearchPage();
    // Connected: typing goes to the first term box without a Tab first.
    QTRY_COMPARE_WITH_TIMEOUT(s.f.window->focusWidget(),
                              static_cast<QWidget*>(form->RowControls(0).termBox), 5000);

    // Ctrl+T browses the row's list; Down and Enter pick the second heading.
    s.driver.OnRequest(MSG_BROWSE, {{TestDriver::Packet(MSG_BROWSE_REPLY,
                                                        Z("3\x1e"
                                                          "2\x1e"
                                                          "1\x1e"
                                                          "Heading\x1e"
                                                          "0\x1e"
                                                          "2\x1e"
                                                          "01110\x1e"
                                                          "Records\x1e"
                                                          "7\x1e"
                                                          "1\x1e"
                                                          "00110\x1e"),
                                                        1, 0)}});
    s.driver.Always(MSG_BROWSE, {{TestDriver::Packet(MSG_BROWSE_REPLY,
                                                     Z("alpha\x1e"
                                                       "5\x1e"
                                                       "beta\x1e"
                                                       "3\x1e"
                                                       "gamma\x1e"
                                                       "1\x1e"),
                                                     2, 0)}});
    WhenModal<CListBrowserDlgView>([](CListBrowserDlgView* browser) {
      QWidget* focus = browser->focusWidget() != nullptr ? browser->focusWidget() : browser;
      QTest::keyClick(focus, Qt::Key_Down);
      QTest::keyClick(focus, Qt::Key_Down);
      QTest::keyClick(focus, Qt::Key_Return);
    });
    s.Key(Qt::Key_T, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(form->RowControls(0).termBox->text(), QString("beta"), 10000);
    QVERIFY(s.Activate());
    QTRY_COMPARE_WITH_TIMEOUT(s.f.window->focusWidget(),
                              static_cast<QWidget*>(form->RowControls(0).termBox), 5000);
    s.Key(Qt::Key_A, Qt::ControlModifier);

    s.ScriptSearch(3, 3);
    QTest::keyClicks(s.f.window->focusWidget(), "whale");
    QCOMPARE(s.doc->Form().rowTerms[0], std::string("whale"));
    s.Key(Qt::Key_Return);
    CSummaryPage* summary = s.window->SummaryPage();
    QTRY_COMPARE_WITH_TIMEOUT(summary->TitleModel()->rowCount(), 3, 10000);
    QVERIFY(s.WaitIdle());
    QCOMPARE(s.doc->MainView().Selected(), int(CMainView::PAGE_SUMMARY));
    QCOMPARE(s.f.window->focusWidget(), static_cast<QWidget*>(summary->TitleList()));

    // Down to the second title: its summary comes.
    s.driver.OnRequest(MSG_GET_RECORD, {{TestDriver::Packet(MSG_RECORD, Z("Two\n\nabc"), 2)}});
    s.Key(Qt::Key_Down);
    s.Key(Qt::Key_Down);
    QCOMPARE(s.doc->Summary().Selection(), std::vector<int>({1}));
    QTRY_COMPARE_WITH_TIMEOUT(summary->SummaryText()->toPlainText(), QString("Two\nabc\n\n\n"),
                              10000);
    // Ctrl+S offers the summary for saving.
    bool offered = false;
    WhenModal<CSaveMailDlgView>([&offered](CSaveMailDlgView* dialog) {
      offered = true;
      QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key_Escape);
    });
    s.Key(Qt::Key_S, Qt::ControlModifier);
    QTRY_VERIFY_WITH_TIMEOUT(offered, 5000);
    QVERIFY(s.Activate());

    // Tab reaches Retrieve Full; Space presses it.
    for (int tabs = 0; tabs < 8 && s.f.window->focusWidget() != summary->RetrieveFullButton();
         ++tabs) {
      s.Key(Qt::Key_Tab);
    }
    QCOMPARE(s.f.window->focusWidget(), static_cast<QWidget*>(summary->RetrieveFullButton()));
    s.driver.OnRequest(MSG_GET_RECORD,
                       {{TestDriver::Packet(MSG_RECORD, Z("TI: Two\r\nAU: B"), 2)}});
    s.Key(Qt::Key_Space);
    CRecordPage* record = s.window->RecordPage();
    QTRY_VERIFY_WITH_TIMEOUT(record->Text()->toPlainText().contains("AU: B"), 10000);
    QCOMPARE(s.doc->MainView().Selected(), int(CMainView::PAGE_RECORD));
    QCOMPARE(s.f.window->focusWidget(), static_cast<QWidget*>(record->Text()));
    QCOMPARE(Faults(record), QStringList());
    QVERIFY(record->Text()->height() > record->height() / 2);

    // Ctrl+S saves the record: Enter takes "Save to File", the file name is
    // typed into the file chooser.
    std::string path = s.f.dir.File("record.txt");
    // Keys go where the dialog's own focus is.
    auto focusOf = [](QWidget* dialog) {
      return dialog->focusWidget() != nullptr ? dialog->focusWidget() : dialog;
    };
    WhenModal<CSaveMailDlgView>(
        [focusOf](CSaveMailDlgView* dialog) { QTest::keyClick(focusOf(dialog), Qt::Key_Return); });
    WhenModal<QFileDialog>([path, focusOf](QFileDialog* dialog) {
      QWidget* name = focusOf(dialog);
      QVERIFY(qobject_cast<QLineEdit*>(name) != nullptr);
      QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(name, QString::fromStdString(path));
      // The first Return may only take the name completion's suggestion.
      for (int presses = 0; presses < 2 && dialog->isVisible(); ++presses) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : name,
                        Qt::Key_Return);
      }
    });
    s.Key(Qt::Key_S, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(s.f.app.StatusMessage(), std::string("Result saved"), 10000);
    std::ifstream saved(path);
    std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    QVERIFY2(text.find("AU: B") != std::string::npos, text.c_str());
  }

  // Escape where the user types cancels what the busy window shows; the
  // busy window itself does not take the keyboard away.
  void EscapeCancelsTheBusyWindow() {
    SearchSession s;
    QVERIFY(s.Open());
    QVERIFY(s.Activate());
    CSearchFormPage* form = s.window->SearchPage();
    form->RowControls(0).termBox->setFocus();
    QTest::keyClicks(form->RowControls(0).termBox, "whale");
    // The driver never answers the search.
    s.Key(Qt::Key_Return);
    CBusyDialog& busy = s.doc->Link().Busy();
    QTRY_VERIFY_WITH_TIMEOUT(busy.IsShown(), 5000);
    QVERIFY(s.Activate());
    s.Key(Qt::Key_Escape);
    QVERIFY(!busy.IsShown());
    QVERIFY(s.doc->LinkStateValue() != LINK_SEARCHING);
    // With nothing to cancel, Escape is the control's own again.
    s.Key(Qt::Key_Escape);
    QVERIFY(!busy.IsShown());
  }

  // The only document fills the frame; at the frame's smallest usual size
  // nothing sticks out of a page and every control has a name, and the
  // lists and texts grow with the window.
  void PagesFitAndGrow() {
    SearchSession s;
    QVERIFY(s.Open());
    QVERIFY(s.child->isMaximized());
    s.f.window->resize(740, 550);
    // Maximised, the child follows the frame's work area.
    QVERIFY(QTest::qWaitFor([&] { return s.child->width() <= 740 && s.child->height() < 550; }));
    CSearchFormPage* form = s.window->SearchPage();
    // On Linux Qt reads a combo box's current text as its name; the name
    // we give reaches screen readers through the widget's accessible name.
    QCOMPARE(form->RowControls(0).fieldList->accessibleName(), QString("Row 1 field"));
    QCOMPARE(AccessibleName(form->RowControls(0).termBox), QString("Row 1 term"));
    // Row 2 is a year range: its To button is the widest row.
    QVERIFY(form->RowControls(1).toButton->isVisible());
    QCOMPARE(Faults(form), QStringList());

    QVERIFY(Search(s));
    CSummaryPage* summary = s.window->SummaryPage();
    QCOMPARE(Faults(summary), QStringList());
    CTitleListView* list = summary->TitleList();
    int rowHeight = list->visualRect(summary->TitleModel()->index(0)).height();
    QVERIFY2(list->viewport()->height() / rowHeight >= 8,
             qPrintable(QString::number(list->viewport()->height())));
    int listHeight = list->height();
    int textHeight = summary->SummaryText()->height();

    s.f.window->resize(1000, 760);
    QVERIFY(QTest::qWaitFor([&] { return list->height() > listHeight; }));
    QVERIFY(summary->SummaryText()->height() > textHeight);
    QCOMPARE(Faults(summary), QStringList());
  }

  // With a dark palette every page is dark: no control keeps a light colour
  // of its own. TAMSEL_SHOTS=DIR keeps the pictures for a look.
  void DarkPaletteReachesEveryPage() {
    QPalette saved = QApplication::palette();
    QPalette dark;
    for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base, QPalette::AlternateBase,
                      QPalette::ToolTipBase}) {
      dark.setColor(role, QColor(40, 40, 44));
    }
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text,
                      QPalette::ToolTipText, QPalette::BrightText}) {
      dark.setColor(role, QColor(225, 225, 225));
    }
    dark.setColor(QPalette::Light, QColor(80, 80, 86));
    dark.setColor(QPalette::Midlight, QColor(60, 60, 66));
    dark.setColor(QPalette::Mid, QColor(30, 30, 33));
    dark.setColor(QPalette::Dark, QColor(20, 20, 22));
    dark.setColor(QPalette::Shadow, QColor(0, 0, 0));
    dark.setColor(QPalette::Highlight, QColor(60, 110, 200));
    dark.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
    QApplication::setPalette(dark);
    {
      SearchSession s;
      QVERIFY(s.Open());
      QVERIFY(Search(s));
      QByteArray shots = qgetenv("TAMSEL_SHOTS");
      for (int page : {int(CMainView::PAGE_CRITERIA), int(CMainView::PAGE_SUMMARY),
                       int(CMainView::PAGE_RECORD)}) {
        s.doc->MainView().SelectPage(page);
        QTest::qWait(50);
        QImage image = s.f.window->grab().toImage();
        if (!shots.isEmpty()) {
          image.save(QString::fromLocal8Bit(shots) + QString("/dark-page-%1.png").arg(page));
        }
        int light = 0;
        for (int y = 0; y < image.height(); ++y) {
          for (int x = 0; x < image.width(); ++x) {
            QColor c = image.pixelColor(x, y);
            light += c.red() > 200 && c.green() > 200 && c.blue() > 200 ? 1 : 0;
          }
        }
        // Text is light; a light area would be far more.
        double share = double(light) / (image.width() * image.height());
        QVERIFY2(share < 0.05, qPrintable(QString("page %1: %2 light").arg(page).arg(share)));
      }
    }
    QApplication::setPalette(saved);
  }

  // Batches that follow each other quickly are drawn a few times a second;
  // the window is never left without drawing.
  void QuickBatchesAreDrawnAtAPace() {
    SearchSession s;
    QVERIFY(s.Open());
    QVERIFY(Search(s));
    CSummaryPage* summary = s.window->SummaryPage();
    QWidget* rows = summary->TitleList()->viewport();
    QVERIFY(QTest::qWaitFor([&] { return rows->isVisible(); }));
    EventCounter paints(QEvent::Paint);
    rows->installEventFilter(&paints);
    summary->Refresh();
    summary->Refresh();
    rows->update();
    QCoreApplication::processEvents();
    QCOMPARE(paints.count, 0);
    QCOMPARE(summary->TitleModel()->rowCount(), 30);  // the rows are in already
    // Only what changed is drawn when the hold ends, and it is drawn.
    QTRY_VERIFY_WITH_TIMEOUT(paints.count > 0, 1000);

    // A page that goes while drawing is held gives its window back.
    QWidget host;
    host.resize(300, 200);
    auto* page = new CSummaryPage(s.doc->Summary(), &host);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    EventCounter hostPaints(QEvent::Paint);
    host.installEventFilter(&hostPaints);
    page->Refresh();
    host.update();
    QCoreApplication::processEvents();
    QCOMPARE(hostPaints.count, 0);
    delete page;
    QTRY_VERIFY_WITH_TIMEOUT(hostPaints.count > 0, 1000);
  }

  // Each batch changes the counter and the status line; as long as the new
  // texts fit, nothing is laid out again for them. The lines in sight stay
  // as they are drawn while the new ones arrive below them.
  void BatchesLeaveTheLayoutAndTheLinesInSightAlone() {
    SearchSession s;
    QVERIFY(s.Open());
    QVERIFY(Search(s, 200, 150));
    CSummaryPage* summary = s.window->SummaryPage();
    QWidget* lines = summary->TitleList()->viewport();
    QRect firstLine = summary->TitleList()->visualRect(summary->TitleModel()->index(0));
    QVERIFY(firstLine.bottom() < lines->height());
    LayoutCounter layouts;
    PaintRecorder linePaints;
    EventCounter counterPaints(QEvent::Paint);
    summary->Counter()->installEventFilter(&counterPaints);
    for (int rows = 60; rows <= 150; rows += 30) {
      if (rows == 90) {
        qApp->installEventFilter(&layouts);  // the first batch may settle sizes
        QTest::qWait(100);                   // and its drawing be done
        lines->installEventFilter(&linePaints);
        counterPaints.count = 0;
      }
      summary->MoreButton()->click();
      QVERIFY(QTest::qWaitFor(
          [&] {
            return summary->TitleModel()->rowCount() == rows &&
                   s.doc->LinkStateValue() == LINK_IDLE;
          },
          10000));
      QCoreApplication::processEvents();
    }
    qApp->removeEventFilter(&layouts);
    QCOMPARE(summary->Counter()->title(), QString(" 150 of 200"));
    QCOMPARE(layouts.requests, 0);
    // The window was drawn meanwhile, but not the first line.
    QTRY_VERIFY_WITH_TIMEOUT(counterPaints.count > 0, 1000);
    QTest::qWait(100);
    QVERIFY(!linePaints.painted.intersects(firstLine));
  }

  // The busy picture is drawn in the palette's colours.
  void BusyPictureFollowsThePalette() {
    QPalette dark;
    dark.setColor(QPalette::Mid, QColor(60, 60, 60));
    dark.setColor(QPalette::Highlight, QColor(255, 200, 0));
    QImage image(CBusyWindow::kAnimationSize, CBusyWindow::kAnimationSize, QImage::Format_ARGB32);
    image.fill(Qt::black);
    {
      QPainter painter(&image);
      CBusyWindow::DrawFrame(painter, image.rect(), 0, dark);
    }
    bool highlight = false;
    bool mid = false;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        QColor c = image.pixelColor(x, y);
        highlight = highlight || (c.red() == 255 && c.green() == 200 && c.blue() == 0);
        mid = mid || (c.red() == 60 && c.green() == 60 && c.blue() == 60);
      }
    }
    QVERIFY(highlight && mid);
  }

 private:
  // Counts the events of one type that reach the widgets it watches.
  class EventCounter : public QObject {
   public:
    explicit EventCounter(QEvent::Type type) : type(type) {}
    int count = 0;

   protected:
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == type) {
        ++count;
      }
      return false;
    }

   private:
    QEvent::Type type;
  };

  // Counts the requests to lay widgets out again.
  class LayoutCounter : public QObject {
   public:
    int requests = 0;

   protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::LayoutRequest && watched->isWidgetType()) {
        ++requests;
      }
      return false;
    }
  };

  static bool Search(SearchSession& s, int count = 40, int titles = 30) {
    s.ScriptSearch(count, titles);
    CSearchFormPage* form = s.window->SearchPage();
    form->RowControls(0).termBox->setText("whale");
    s.doc->Form().SetTerm(0, "whale");
    form->SearchButton()->click();
    return QTest::qWaitFor(
        [&] {
          return s.window->SummaryPage()->TitleModel()->rowCount() == 30 &&
                 s.doc->LinkStateValue() == LINK_IDLE;
        },
        10000);
  }
};

static GuiTestRegistry::Add<KeyboardAndLayoutTest> registerKeyboardAndLayoutTest;

#include "KeyboardAndLayoutTest.moc"
