#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "FakeUi.h"
#include "GuiTestRegistry.h"
#include "search/CQueryList.h"
#include "search/CQueryNameDlg.h"
#include "ui/CQueryNameDlgView.h"

namespace {

void Fill(CQueryList& list, const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    CQueryRecord record;
    record.name = name;
    list.Store(record);
  }
}

// With TAMSEL_SHOTS set, the dialog as shown goes there as a picture.
void Shoot(QWidget* view, const char* name) {
  QString dir = qEnvironmentVariable("TAMSEL_SHOTS");
  if (!dir.isEmpty()) {
    view->grab().save(dir + "/" + name + ".png");
  }
}

// The view of an initialised model, shown and active, as RunDialog has it.
std::unique_ptr<CQueryNameDlgView> Show(CQueryNameDlg& model) {
  model.OnInit();
  auto view = std::make_unique<CQueryNameDlgView>(model, nullptr);
  view->show();
  view->activateWindow();
  return view;
}

QStringList Entries(QListWidget* list) {
  QStringList entries;
  for (int i = 0; i < list->count(); ++i) {
    entries << list->item(i)->text();
  }
  return entries;
}

}  // namespace

class QueryNameDlgViewTest : public QObject {
  Q_OBJECT

 private slots:
  void TypingSelectsAndEnterChooses() {
    FakeUi ui;
    CQueryList queries;
    Fill(queries, {"zebra", "Beta", "alpha", "beach"});
    CQueryNameDlg model(CQueryNameDlg::Mode::Choosing, queries, ui);
    auto view = Show(model);
    QCOMPARE(Entries(view->NameList()), QStringList({"alpha", "beach", "Beta", "zebra"}));
    QVERIFY(view->NameList()->isVisible());
    QCOMPARE(view->focusWidget(), view->NameBox());

    QTest::keyClicks(view->NameBox(), "BE");
    QCOMPARE(view->NameList()->currentRow(), 1);
    QTest::keyClick(view->NameBox(), Qt::Key_T);
    QCOMPARE(view->NameList()->currentRow(), 2);
    Shoot(view.get(), "choosing");
    // Text that begins no name keeps the selection.
    QTest::keyClick(view->NameBox(), Qt::Key_X);
    QCOMPARE(view->NameList()->currentRow(), 2);

    // Enter: the typed name matches nothing, so the selected entry is taken
    // and shown in the box.
    QTest::keyClick(view->NameBox(), Qt::Key_Return);
    QCOMPARE(view->result(), int(QDialog::Accepted));
    QCOMPARE(model.ChosenName(), std::string("Beta"));
    QCOMPARE(view->NameBox()->text(), QString("Beta"));
    QVERIFY(ui.messages.empty());
  }

  void ClickAndDoubleClick() {
    FakeUi ui;
    CQueryList queries;
    Fill(queries, {"one", "two", "three"});
    CQueryNameDlg model(CQueryNameDlg::Mode::Choosing, queries, ui);
    auto view = Show(model);
    QListWidget* list = view->NameList();
    QRect second = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(model.selectedIndex, 1);
    QVERIFY(view->isVisible());

    QRect third = list->visualItemRect(list->item(2));
    // A double click is a press and release, then the second press.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, third.center());
    QCOMPARE(view->result(), int(QDialog::Accepted));
    QCOMPARE(model.ChosenName(), std::string("two"));
  }

  void RefusedOkKeepsTheDialogAndEscCancels() {
    FakeUi ui;
    CQueryList queries;
    Fill(queries, {"ABC", "b1", "b2", "b3", "b4", "b5", "b6"});
    CQueryNameDlg model(CQueryNameDlg::Mode::Naming, queries, ui);
    auto view = Show(model);
    // Seven names: the list grows by the most it may.
    CQueryList one;
    Fill(one, {"single"});
    CQueryNameDlg small(CQueryNameDlg::Mode::Naming, one, ui);
    auto smallView = Show(small);
    QCOMPARE(view->NameList()->height() - smallView->NameList()->height(), 33);
    smallView->reject();

    QTest::keyClicks(view->NameBox(), "abc");
    Shoot(view.get(), "naming");
    view->Buttons()->button(QDialogButtonBox::Ok)->click();
    QVERIFY(view->isVisible());
    QCOMPARE(ui.messages.size(), size_t(1));
    QCOMPARE(ui.messages[0].caption, std::string(" "));

    QTest::keyClick(view->NameBox(), Qt::Key_Escape);
    QVERIFY(!view->isVisible());
    QCOMPARE(view->result(), int(QDialog::Rejected));
    QCOMPARE(model.ChosenName(), std::string());
  }

  void NoQueriesHidesTheList() {
    FakeUi ui;
    CQueryList queries;
    CQueryNameDlg model(CQueryNameDlg::Mode::Naming, queries, ui);
    auto view = Show(model);
    QVERIFY(!view->NameList()->isVisible());
    QVERIFY(!view->NameList()->isEnabled());
    QTest::keyClicks(view->NameBox(), "fresh");
    QTest::keyClick(view->NameBox(), Qt::Key_Enter);
    QCOMPARE(view->result(), int(QDialog::Accepted));
    QCOMPARE(model.ChosenName(), std::string("fresh"));
  }
};

static GuiTestRegistry::Add<QueryNameDlgViewTest> registerQueryNameDlgViewTest;

#include "QueryNameDlgViewTest.moc"
