// The List Browser's view over a windowed list: the scroll bar maps the whole
// list, keys in the text box move it, selections stay highlighted when the
// window moves, Enter is OK and Esc Cancel.

#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <cstdlib>

#include "../unit/search/BrowseFakeDriver.h"
#include "FakeUi.h"
#include "GuiTestRegistry.h"
#include "ManualEventLoop.h"
#include "search/CListBrowserDlg.h"
#include "ui/CBrowseListWidget.h"
#include "ui/CListBrowserDlgView.h"

namespace {

struct Browser {
  ManualEventLoop loop;
  FakeUi ui;
  BrowseFakeDriver driver;
  CListBrowserDlg model;
  std::unique_ptr<CListBrowserDlgView> view;

  explicit Browser(int total) : model(driver, loop, ui, "Maintainer words") {
    driver.total = total;
    driver.list = &model.List();
    model.OnInit();
    view = std::make_unique<CListBrowserDlgView>(model, nullptr);
    view->resize(520, 420);
    view->show();
    QCoreApplication::processEvents();
  }
  CBrowseList& List() { return model.List(); }
  QScrollBar* Bar() { return view->ListWidget()->verticalScrollBar(); }
  void Key(int key) { QTest::keyClick(view->TextBox(), static_cast<Qt::Key>(key)); }
  void DropThumb(int position) {
    Bar()->setSliderDown(true);
    Bar()->setSliderPosition(position);
    Bar()->setSliderDown(false);
  }
};

class BrowseViewsTest : public QObject {
  Q_OBJECT

 private slots:
  void millionEntriesScrollEndToEndWithThumbAndKeys() {
    Browser b(1000000);
    CBrowseList& list = b.List();
    QVERIFY(list.VisibleCount() > 10);  // measured from the view, not the default
    QCOMPARE(b.Bar()->maximum(), list.ScrollRange() - 1);
    QCOMPARE(list.ScrollScale(), 32);  // 1000000 / 32000, plus 1 above 20

    b.DropThumb(b.Bar()->maximum());
    QCOMPARE(list.Top() + list.VisibleEntries() >= 1000000 - 1 - list.VisibleEntries(), true);
    QCOMPARE(b.Bar()->value(), list.ScrollPosition());
    b.DropThumb(16000);
    QCOMPARE(list.Top(), 16000 * 32);
    b.Key(Qt::Key_End);
    QCOMPARE(list.First() + list.Count(), 1000000);
    b.Key(Qt::Key_PageUp);
    b.Key(Qt::Key_Home);
    QCOMPARE(list.First(), 0);
    QCOMPARE(list.Top(), 0);
    b.Key(Qt::Key_Down);
    b.Key(Qt::Key_Down);
    QCOMPARE(list.Current(), 1);
    QVERIFY(b.driver.mostHeld <= list.WindowSize());
    if (const char* dir = std::getenv("TAMSEL_SHOT_DIR")) {
      b.view->grab().save(QString(dir) + "/list-browser-million.png");
    }
  }

  void selectionStaysHighlightedAfterTheWindowMoves() {
    Browser b(5000);
    CBrowseListWidget* widget = b.view->ListWidget();
    int y = widget->EntryHeight() / 2;
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, y));
    QVERIFY(b.List().IsSelected(0));
    b.Key(Qt::Key_End);
    b.Key(Qt::Key_Home);
    QImage image = widget->viewport()->grab().toImage();
    QColor highlight = widget->palette().color(QPalette::Highlight);
    QCOMPARE(image.pixelColor(2, y).rgb(), highlight.rgb());
    QVERIFY(image.pixelColor(2, y + widget->EntryHeight()).rgb() != highlight.rgb());
  }

  void enterIsOkWithThePickAndEscapeIsCancel() {
    Browser ok(5000);
    ok.view->TextBox()->setText("h0000042");
    emit ok.view->TextBox()->textEdited("h0000042");
    ok.loop.Advance(CBrowseList::kJumpDelayMs);
    QVERIFY(ok.List().IsSelected(42));
    QTest::keyClick(ok.view->TextBox(), Qt::Key_Return);
    QCOMPARE(ok.view->result(), int(QDialog::Accepted));
    QCOMPARE(ok.model.Result(), std::string("h0000042"));

    Browser cancel(5000);
    QTest::keyClick(cancel.view->TextBox(), Qt::Key_Escape);
    QCOMPARE(cancel.view->result(), int(QDialog::Rejected));
    QVERIFY(cancel.view->isHidden());
  }
};

GuiTestRegistry::Add<BrowseViewsTest> registered;

}  // namespace

#include "BrowseViewsTest.moc"
