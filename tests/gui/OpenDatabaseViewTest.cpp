#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "GuiFrame.h"
#include "GuiTestRegistry.h"
#include "HttpTestServer.h"
#include "ModalWindow.h"
#include "TestDriver.h"
#include "app/SettingsNames.h"
#include "doc/CTmsfrmDoc.h"
#include "ui/COpenDatabaseDialogView.h"

namespace {

std::string NestedConfiguration(int port) {
  return "conf_version = 1.1\n"
         "begin_menu = sw : Software\n"
         "begin_menu = dev : Development\n"
         "item = pkg : Packages\n"
         "item = src : Sources\n"
         "end_menu\n"
         "item = doc : Documentation\n"
         "end_menu\n"
         "begin_menu = news : News\n"
         "item = chg : Changelog\n"
         "end_menu\n" +
         DatabaseSection("pkg", "Packages", port) + DatabaseSection("src", "Sources", port) +
         DatabaseSection("doc", "Documentation", port) + DatabaseSection("chg", "Changelog", port);
}

const char* kInformation =
    "Nobody reads this line.\n"
    "$sw\n"
    "All the software.\n"
    "$pkg\n"
    "Binary packages of the distribution.\n"
    "! maintained by hand\n"
    "Updated daily.\n"
    "$chg\n"
    "What changed, release by release.\n";

// The tree as text: "item(child,child)".
QString Shape(const QTreeWidgetItem* item) {
  QString text = item->text(0);
  if (item->childCount() == 0) {
    return text;
  }
  QStringList children;
  for (int i = 0; i < item->childCount(); ++i) {
    children << Shape(item->child(i));
  }
  return text + "(" + children.join(",") + ")";
}

QTreeWidgetItem* FindItem(QTreeWidget* tree, const QString& text) {
  QList<QTreeWidgetItem*> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
  return found.isEmpty() ? nullptr : found.first();
}

QImage Picture(const QIcon& icon, QIcon::Mode mode) {
  return icon.pixmap(QSize(16, 16), mode).toImage();
}

void Click(QTreeWidget* tree, QTreeWidgetItem* item, bool twice = false) {
  tree->scrollToItem(item);
  QPoint at = tree->visualItemRect(item).center();
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
  if (twice) {
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
  }
}

}  // namespace

class OpenDatabaseViewTest : public QObject {
  Q_OBJECT

 private slots:
  void TreeListInformationAndChoice() {
    TestDriver driver;
    driver.OnRequest(MSG_OPEN, {{TestDriver::Packet(MSG_CONNECTED)}});
    HttpTestServer server;
    server.Route("/conf/top.tcf", 200, NestedConfiguration(driver.Port()));
    server.Route("/conf/db.info", 200, kInformation);
    GuiFrame f;
    // A pointer file: the configuration and its information texts come from
    // the server, without asking for a URL.
    std::string pointer =
        f.dir.Write("pointer.tcf", "conf_url = " + server.Url("/conf/top.tcf") + "\n");

    bool shown = false;
    WhenModal<COpenDatabaseDialogView>([&](COpenDatabaseDialogView* view) {
      shown = true;
      QTreeWidget* tree = view->Tree();
      QListWidget* list = view->List();
      QPlainTextEdit* info = view->InfoText();
      QCOMPARE(view->windowTitle(), QString("Open Database"));
      QVERIFY(info->isReadOnly());
      QCOMPARE(tree->topLevelItemCount(), 1);
      QCOMPARE(Shape(tree->topLevelItem(0)),
               QString("Databases Available(Software(Development(Packages,Sources),Documentation),"
                       "News(Changelog))"));

      // Submenus have their picture, another one while selected; databases theirs.
      QIcon submenu = COpenDatabaseDialogView::SubmenuIcon();
      QIcon database = COpenDatabaseDialogView::DatabaseIcon();
      QVERIFY(Picture(submenu, QIcon::Normal) != Picture(submenu, QIcon::Selected));
      QVERIFY(Picture(submenu, QIcon::Normal) != Picture(database, QIcon::Normal));
      for (const char* name : {"Databases Available", "Software", "Development", "News"}) {
        QCOMPARE(Picture(FindItem(tree, name)->icon(0), QIcon::Normal),
                 Picture(submenu, QIcon::Normal));
        QCOMPARE(Picture(FindItem(tree, name)->icon(0), QIcon::Selected),
                 Picture(submenu, QIcon::Selected));
      }
      for (const char* name : {"Packages", "Sources", "Documentation", "Changelog"}) {
        QCOMPARE(Picture(FindItem(tree, name)->icon(0), QIcon::Normal),
                 Picture(database, QIcon::Normal));
      }

      // No stored default: the menu's first database, its branches open.
      QVERIFY(tree->isVisible() && !list->isVisible());
      QVERIFY(view->HierarchyButton()->isChecked());
      QCOMPARE(tree->currentItem()->text(0), QString("Packages"));
      QVERIFY(FindItem(tree, "Software")->isExpanded());
      QVERIFY(FindItem(tree, "Development")->isExpanded());
      QVERIFY(!FindItem(tree, "News")->isExpanded());
      QCOMPARE(info->toPlainText(),
               QString("Binary packages of the distribution.\nUpdated daily.\n"));

      // A submenu shows its own text; the root and a database without one none.
      Click(tree, FindItem(tree, "Software"));
      QCOMPARE(info->toPlainText(), QString("All the software.\n"));
      Click(tree, FindItem(tree, "Documentation"));
      QCOMPARE(info->toPlainText(), QString());
      Click(tree, FindItem(tree, "Databases Available"));
      QCOMPARE(info->toPlainText(), QString());

      // A submenu or the root is no database: the dialog says so and stays.
      view->OpenButton()->click();
      QVERIFY(view->isVisible());
      QCOMPARE(f.ui.messages.size(), size_t(1));
      QCOMPARE(f.ui.messages[0].text, std::string("Select a database or press cancel"));
      QCOMPARE(f.ui.messages[0].caption, std::string("No Database Selected"));

      // A double click on a submenu opens and closes it, nothing more.
      QTreeWidgetItem* news = FindItem(tree, "News");
      Click(tree, news, true);
      QVERIFY(news->isExpanded());
      Click(tree, news, true);
      QVERIFY(!news->isExpanded());
      QVERIFY(view->isVisible());
      QCOMPARE(f.ui.messages.size(), size_t(1));

      // Alphabetic: the sorted list in the tree's place.
      QTest::mouseClick(view->AlphabeticButton(), Qt::LeftButton);
      QVERIFY(list->isVisible() && list->isEnabled());
      QVERIFY(!tree->isVisible() && !tree->isEnabled());
      QStringList names;
      for (int i = 0; i < list->count(); ++i) {
        names << list->item(i)->text();
      }
      QCOMPARE(names, QStringList({"Changelog", "Documentation", "Packages", "Sources"}));
      QCOMPARE(list->currentItem()->text(), QString("Packages"));
      QCOMPARE(info->toPlainText(),
               QString("Binary packages of the distribution.\nUpdated daily.\n"));
      list->clearSelection();
      QCOMPARE(info->toPlainText(), QString());
      view->OpenButton()->click();
      QVERIFY(view->isVisible());
      QCOMPARE(f.ui.messages.size(), size_t(2));

      // Back and forth keeps the tree as it was left.
      QTest::mouseClick(view->HierarchyButton(), Qt::LeftButton);
      QVERIFY(tree->isVisible() && !list->isVisible());
      QTest::mouseClick(view->AlphabeticButton(), Qt::LeftButton);

      QTest::mouseClick(view->SaveAsDefaultBox(), Qt::LeftButton);
      QVERIFY(view->SaveAsDefaultBox()->isChecked());
      // A double click on a name opens that database.
      QListWidgetItem* changelog = list->item(0);
      QPoint at = list->visualItemRect(changelog).center();
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
      QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
      QVERIFY(!view->isVisible());
    });
    QVERIFY(f.window->OpenDocument(pointer));
    QTRY_VERIFY_WITH_TIMEOUT(shown, 10000);
    CTmsfrmDoc* doc = f.window->DocumentOf(f.Child());
    QTRY_COMPARE_WITH_TIMEOUT(doc->LinkStateValue(), int(LINK_IDLE), 10000);
    QCOMPARE(f.Child()->windowTitle(), QString("Changelog"));
    QCOMPARE(f.ui.messages.size(), size_t(2));
    QCOMPARE(f.settings.ReadSettingInt(kSectionDefaultDatabase, kEntryDefaultOrder, -1), 1);
    QCOMPARE(f.settings.ReadSettingText(kSectionDefaultDatabase, kEntryDefaultDatabase, ""),
             std::string("Changelog"));
    // The texts shown count as seen.
    QVERIFY(doc->InfoTexts().Seen("pkg") && doc->InfoTexts().Seen("sw"));

    // Next time the stored order and default come back.
    bool again = false;
    WhenModal<COpenDatabaseDialogView>([&](COpenDatabaseDialogView* view) {
      again = true;
      QVERIFY(view->AlphabeticButton()->isChecked());
      QVERIFY(view->List()->isVisible());
      QCOMPARE(view->List()->currentItem()->text(), QString("Changelog"));
      QCOMPARE(view->InfoText()->toPlainText(), QString("What changed, release by release.\n"));
      view->CancelButton()->click();
    });
    f.window->ConnectAction()->trigger();
    QVERIFY(again);
    QCOMPARE(f.Child()->windowTitle(), QString("Changelog"));
  }
};

static GuiTestRegistry::Add<OpenDatabaseViewTest> registerOpenDatabaseViewTest;

#include "OpenDatabaseViewTest.moc"
