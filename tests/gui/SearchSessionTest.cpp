#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "GuiTestRegistry.h"
#include "ModalWindow.h"
#include "SearchSession.h"
#include "doc/CMainView.h"
#include "driver/CListSummary.h"
#include "output/CAbstract.h"
#include "search/CSearchForm.h"
#include "ui/CDateSelectionDlgView.h"
#include "ui/CInfoRequestDlgView.h"
#include "ui/CRecordPage.h"
#include "ui/CSearchFormPage.h"
#include "ui/CSummaryPage.h"
#include "ui/CTitleListModel.h"
#include "ui/CTitleListView.h"

namespace {

QString Row(CSummaryPage* page, int row) {
  return page->TitleModel()->index(row).data().toString();
}

QPoint RowCenter(CSummaryPage* page, int row) {
  return page->TitleList()->visualRect(page->TitleModel()->index(row)).center();
}

// Runs a search for "whale" with the driver's answers scripted.
bool Search(SearchSession& s, int count) {
  s.ScriptSearch(count, count);
  CSearchFormPage* page = s.window->SearchPage();
  QLineEdit* term = page->RowControls(0).termBox;
  term->setFocus();
  QTest::keyClicks(term, "whale");
  page->SearchButton()->click();
  return QTest::qWaitFor(
      [&] {
        return s.window->SummaryPage()->TitleModel()->rowCount() == std::min(count, 30) &&
               s.doc->LinkStateValue() == LINK_IDLE;
      },
      10000);
}

}  // namespace

class SearchSessionTest : public QObject {
  Q_OBJECT

 private slots:
  void CriteriaDatesSearchAndTitles() {
    SearchSession s;
    QVERIFY(s.Open());
    QVERIFY(s.Activate());
    CSearchFormPage* page = s.window->SearchPage();
    const auto& row0 = page->RowControls(0);
    const auto& row1 = page->RowControls(1);
    QCOMPARE(page->StatusLine()->text(), QString("Connected to Catalogue Database"));
    QCOMPARE(row0.fieldList->count(), 3);
    QCOMPARE(row0.fieldList->currentText(), QString("Title"));
    QVERIFY(row0.termBox->isVisible());
    QCOMPARE(row1.fieldList->currentText(), QString("Year"));
    QVERIFY(!row1.termBox->isVisible());
    QVERIFY(row1.fromButton->isVisible() && row1.toButton->isVisible());
    QCOMPARE(row1.fromButton->text(), QString("Oldest"));
    QCOMPARE(row1.toButton->text(), QString("Newest"));
    // Two default rows: the others are hidden.
    QVERIFY(!page->RowControls(2).fieldList->isVisible());
    QVERIFY(!page->RowControls(2).termBox->isVisible());
    QVERIFY(page->LimitBox(0)->isVisible());
    QCOMPARE(page->LimitBox(0)->text(), QString("English"));
    QVERIFY(!page->LimitBox(1)->isVisible());
    QVERIFY(page->SearchButton()->isEnabled());
    // The term box reaches 20 pixels short of the page's right edge; the
    // limit boxes stand under the last row's field list.
    QCOMPARE(row0.termBox->geometry().right(), page->contentsRect().right() - 20);
    QCOMPARE(page->LimitBox(0)->x(), page->RowControls(5).fieldList->x() - 3);
    QCOMPARE(page->LimitBox(0)->y(), page->RowControls(5).fieldList->geometry().bottom() + 3);
    {
      // A longer caption widens its box, and a box shown later stands
      // beside it.
      CSearchForm& form = s.doc->Form();
      auto captions = form.limitCaptions;
      auto shown = form.limitShown;
      int width = page->LimitBox(0)->width();
      form.limitCaptions[0] = "English and Welsh";
      form.limitCaptions[1] = "French";
      form.limitShown[1] = true;
      page->Refresh();
      QVERIFY(page->LimitBox(0)->width() > width);
      QVERIFY(page->LimitBox(1)->x() > page->LimitBox(0)->geometry().right());
      form.limitCaptions = captions;
      form.limitShown = shown;
      page->Refresh();
      QCOMPARE(page->LimitBox(0)->width(), width);
      // A larger font makes taller rows.
      int height = row0.termBox->height();
      QFont larger = page->font();
      larger.setPointSizeF(larger.pointSizeF() * 2);
      page->setFont(larger);
      QVERIFY(row0.termBox->height() > height);
      page->setFont(QFont());
      QCOMPARE(row0.termBox->height(), height);
    }

    // From: a year out of the field's span.
    bool asked = false;
    WhenModal<CDateSelectionDlgView>([&](CDateSelectionDlgView* view) {
      asked = true;
      QCOMPARE(view->windowTitle(), QString("Date Selection"));
      QCOMPARE(view->OpenEndRadio()->text(), QString("Oldest Year"));
      QCOMPARE(view->SpecifyRadio()->text(), QString("Specify Year"));
      QVERIFY(view->OpenEndRadio()->isChecked());
      QVERIFY(!view->MonthList()->isVisible() && !view->DayList()->isVisible());
      QVERIFY(!view->YearBox()->isVisible() && !view->YearList()->isVisible());
      QVERIFY(!view->YearLabel()->isVisible());
      view->SpecifyRadio()->click();
      QVERIFY(view->YearList()->isVisible() && view->YearLabel()->isVisible());
      QVERIFY(!view->YearBox()->isVisible() && !view->MonthList()->isVisible());
      QCOMPARE(view->YearList()->count(), 6);
      QCOMPARE(view->YearList()->itemText(0), QString("1990"));
      QCOMPARE(view->YearList()->itemText(5), QString("1995"));
      QCOMPARE(view->YearList()->currentText(), QString());
      view->YearList()->setCurrentIndex(2);
      view->OkButton()->click();
    });
    row1.fromButton->click();
    QVERIFY(asked);
    QCOMPARE(row1.fromButton->text(), QString("1992"));

    // To: nothing picked in the list gives the span's end. Cancel changes
    // nothing.
    WhenModal<CDateSelectionDlgView>([&](CDateSelectionDlgView* view) { view->reject(); });
    row1.toButton->click();
    QCOMPARE(row1.toButton->text(), QString("Newest"));
    WhenModal<CDateSelectionDlgView>([&](CDateSelectionDlgView* view) {
      view->SpecifyRadio()->click();
      view->OkButton()->click();
    });
    row1.toButton->click();
    QCOMPARE(row1.toButton->text(), QString("1995"));

    // The term as typed, the limit box, and Enter in the term box searches.
    row0.termBox->setFocus();
    QTest::keyClicks(row0.termBox, "whale");
    QCOMPARE(s.doc->Form().rowTerms[0], std::string("whale"));
    page->LimitBox(0)->click();
    QCOMPARE(s.doc->Form().limitChecked[0], 1);
    s.ScriptSearch(75, 75);
    s.Key(Qt::Key_Return);
    QVERIFY(s.driver.WaitForRequests(2));
    auto searches = s.RequestsOf(MSG_SEARCH);
    QCOMPARE(searches.size(), size_t(1));
    std::string body = Z(std::string(1, '\0') + "whale") + Z("ti") + std::string(1, '\2') +
                       Z("0/0/1992 0/0/1995") + Z("py") + Z("la=en");
    QCOMPARE(searches[0].body, body);
    QCOMPARE(searches[0].header.param1, 2);
    QCOMPARE(searches[0].header.param2, 1);

    // Titles 1 to 30, the counter and the more button.
    CSummaryPage* summary = s.window->SummaryPage();
    QTRY_COMPARE_WITH_TIMEOUT(summary->TitleModel()->rowCount(), 30, 10000);
    QVERIFY(s.WaitIdle());
    QCOMPARE(s.doc->MainView().Selected(), int(CMainView::PAGE_SUMMARY));
    QCOMPARE(Row(summary, 0), QString("1   Title 1"));
    QCOMPARE(summary->Counter()->title(), QString(" 30 of 75"));
    QCOMPARE(summary->MoreButton()->text(), QString("30 More?"));
    QVERIFY(summary->MoreButton()->isEnabled());
    QString explanation = summary->SummaryText()->toPlainText();
    QVERIFY2(explanation.startsWith("Your query matched 75 items.\nThe first 30 summaries are "
                                    "being retrieved.\nTo add more titles"),
             qPrintable(explanation));

    // Ctrl+M and Ctrl+3 bring the next batches.
    summary->TitleList()->setFocus();
    s.Key(Qt::Key_M, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(summary->TitleModel()->rowCount(), 60, 10000);
    QVERIFY(s.WaitIdle());
    QCOMPARE(summary->Counter()->title(), QString(" 60 of 75"));
    QCOMPARE(summary->MoreButton()->text(), QString("15 More?"));
    s.Key(Qt::Key_3, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(summary->TitleModel()->rowCount(), 75, 10000);
    QVERIFY(s.WaitIdle());
    QCOMPARE(Row(summary, 74), QString("75  Title 75"));
    QCOMPARE(summary->Counter()->title(), QString(" 75 of 75"));
    QCOMPARE(summary->MoreButton()->text(), QString("30 more?"));
    QVERIFY(!summary->MoreButton()->isEnabled());
    // Back on the search page, Search can be pressed again.
    s.doc->MainView().SelectPage(CMainView::PAGE_CRITERIA);
    QTRY_VERIFY_WITH_TIMEOUT(page->isVisible(), 5000);
    QVERIFY(page->SearchButton()->isEnabled());
  }

  void NumberRangesClearAndClearAll() {
    SearchSession s;
    QVERIFY(s.Open());
    QVERIFY(s.Activate());
    CSearchFormPage* page = s.window->SearchPage();
    const auto& row1 = page->RowControls(1);

    // Row 1 switched to the number field: its own captions and dialog.
    row1.fieldList->setFocus();
    QTest::keyClick(row1.fieldList, Qt::Key_Down);
    QCOMPARE(row1.fieldList->currentText(), QString("Size"));
    QCOMPARE(row1.fromButton->text(), QString("Lowest"));
    QCOMPARE(row1.toButton->text(), QString("Highest"));
    QCOMPARE(QApplication::focusWidget(), row1.fromButton);
    bool asked = false;
    WhenModal<CDateSelectionDlgView>([&](CDateSelectionDlgView* view) {
      asked = true;
      QCOMPARE(view->OpenEndRadio()->text(), QString("Lowest Size"));
      view->SpecifyRadio()->click();
      QCOMPARE(view->YearLabel()->text(), QString("Lowest"));
      QVERIFY(view->YearBox()->isVisible() && !view->YearList()->isVisible());
      view->YearBox()->selectAll();
      QTest::keyClicks(view->YearBox(), "1,500");
      view->OkButton()->click();
    });
    row1.fromButton->click();
    QVERIFY(asked);
    QCOMPARE(row1.fromButton->text(), QString("1,500"));

    // Alt+C is the page's "&Clear", not the Connect menu: terms and limit
    // boxes go, fields and range ends stay.
    QLineEdit* term = page->RowControls(0).termBox;
    term->setFocus();
    QTest::keyClicks(term, "whale");
    page->LimitBox(0)->click();
    s.Key(Qt::Key_C, Qt::AltModifier);
    QCOMPARE(term->text(), QString());
    QVERIFY(!page->LimitBox(0)->isChecked());
    QCOMPARE(row1.fieldList->currentText(), QString("Size"));
    QCOMPARE(row1.fromButton->text(), QString("1,500"));
    for (QMenu* menu : s.f.window->menuBar()->findChildren<QMenu*>()) {
      QVERIFY(!menu->isVisible());
    }

    // Clear with Ctrl held is Clear All: default fields, limit boxes kept.
    QTest::keyClicks(term, "whale");
    page->LimitBox(0)->click();
    QTest::mouseClick(page->ClearButton(), Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(term->text(), QString());
    QCOMPARE(row1.fieldList->currentText(), QString("Year"));
    QVERIFY(page->LimitBox(0)->isChecked());

    // Alt+Shift+C: Clear All from the keyboard.
    row1.fieldList->setFocus();
    QTest::keyClick(row1.fieldList, Qt::Key_Down);
    QCOMPARE(row1.fieldList->currentText(), QString("Size"));
    s.Key(Qt::Key_C, Qt::AltModifier | Qt::ShiftModifier);
    QCOMPARE(row1.fieldList->currentText(), QString("Year"));
  }

  void SummariesFullRecordsAndFind() {
    SearchSession s;
    QVERIFY(s.Open());
    QVERIFY(s.Activate());
    QVERIFY(Search(s, 3));
    CSummaryPage* summary = s.window->SummaryPage();
    CTitleListView* list = summary->TitleList();

    // One click shows the summary once the double-click time is over.
    s.driver.OnRequest(MSG_GET_RECORD, {{TestDriver::Packet(MSG_RECORD, Z("Two\n\nabc"), 2)}});
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCenter(summary, 1));
    QCOMPARE(s.doc->Summary().Selection(), std::vector<int>({1}));
    QTRY_COMPARE_WITH_TIMEOUT(s.f.app.StatusMessage(), std::string("Summaries retrieved"), 10000);
    QPlainTextEdit* text = summary->SummaryText();
    QCOMPARE(text->toPlainText(), QString("Two\nabc\n\n\n"));
    auto gets = s.RequestsOf(MSG_GET_RECORD);
    QCOMPARE(gets.size(), size_t(1));
    QCOMPARE(gets[0].header.param1, 2);
    QCOMPARE(gets[0].header.param2, 1);

    // Copy in the summary text: a selection as it is, else everything.
    text->setFocus();
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(4);
    cursor.setPosition(7, QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
    s.Key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("abc"));
    cursor.clearSelection();
    text->setTextCursor(cursor);
    s.Key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("Two\r\nabc\r\n\r\n\r\n"));
    QCOMPARE(text->textCursor().selectionStart(), 0);
    QCOMPARE(text->textCursor().selectionEnd(), text->toPlainText().size());
    QCOMPARE(s.f.app.StatusMessage(), std::string("Selection copied"));
    // The summary text's pop-up menu copies the same way.
    std::unique_ptr<QMenu> summaryMenu(summary->NewSummaryMenu());
    QStringList entries;
    for (QAction* action : summaryMenu->actions()) {
      entries << (action->isSeparator() ? QString("-") : action->text());
    }
    QCOMPARE(entries,
             QStringList({"Save/&Mail...", "&Print Summary...", "-", "-", "&Copy\tCtrl+C"}));
    QApplication::clipboard()->clear();
    summaryMenu->actions().last()->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QString("Two\r\nabc\r\n\r\n\r\n"));
    // From the list: the selected lines.
    list->setFocus();
    s.Key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("2   Title 2"));

    // The click timer must not fetch summaries behind the full records.
    s.doc->Summary().doubleClickMs = 3600 * 1000;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCenter(summary, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, RowCenter(summary, 2));
    QCOMPARE(s.doc->Summary().Selection(), std::vector<int>({0, 2}));
    // A Latin-1 record and a UTF-8 one.
    std::string first = "TI: caf\xe9";
    std::string second = "TI: na\xc3\xafve Two\r\nAU: B";
    s.driver.OnRequest(MSG_GET_RECORD, {{TestDriver::Packet(MSG_RECORD, Z(first), 1)}});
    s.driver.OnRequest(MSG_GET_RECORD, {{TestDriver::Packet(MSG_RECORD, Z(second), 3)}});
    std::unique_ptr<QMenu> menu(summary->NewTitleMenu());
    QList<QAction*> actions = menu->actions();
    QCOMPARE(actions.size(), 7);
    QCOMPARE(actions.last()->text(), QString("Retrieve Full"));
    actions.last()->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(s.doc->Abstract().Text(), first + second + "\n\n\n\n", 10000);
    QVERIFY(s.WaitIdle());
    QCOMPARE(s.doc->MainView().Selected(), int(CMainView::PAGE_RECORD));
    CRecordPage* record = s.window->RecordPage();
    QPlainTextEdit* recordText = record->Text();
    QString shown = QString::fromUtf8("TI: caf\xc3\xa9TI: na\xc3\xafve Two\nAU: B\n\n\n\n");
    QCOMPARE(recordText->toPlainText(), shown);
    QVERIFY(record->CopyTextButton()->isEnabled());

    // Find: the word comes up selected where it is shown.
    auto find = [&](const QString& word) {
      bool prompted = false;
      WhenModal<CInfoRequestDlgView>([&](CInfoRequestDlgView* view) {
        prompted = true;
        QCOMPARE(view->windowTitle(), QString("Find"));
        QCOMPARE(view->PromptLabel()->text(), QString("Find what?"));
        QCOMPARE(view->OkButton()->text(), QString("Find Next"));
        view->PlainEdit()->selectAll();
        QTest::keyClicks(view->PlainEdit(), word);
        view->OkButton()->click();
      });
      recordText->setFocus();
      s.Key(Qt::Key_F3, Qt::AltModifier);
      QVERIFY(prompted);
    };
    find("two");
    QCOMPARE(recordText->textCursor().selectedText(), QString("Two"));
    QCOMPARE(recordText->textCursor().selectionStart(), shown.indexOf("Two"));
    // F3 with one occurrence keeps it and says so.
    std::size_t messages = s.f.ui.messages.size();
    s.Key(Qt::Key_F3);
    QCOMPARE(s.f.ui.messages.size(), messages + 1);
    QCOMPARE(s.f.ui.messages.back().text, std::string("Only one occurrance of 'TWO' found"));
    QCOMPARE(s.f.ui.messages.back().caption, std::string("Search Result"));
    QCOMPARE(recordText->textCursor().selectedText(), QString("Two"));

    find("ti");
    QCOMPARE(recordText->textCursor().selectionStart(), 0);
    s.Key(Qt::Key_F3);
    QCOMPARE(recordText->textCursor().selectionStart(), 8);
    QCOMPARE(recordText->textCursor().selectedText(), QString("TI"));
    record->CopyTextButton()->click();
    QCOMPARE(QApplication::clipboard()->text(), QString("TI"));

    // The user's own selection is where Find starts from.
    cursor = recordText->textCursor();
    cursor.setPosition(shown.indexOf("AU"));
    cursor.setPosition(shown.indexOf("AU") + 2, QTextCursor::KeepAnchor);
    recordText->setTextCursor(cursor);
    bool prompted = false;
    WhenModal<CInfoRequestDlgView>([&](CInfoRequestDlgView* view) {
      prompted = true;
      QCOMPARE(view->PlainEdit()->text(), QString("AU"));
      view->reject();
    });
    s.MenuAction("&Edit", "Find Text\tAlt+F3")->trigger();
    QVERIFY(prompted);

    // Alt+Shift+C empties the page; the buttons go with the text.
    s.Key(Qt::Key_C, Qt::AltModifier | Qt::ShiftModifier);
    QCOMPARE(recordText->toPlainText(), QString());
    QVERIFY(!record->CopyTextButton()->isEnabled());
    QVERIFY(!s.MenuAction("&Edit", "&Copy\tCtrl+C")->isEnabled());
  }
};

static GuiTestRegistry::Add<SearchSessionTest> registerSearchSessionTest;

#include "SearchSessionTest.moc"
