#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <memory>

#include "FakeUi.h"
#include "GuiTestRegistry.h"
#include "ModalWindow.h"
#include "SearchSession.h"
#include "TempDir.h"
#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
#include "doc/CDocOutput.h"
#include "driver/CListSummary.h"
#include "output/CAbstract.h"
#include "output/CSaveMailDlg.h"
#include "ui/CHelpWindow.h"
#include "ui/CRecordPage.h"
#include "ui/CResultOutputActions.h"
#include "ui/CSaveMailDlgView.h"
#include "ui/CSummaryPage.h"

namespace {

int PdfPages(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return -1;
  }
  QByteArray bytes = file.readAll();
  return static_cast<int>(
      QString::fromLatin1(bytes).count(QRegularExpression("/Type\\s*/Page[^s]")));
}

// Where a developer can look at the dialog and the PDFs; empty when not asked for.
void Shoot(QWidget* widget, const char* name) {
  QByteArray dir = qgetenv("TAMSEL_SHOTS");
  if (!dir.isEmpty()) {
    QDir().mkpath(QString::fromLocal8Bit(dir));
    widget->grab().save(QString::fromLocal8Bit(dir) + "/" + name);
  }
}

// A Save/Mail dialog over settings of its own, not yet shown.
struct SaveMailDialog {
  TempDir dir;
  FakeUi ui;
  CSettingsStore settings{dir.File("Tamsel.conf")};
  CSaveMailDlg model{settings, ui};
  std::unique_ptr<CSaveMailDlgView> view;

  SaveMailDialog() {
    model.OnInit();
    view = std::make_unique<CSaveMailDlgView>(model, nullptr);
  }
};

}  // namespace

class ResultOutputViewTest : public QObject {
  Q_OBJECT

 private slots:
  void SaveMailDialogLayouts() {
    SaveMailDialog d;
    CSaveMailDlg& model = d.model;
    FakeUi& ui = d.ui;
    CSettingsStore& settings = d.settings;
    CSaveMailDlgView& view = *d.view;
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(view.SaveButton()->isChecked());
    QVERIFY(!view.ToBox()->isVisible());
    int saveHeight = view.height();
    Shoot(&view, "savemail-save.png");

    // No host stored: the host box with its proposal, at the full height.
    view.MailButton()->click();
    QVERIFY(view.ToBox()->isVisible());
    QVERIFY(view.HostBox()->isVisible());
    QCOMPARE(view.HostBox()->text(), QString("mailhost"));
    QCOMPARE(view.SubjectBox()->text(), QString("Tamsel Search Results"));
    int hostHeight = view.height();
    QCOMPARE(hostHeight, view.FullHeight());
    Shoot(&view, "savemail-mail-host.png");

    // Enter with no recipient: refused, the dialog stays.
    QTest::keyClick(view.ToBox(), Qt::Key_Return);
    QVERIFY(view.isVisible());
    QCOMPARE(ui.messages.size(), size_t(1));
    QCOMPARE(ui.messages[0].caption, std::string("Required Data Missing"));

    settings.WriteSettingText(kSectionMailParameters, kEntrySmtpHost, "mail.example.org");
    view.SaveButton()->click();
    view.SubjectBox()->setText("changed");
    view.MailButton()->click();
    QVERIFY(!view.HostBox()->isVisible());
    QCOMPARE(model.host, std::string("mail.example.org"));
    QCOMPARE(view.SubjectBox()->text(), QString("Tamsel Search Results"));
    int mailHeight = view.height();
    QVERIFY2(saveHeight < mailHeight && mailHeight < hostHeight,
             qPrintable(QString("%1 %2 %3").arg(saveHeight).arg(mailHeight).arg(hostHeight)));
    QTest::keyClicks(view.ToBox(), "ann@example.org");
    Shoot(&view, "savemail-mail.png");
    QTest::keyClick(view.ToBox(), Qt::Key_Return);
    QVERIFY(!view.isVisible());
    QCOMPARE(view.result(), int(QDialog::Accepted));
    QCOMPARE(model.to, std::string("ann@example.org"));
  }

  // Help from the dialog comes over it and takes input; closed, the dialog
  // is in front again.
  void HelpComesOverTheDialog() {
    SaveMailDialog d;
    CSaveMailDlgView& view = *d.view;
    bool helped = false;
    WhenModal<CSaveMailDlgView>([&](CSaveMailDlgView* dialog) {
      QVERIFY(dialog->HelpButton()->isEnabled());
      dialog->HelpButton()->click();
      CHelpWindow& window = CHelpWindow::Instance();
      QVERIFY(window.isVisible());
      QCOMPARE(QApplication::activeModalWidget(), static_cast<QWidget*>(&window));
      QCOMPARE(window.Browser()->source().fileName(), QString("save-mail.html"));
      window.close();
      QCOMPARE(QApplication::activeModalWidget(), static_cast<QWidget*>(dialog));
      helped = true;
      dialog->reject();
    });
    view.exec();
    QVERIFY(helped);
  }

  void ButtonsFollowTheWindowsAndPdfPagesMatchTheLayout() {
    SearchSession s;
    QVERIFY(s.Open());
    CListSummary& summary = s.doc->Summary();
    CSummaryPage* summaryPage = s.window->SummaryPage();
    CRecordPage* recordPage = s.window->RecordPage();
    QVERIFY(!summaryPage->SaveMailButton()->isEnabled());
    QVERIFY(!recordPage->PrintButton()->isEnabled());

    summary.total = 200;
    for (int n = 1; n <= 200; ++n) {
      summary.AddTitle(n, "title number " + std::to_string(n));
    }
    QCOMPARE(summary.Titles().size(), size_t(200));
    std::string record;
    for (int n = 0; n < 400; ++n) {
      record +=
          "TI: a line of the record that is long enough to wrap once or twice on the page "
          "when it is printed " +
          std::to_string(n) + "\n";
    }
    s.doc->Abstract().AddRecordText(record);
    QVERIFY(recordPage->PrintButton()->isEnabled());
    QVERIFY(recordPage->SaveMailButton()->isEnabled());

    TempDir dir;
    CDocOutput& output = s.doc->Output();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    QString listPdf = QString::fromStdString(dir.File("list.pdf"));
    printer.setOutputFileName(listPdf);
    QFont font = summaryPage->SummaryText()->font();
    int pages = CResultOutputActions::PrintSummaryWindow(printer, output, CDocOutput::Source::List,
                                                         font, 96);
    QCOMPARE(pages, static_cast<int>(output.PrintPages(CDocOutput::Source::List, 1).size()));
    QCOMPARE(PdfPages(listPdf), pages);
    QVERIFY(pages >= 4);

    QPrinter recordPrinter(QPrinter::HighResolution);
    recordPrinter.setOutputFormat(QPrinter::PdfFormat);
    QString recordPdf = QString::fromStdString(dir.File("record.pdf"));
    recordPrinter.setOutputFileName(recordPdf);
    int recordPages =
        CResultOutputActions::PrintRecords(recordPrinter, output, recordPage->Text()->font());
    QVERIFY(recordPages > 1);
    QCOMPARE(PdfPages(recordPdf), recordPages);
    if (!qgetenv("TAMSEL_SHOTS").isEmpty()) {
      QFile::copy(listPdf, QString::fromLocal8Bit(qgetenv("TAMSEL_SHOTS")) + "/list.pdf");
      QFile::copy(recordPdf, QString::fromLocal8Bit(qgetenv("TAMSEL_SHOTS")) + "/record.pdf");
    }
  }
};

static GuiTestRegistry::Add<ResultOutputViewTest> registerResultOutputViewTest;

#include "ResultOutputViewTest.moc"
