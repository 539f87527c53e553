#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>

#include "GuiTestRegistry.h"
#include "SearchSession.h"
#include "doc/CMainView.h"
#include "ui/CMainViewWidget.h"
#include "ui/CRecordPage.h"
#include "ui/CSearchFormPage.h"
#include "ui/CSummaryPage.h"
#include "ui/CTitleListView.h"

namespace {

QPoint TabCenter(const CTabView& tabs, int index) {
  CTabView::Rect r = tabs.TabRect(index);
  return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// Pixels of a tab's label area darker than mid grey.
int Ink(const QImage& image, const CTabView& tabs, int index) {
  CTabView::Rect r = tabs.TabRect(index);
  int ink = 0;
  for (int y = r.top + 3; y < r.bottom; ++y) {
    for (int x = r.left + 3; x < r.right - 3; ++x) {
      ink += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    }
  }
  return ink;
}

int Darkest(const QImage& image, const CTabView& tabs, int index) {
  CTabView::Rect r = tabs.TabRect(index);
  int darkest = 255;
  for (int y = r.top + 3; y < r.bottom; ++y) {
    for (int x = r.left + 3; x < r.right - 3; ++x) {
      darkest = std::min(darkest, qGray(image.pixel(x, y)));
    }
  }
  return darkest;
}

}  // namespace

class MainViewWidgetTest : public QObject {
  Q_OBJECT

 private slots:
  void AltLettersChooseTabsOrGoOnToTheMenuBar() {
    SearchSession s;
    QVERIFY(s.Open());
    QVERIFY(s.Activate());
    CMainView& tabs = s.doc->MainView();
    QMenu* probeB = s.f.window->menuBar()->addMenu("&Bprobe");
    QMenu* probeS = s.f.window->menuBar()->addMenu("&Sprobe");
    s.window->SearchPage()->RowControls(0).termBox->setFocus();
    QCOMPARE(tabs.Selected(), int(CMainView::PAGE_CRITERIA));

    s.Key(Qt::Key_R, Qt::AltModifier);
    QCOMPARE(tabs.Selected(), int(CMainView::PAGE_RECORD));
    QVERIFY(s.window->RecordPage()->isVisible());
    QVERIFY(!s.window->SearchPage()->isVisible());
    QCOMPARE(QApplication::focusWidget(), s.window->RecordPage()->Text());

    // The tab takes the letter before the menu bar could.
    s.Key(Qt::Key_S, Qt::AltModifier);
    QCOMPARE(tabs.Selected(), int(CMainView::PAGE_SUMMARY));
    QCOMPARE(QApplication::focusWidget(), s.window->SummaryPage()->TitleList());
    QTest::qWait(50);
    QVERIFY(!probeS->isVisible());

    // A disabled tab lets the key go on to the menu bar.
    QVERIFY(!tabs.Tabs()[CMainView::PAGE_BASIC].enabled);
    s.Key(Qt::Key_B, Qt::AltModifier);
    QCOMPARE(tabs.Selected(), int(CMainView::PAGE_SUMMARY));
    QTRY_VERIFY(probeB->isVisible());
    probeB->close();

    tabs.EnableTab(CMainView::PAGE_BASIC, true);
    s.window->SummaryPage()->TitleList()->setFocus();
    s.Key(Qt::Key_B, Qt::AltModifier);
    QCOMPARE(tabs.Selected(), int(CMainView::PAGE_BASIC));
    QVERIFY(s.window->BasicPage()->isVisible());
    QTest::qWait(50);
    QVERIFY(!probeB->isVisible());

    s.Key(Qt::Key_I, Qt::AltModifier);
    QCOMPARE(tabs.Selected(), int(CMainView::PAGE_CRITERIA));

    // On the search page its own "&Search" button has the letter first.
    s.driver.OnRequest(MSG_SEARCH, {{TestDriver::Packet(MSG_HIT_COUNT, "", 0, 0)}});
    QLineEdit* term = s.window->SearchPage()->RowControls(0).termBox;
    term->setFocus();
    QTest::keyClicks(term, "whale");
    s.Key(Qt::Key_S, Qt::AltModifier);
    QVERIFY(s.driver.WaitForRequests(2));
    QCOMPARE(s.RequestsOf(MSG_SEARCH).size(), size_t(1));
    QVERIFY(!probeS->isVisible());
  }

  void ClicksOnTheStripAndPageLayout() {
    SearchSession s;
    QVERIFY(s.Open());
    CMainView& tabs = s.doc->MainView();
    CMainViewWidget* view = s.window->View();

    QTest::mouseClick(view, Qt::LeftButton, {}, TabCenter(tabs, CMainView::PAGE_SUMMARY));
    QCOMPARE(tabs.Selected(), int(CMainView::PAGE_SUMMARY));
    QVERIFY(s.window->SummaryPage()->isVisible());
    QVERIFY(!s.window->SearchPage()->isVisible());

    // A disabled tab, the strip right of the last tab and the page area
    // choose nothing.
    QTest::mouseClick(view, Qt::LeftButton, {}, TabCenter(tabs, CMainView::PAGE_BASIC));
    CTabView::Rect last = tabs.TabRect(CMainView::PAGE_RECORD);
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(last.right + 5, last.top + 5));
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(4, 60));
    QCOMPARE(tabs.Selected(), int(CMainView::PAGE_SUMMARY));

    // The tab in front only gives its page the focus.
    QVERIFY(s.Activate());
    if (QApplication::focusWidget() != nullptr) {
      QApplication::focusWidget()->clearFocus();
    }
    QTest::mouseClick(view, Qt::LeftButton, {}, TabCenter(tabs, CMainView::PAGE_SUMMARY));
    QCOMPARE(tabs.Selected(), int(CMainView::PAGE_SUMMARY));
    QCOMPARE(QApplication::focusWidget(), s.window->SummaryPage()->TitleList());

    // Every page fills the view less 12 pixels each side, 31 at the top.
    s.child->resize(700, 500);
    QTRY_COMPARE(view->width(), s.window->width());
    QRect page(12, 31, view->width() - 24, view->height() - 43);
    for (int i = 0; i < 4; ++i) {
      QCOMPARE(view->Page(i)->geometry(), page);
    }

    // Closing the window leaves the document nothing to call.
    s.child->close();
    QTRY_VERIFY(s.f.Children().isEmpty());
  }

  void StripDrawing() {
    SearchSession s;
    QVERIFY(s.Open());
    CMainView& tabs = s.doc->MainView();
    CMainViewWidget* view = s.window->View();
    const QPalette& pal = view->palette();
    QRgb face = pal.color(QPalette::Button).rgb();
    QRgb shadow = pal.color(QPalette::Dark).rgb();
    auto mid = [&](int i) { return (tabs.TabRect(i).left + tabs.TabRect(i).right) / 2; };
    const int top = CTabView::kMargin + CTabView::kTabHeight;

    QImage before = view->grab().toImage();
    // The tab in front is 2 pixels taller and open towards its page.
    QCOMPARE(before.pixel(mid(0), CTabView::kMargin), shadow);
    QCOMPARE(before.pixel(mid(0), top), face);
    QCOMPARE(before.pixel(mid(2), CTabView::kMargin), face);
    QCOMPARE(before.pixel(mid(2), CTabView::kMargin + 2), shadow);
    QCOMPARE(before.pixel(mid(2), top), shadow);
    // The disabled label is grey, the others are button text.
    QVERIFY2(
        Darkest(before, tabs, CMainView::PAGE_BASIC) > Darkest(before, tabs, 2) + 60,
        qPrintable(QString("%1 %2").arg(Darkest(before, tabs, 1)).arg(Darkest(before, tabs, 2))));

    // The selected label is bold: more ink for the same text.
    tabs.SelectPage(CMainView::PAGE_SUMMARY);
    QImage after = view->grab().toImage();
    QVERIFY(Ink(after, tabs, 2) > Ink(before, tabs, 2));
    QVERIFY(Ink(after, tabs, 0) < Ink(before, tabs, 0));
    QCOMPARE(after.pixel(mid(2), top), face);
    QCOMPARE(after.pixel(mid(0), top), shadow);
  }
};

static GuiTestRegistry::Add<MainViewWidgetTest> registerMainViewWidgetTest;

#include "MainViewWidgetTest.moc"
