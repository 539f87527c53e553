#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "GuiFrame.h"
#include "GuiTestRegistry.h"
#include "HttpTestServer.h"
#include "ModalWindow.h"
#include "app/SettingsNames.h"
#include "doc/CTmsfrmDoc.h"
#include "ui/COpenDatabaseDialogView.h"
#include "ui/CUrlDialogView.h"

namespace {

// Two databases and no default: the open ends in the Open Database dialog.
std::string TwoDatabases() {
  return "conf_version = 1.1\n" + DatabaseSection("pkg", "Packages", 9) +
         DatabaseSection("src", "Sources", 9);
}

QStringList Items(const QComboBox* box) {
  QStringList items;
  for (int i = 0; i < box->count(); ++i) {
    items << box->itemText(i);
  }
  return items;
}

}  // namespace

class OpenRemoteTest : public QObject {
  Q_OBJECT

 private slots:
  void UrlDialogFetchesAndOpensAChildWindow() {
    HttpTestServer server;
    server.Route("/conf/top.tcf", 200, TwoDatabases());
    server.Route("/conf/db.info", 200, "$pkg\nBinary packages.\n");
    GuiFrame f;
    f.settings.WriteSettingText(kSectionDefaultUrl, kEntryDefaultUrl,
                                "http://127.0.0.1:1/home.tcf");
    f.settings.WriteSettingText(kSectionDefaultUrl, "Recent URL 1:", "http://old.invalid/a.tcf");
    QString url = QString::fromStdString(server.Url("/conf/top.tcf"));

    bool asked = false;
    WhenModal<CUrlDialogView>([&](CUrlDialogView* view) {
      asked = true;
      QCOMPARE(view->windowTitle(), QString("Open Remote Configuration"));
      QCOMPARE(view->PromptLabel()->text(), QString("Enter configuration url:"));
      QVERIFY(view->UrlBox()->isEditable());
      QCOMPARE(Items(view->UrlBox()),
               QStringList({"http://127.0.0.1:1/home.tcf", "http://old.invalid/a.tcf"}));
      QCOMPARE(view->UrlBox()->currentText(), QString("http://127.0.0.1:1/home.tcf"));
      // An empty text is no URL: OK leaves the dialog up, without a word.
      view->UrlBox()->lineEdit()->clear();
      view->Buttons()->button(QDialogButtonBox::Ok)->click();
      QVERIFY(view->isVisible());
      QTest::keyClicks(view->UrlBox()->lineEdit(), url);
      // Enter is OK, and adds nothing to the list on the way.
      QTest::keyClick(view->UrlBox()->lineEdit(), Qt::Key_Return);
      QCOMPARE(view->UrlBox()->count(), 2);
      QVERIFY(!view->isVisible());
    });
    f.window->OpenRemoteAction()->trigger();
    QVERIFY(asked);
    QVERIFY2(f.ui.messages.empty(), f.ui.Summary().c_str());
    QCOMPARE(f.Children().size(), 1);
    QCOMPARE(f.Child()->windowTitle(), QString("Unconnected"));
    CTmsfrmDoc* doc = f.window->DocumentOf(f.Child());
    QCOMPARE(doc->PathName(), f.app.privateDirectory + "config0.TCF");
    QCOMPARE(f.app.tempConfigCounter, 1);
    // The default stays first; the URL used becomes the most recent.
    QCOMPARE(f.settings.ReadSettingText(kSectionDefaultUrl, kEntryDefaultUrl, ""),
             std::string("http://127.0.0.1:1/home.tcf"));
    QCOMPARE(f.settings.ReadSettingText(kSectionDefaultUrl, "Recent URL 1:", ""),
             url.toStdString());
    QCOMPARE(f.settings.ReadSettingText(kSectionDefaultUrl, "Recent URL 2:", ""),
             std::string("http://old.invalid/a.tcf"));

    // Once the window is up, the document asks for a database by itself.
    bool chooserShown = false;
    WhenModal<COpenDatabaseDialogView>([&](COpenDatabaseDialogView* view) {
      chooserShown = true;
      view->CancelButton()->click();
    });
    QTRY_VERIFY_WITH_TIMEOUT(chooserShown, 10000);
    QCOMPARE(f.Child()->windowTitle(), QString("Unconnected"));
    QVERIFY2(f.ui.messages.empty(), f.ui.Summary().c_str());

    // Ctrl+O is Open Remote too; cancelled, it opens and says nothing.
    QVERIFY(f.Activate());
    int copies = f.app.tempConfigCounter;
    bool askedAgain = false;
    WhenModal<CUrlDialogView>([&](CUrlDialogView* view) {
      askedAgain = true;
      QCOMPARE(view->UrlBox()->currentText(), QString("http://127.0.0.1:1/home.tcf"));
      QCOMPARE(view->UrlBox()->count(), 3);
      view->Buttons()->button(QDialogButtonBox::Cancel)->click();
    });
    QTest::keyClick(f.window.get(), Qt::Key_O, Qt::ControlModifier);
    QVERIFY(askedAgain);
    QCOMPARE(f.Children().size(), 1);
    QCOMPARE(f.app.tempConfigCounter, copies);
    QVERIFY2(f.ui.messages.empty(), f.ui.Summary().c_str());
  }

  void FailedFetchOpensNoWindow() {
    HttpTestServer server;
    GuiFrame f;
    WhenModal<CUrlDialogView>([&](CUrlDialogView* view) {
      view->UrlBox()->setEditText(QString::fromStdString(server.Url("/missing.tcf")));
      view->Buttons()->button(QDialogButtonBox::Ok)->click();
    });
    f.window->OpenRemoteAction()->trigger();
    QCOMPARE(f.Children().size(), 0);
    QCOMPARE(f.ui.messages.size(), size_t(2));
    QCOMPARE(f.ui.messages[0].caption, std::string("Error accessing URL"));
    QCOMPARE(f.ui.messages[1].text, std::string("Couldn't read the selected URL"));
    QCOMPARE(f.app.tempConfigCounter, 0);
  }
};

static GuiTestRegistry::Add<OpenRemoteTest> registerOpenRemoteTest;

#include "OpenRemoteTest.moc"
