#include <QCheckBox>
#include <QFontInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cmath>

#include "GuiTestRegistry.h"
#include "ModalWindow.h"
#include "SearchSession.h"
#include "app/SettingsNames.h"
#include "doc/CMainView.h"
#include "driver/CDriverLink.h"
#include "output/CRecordFormat.h"
#include "ui/CFontDlgView.h"
#include "ui/CRecordFormatDlgView.h"
#include "ui/CRecordPage.h"
#include "ui/CSummaryPage.h"
#include "ui/CTitleListView.h"

namespace {

QList<bool> Checked(CRecordFormatDlgView* view) {
  QList<bool> checked;
  for (QCheckBox* box : view->FieldBoxes()) {
    checked << box->isChecked();
  }
  return checked;
}

}  // namespace

class ResultDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void RecordFormatOptions() {
    SearchSession s;
    QVERIFY(s.Open());
    bool asked = false;
    std::size_t messages = s.f.ui.messages.size();
    WhenModal<CRecordFormatDlgView>([&](CRecordFormatDlgView* view) {
      asked = true;
      QCOMPARE(view->windowTitle(), QString("Record Format Options"));
      QVERIFY(view->LabelRadio(0)->isChecked());
      QVERIFY(view->HeaderRadio(1)->isChecked());
      QVERIFY(!view->SaveAsDefaultBox()->isChecked());
      QCOMPARE(view->FieldHeading()->text(),
               QString("Include these fields in the full records for: Catalogue"));
      QCOMPARE(view->FieldBoxes().size(), size_t(3));
      QCOMPARE(view->FieldBoxes()[1]->text(), QString("Abstract"));
      QCOMPARE(view->FieldGrid()->columnCount(), 3);
      QCOMPARE(Checked(view), QList<bool>({true, false, true}));

      // No field: refused, and the dialog stays.
      view->ClearAllButton()->click();
      QCOMPARE(Checked(view), QList<bool>({false, false, false}));
      view->OkButton()->click();
      QVERIFY(view->isVisible());
      QCOMPARE(s.f.ui.messages.size(), messages + 1);
      QCOMPARE(s.f.ui.messages.back().text,
               std::string("You must select at least one field for display."));
      QCOMPARE(s.f.ui.messages.back().caption, std::string("Message..."));

      view->DefaultFieldsButton()->click();
      QCOMPARE(Checked(view), QList<bool>({true, false, true}));
      view->SelectAllButton()->click();
      QCOMPARE(Checked(view), QList<bool>({true, true, true}));
      view->FieldBoxes()[0]->click();
      view->LabelRadio(1)->click();
      view->HeaderRadio(2)->click();
      view->SaveAsDefaultBox()->click();
      view->OkButton()->click();
    });
    s.MenuAction("&Options", "Record Format...")->trigger();
    QVERIFY(asked);
    QCOMPARE(s.doc->Link().AbbreviatedLabels(), 1);
    QCOMPARE(s.doc->RecordFormat().headerMode, 2);
    QCOMPARE(s.doc->Link().IncludedFieldList(), std::string("AB\0AU\0", 6));
    QCOMPARE(s.f.settings.ReadSettingText(kSectionDatabaseFieldFormats, "Catalogue", ""),
             std::string("IncludeHeader:AB:AU:"));

    // Nineteen fields take four columns.
    CDriverLink& link = s.doc->Link();
    std::vector<CAbstractFieldDesc> many(19);
    for (std::size_t i = 0; i < many.size(); ++i) {
      many[i].caption = "Field & " + std::to_string(i);
      many[i].fieldName = "F" + std::to_string(i);
      many[i].included = 1;
    }
    link.SetFields(std::move(many));
    asked = false;
    WhenModal<CRecordFormatDlgView>([&](CRecordFormatDlgView* view) {
      asked = true;
      QCOMPARE(view->FieldBoxes().size(), size_t(19));
      QCOMPARE(view->FieldGrid()->columnCount(), 4);
      QCOMPARE(view->FieldGrid()->itemAtPosition(4, 2)->widget(), view->FieldBoxes()[18]);
      // A caption's "&" is shown, not taken for a mnemonic.
      QCOMPARE(view->FieldBoxes()[0]->text(), QString("Field && 0"));
      view->reject();
    });
    s.MenuAction("&Options", "Record Format...")->trigger();
    QVERIFY(asked);

    // While the driver works the field list is not offered.
    link.SetLinkState(LINK_RETRIEVING);
    asked = false;
    WhenModal<CRecordFormatDlgView>([&](CRecordFormatDlgView* view) {
      asked = true;
      QVERIFY(view->FieldHeading() == nullptr);
      QVERIFY(view->FieldBoxes().empty());
      QVERIFY(view->HeaderRadio(2)->isChecked());
      QVERIFY(view->LabelRadio(1)->isChecked());
      view->reject();
    });
    s.MenuAction("&Options", "Record Format...")->trigger();
    QVERIFY(asked);
    link.SetLinkState(LINK_IDLE);
  }

  void ChangeFontSetsBothResultWindows() {
    SearchSession s;
    QVERIFY(s.Open());
    CTitleListView* list = s.window->SummaryPage()->TitleList();
    QPlainTextEdit* record = s.window->RecordPage()->Text();
    // "Courier New" is asked for by name; a fixed-pitch stand-in is used.
    QVERIFY(QFontInfo(list->font()).fixedPitch());
    QCOMPARE(list->font().pixelSize(), 11);

    // Only the result pages have a font to change.
    QVERIFY(!s.MenuAction("&Edit", "Change Font")->isEnabled());
    s.doc->MainView().SelectPage(CMainView::PAGE_SUMMARY);
    QAction* action = s.MenuAction("&Edit", "Change Font");
    QVERIFY(action->isEnabled());
    double dpi = 0;
    bool asked = false;
    WhenModal<CFontDlgView>([&](CFontDlgView* view) {
      asked = true;
      QCOMPARE(view->currentFont().family(), QFontInfo(list->font()).family());
      QFont chosen("DejaVu Sans Mono");
      chosen.setPointSize(12);
      chosen.setBold(true);
      view->setCurrentFont(chosen);
      dpi = view->logicalDpiY();
      view->accept();
    });
    action->trigger();
    QVERIFY(asked);
    int pixels = static_cast<int>(std::lround(12 * dpi / 72.0));
    QCOMPARE(s.f.settings.ReadSettingInt(kSectionFont, kEntrySummarySize, 0), -pixels);
    QCOMPARE(s.f.settings.ReadSettingInt(kSectionFont, kEntryAbstractSize, 0), -pixels);
    QCOMPARE(s.f.settings.ReadSettingText(kSectionFont, kEntrySummaryName, ""),
             std::string("DejaVu Sans Mono"));
    for (QWidget* shown : {static_cast<QWidget*>(list), static_cast<QWidget*>(record)}) {
      QCOMPARE(shown->font().family(), QString("DejaVu Sans Mono"));
      QCOMPARE(shown->font().pixelSize(), pixels);
      QCOMPARE(shown->font().weight(), QFont::Bold);
    }
  }
};

static GuiTestRegistry::Add<ResultDialogsTest> registerResultDialogsTest;

#include "ResultDialogsTest.moc"
