#include <QScrollBar>
#include <QTest>

#include "GuiTestRegistry.h"
#include "ManualEventLoop.h"
#include "PaintRecorder.h"
#include "TempDir.h"
#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "doc/CTmsfrmDoc.h"
#include "ui/CDisplayText.h"
#include "ui/CSummaryPage.h"
#include "ui/CTitleListModel.h"
#include "ui/CTitleListView.h"

namespace {

// Records what the text widget would do with each insertion.
struct Mirror {
  CDisplayText map;
  std::string bytes;
  QString shown;

  void Insert(std::size_t at, const std::string& piece) {
    bytes.insert(at, piece);
    CDisplayText::Insertion insertion = map.Insert(bytes, at, piece.size());
    shown.insert(insertion.position, insertion.text);
  }
};

// Counts the indexes the view asks for: a view that lays every row out
// again after an insertion asks once per row.
class IndexCountingModel : public CTitleListModel {
 public:
  using CTitleListModel::CTitleListModel;
  QModelIndex index(int row, int column = 0,
                    const QModelIndex& parent = QModelIndex()) const override {
    ++indexAsked;
    return CTitleListModel::index(row, column, parent);
  }
  mutable int indexAsked = 0;
};

// The summary page of a document of its own, its list over a model the
// test feeds, shown at 500 by 400.
struct ListPage {
  TempDir dir;
  CAppState app;
  CSettingsStore settings{dir.File("Tamsel.conf")};
  FakeUi ui;
  ManualEventLoop loop;
  CTmsfrmDoc doc{app, settings, ui, loop};
  CSummaryPage page{doc.Summary()};
  CTitleListView& list = *page.TitleList();

  bool Show(CTitleListModel& model) {
    list.setModel(&model);
    page.resize(500, 400);
    page.show();
    return QTest::qWaitForWindowExposed(&page);
  }
};

}  // namespace

class DisplayTextTest : public QObject {
  Q_OBJECT

 private slots:
  void PiecesKeepTheirOwnEncoding() {
    Mirror m;
    m.Insert(0, "caf\xe9\r\n");                                               // Latin-1
    m.Insert(m.bytes.size(), "na\xc3\xafve \xe2\x82\xac \xf0\x9f\x98\x80!");  // UTF-8
    m.Insert(m.bytes.size(), "\xef\xbb\xbfhi");  // UTF-8 with a byte order mark
    QString expected =
        QString::fromUtf8("caf\xc3\xa9\nna\xc3\xafve \xe2\x82\xac \xf0\x9f\x98\x80!hi");
    QCOMPARE(m.shown, expected);
    QCOMPARE(m.map.Length(), expected.size());

    // Byte offsets to positions and back, across the pieces.
    std::size_t bang = m.bytes.find('!');
    QCOMPARE(m.map.ToPosition(m.bytes, bang), expected.indexOf('!'));
    QCOMPARE(m.map.ToOffset(m.bytes, expected.indexOf('!')), bang);
    std::size_t euro = m.bytes.find("\xe2\x82\xac");
    QCOMPARE(m.map.ToPosition(m.bytes, euro), expected.indexOf(QChar(0x20AC)));
    QCOMPARE(m.map.ToOffset(m.bytes, expected.indexOf(QChar(0x20AC)) + 1), euro + 3);
    // CR LF is one line break: both of its bytes map to it.
    QCOMPARE(m.map.ToPosition(m.bytes, 4), 4);
    QCOMPARE(m.map.ToPosition(m.bytes, 6), 5);
    QCOMPARE(m.map.ToOffset(m.bytes, 5), std::size_t(6));
    // The dropped mark takes no place.
    QCOMPARE(m.map.ToPosition(m.bytes, m.bytes.find("hi")), expected.indexOf("hi"));
    QCOMPARE(m.map.ToPosition(m.bytes, m.bytes.size()), expected.size());
    QCOMPARE(m.map.ToOffset(m.bytes, expected.size()), m.bytes.size());

    // Every character boundary goes there and back.
    for (int p = 0; p <= expected.size(); ++p) {
      if (p > 0 && expected.at(p - 1).isHighSurrogate()) {
        continue;
      }
      QCOMPARE(m.map.ToPosition(m.bytes, m.map.ToOffset(m.bytes, p)), p);
    }
  }

  void InsertionsBeforeTheEnd() {
    // Records go in before the line feeds that end the window.
    Mirror m;
    m.Insert(0, "R\xc3\xa9one");
    m.Insert(m.bytes.size(), "\n\n");
    m.Insert(6, "two\xff");
    m.Insert(m.bytes.size(), "\n\n");
    QCOMPARE(m.shown, QString::fromUtf8("R\xc3\xa9onetwo\xc3\xbf\n\n\n\n"));
    QCOMPARE(m.map.ToPosition(m.bytes, 6), 5);
    QCOMPARE(m.map.ToOffset(m.bytes, 9), std::size_t(10));

    // Inside a piece: the piece is split where the text goes in.
    m.Insert(3, "\xc3\xa0");
    QCOMPARE(m.shown, QString::fromUtf8("R\xc3\xa9\xc3\xa0onetwo\xc3\xbf\n\n\n\n"));
    QCOMPARE(m.map.ToPosition(m.bytes, m.bytes.find("one")), 3);
    QCOMPARE(m.map.ToOffset(m.bytes, 3), m.bytes.find("one"));

    m.map.Clear();
    QCOMPARE(m.map.Length(), 0);
    QCOMPARE(m.map.ToPosition(m.bytes, 5), 0);
  }

  void FiftyThousandTitlesWithoutPerRowLayout() {
    // The summary page's own list, over a longer source than a search gives.
    ListPage p;
    std::vector<std::string> titles;
    IndexCountingModel model(titles);
    CTitleListView& list = p.list;
    QVERIFY(p.Show(model));
    const int count = 50000;
    for (int n = 1; n <= count; ++n) {
      titles.push_back(std::to_string(n) + "   a title");
      model.TitleAdded(static_cast<int>(titles.size()) - 1);
      if (n % 5000 == 0) {
        // A chunk per redraw: the view lays out when the program goes back
        // to the loop. Only the new rows and those on screen are looked at,
        // however long the list already is.
        QCOMPARE(model.Waiting(), 5000);
        model.indexAsked = 0;
        model.ShowArrived();
        QCoreApplication::processEvents();
        QVERIFY2(model.indexAsked < 1000, qPrintable(QString::number(model.indexAsked)));
      }
    }
    QCoreApplication::processEvents();
    QCOMPARE(model.rowCount(), count);
    QCOMPARE(model.index(count - 1).data().toString(), QString("50000   a title"));
    list.scrollToBottom();
    QCoreApplication::processEvents();
    // The last row is in view (the rows are wider than the list: only the
    // vertical position counts).
    QRect last = list.visualRect(model.index(count - 1));
    QVERIFY(last.top() >= 0 && last.bottom() <= list.viewport()->rect().bottom());
    QCOMPARE(list.verticalScrollBar()->maximum() > 0, true);

    // Keys move as in a list: Home and End go to its ends, Tab is not a move.
    QTest::keyClick(&list, Qt::Key_Home);
    QCOMPARE(list.currentIndex().row(), 0);
    QTest::keyClick(&list, Qt::Key_Tab);
    QCOMPARE(list.currentIndex().row(), 0);
    QTest::keyClick(&list, Qt::Key_End);
    QCOMPARE(list.currentIndex().row(), count - 1);

    titles.clear();
    model.Cleared();
    QCOMPARE(model.rowCount(), 0);
  }

  // Lines appended in sight are drawn, those above them are not drawn again;
  // emptying the list draws all of it.
  void AppendedLinesDrawOnlyThemselves() {
    ListPage p;
    std::vector<std::string> titles;
    CTitleListModel model(titles);
    CTitleListView& list = p.list;
    QVERIFY(p.Show(model));
    auto add = [&](int count) {
      for (int i = 0; i < count; ++i) {
        titles.push_back(std::to_string(titles.size() + 1) + "   a title");
        model.TitleAdded(static_cast<int>(titles.size()) - 1);
      }
      model.ShowArrived();
    };
    add(3);
    QTest::qWait(50);
    PaintRecorder recorder;
    QRegion& painted = recorder.painted;
    list.viewport()->installEventFilter(&recorder);
    add(2);
    QTRY_VERIFY(painted.intersects(list.visualRect(model.index(4))));
    QVERIFY(painted.intersects(list.visualRect(model.index(3))));
    QVERIFY(!painted.intersects(list.visualRect(model.index(2))));

    titles.clear();
    model.Cleared();
    painted = QRegion();
    add(8);
    QTRY_VERIFY(painted.contains(list.viewport()->rect()));

    // Once the scroll bar is there, appending sets its range as a whole
    // layout would, in a narrow list and in one wider than its lines.
    for (int width : {500, 1200}) {
      p.page.resize(width, 400);
      for (int chunk = 0; chunk < 4; ++chunk) {
        add(37);
        QCoreApplication::processEvents();
      }
      QScrollBar* bar = list.verticalScrollBar();
      std::pair<int, int> appended(bar->maximum(), bar->pageStep());
      QVERIFY(appended.first > 0);
      list.QTableView::doItemsLayout();
      QCOMPARE(appended, std::make_pair(bar->maximum(), bar->pageStep()));
    }
  }
};

static GuiTestRegistry::Add<DisplayTextTest> registerDisplayTextTest;

#include "DisplayTextTest.moc"
