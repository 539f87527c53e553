#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "FakeUi.h"
#include "TempDir.h"
#include "app/CAppState.h"
#include "app/CPollEventLoop.h"
#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
#include "config/CDatabaseChooser.h"
#include "config/CInfoTexts.h"
#include "config/COpenDatabaseDialog.h"
#include "doc/CTmsfrmDoc.h"

namespace {

using Dialog = COpenDatabaseDialog;
using Strings = std::vector<std::string>;

std::string Section(const std::string& tag, const std::string& name, const char* more = "") {
  return "db_tag = " + tag + "\ndb_name = " + name +
         "\ndriver = socket:localhost:2100\ndb_int_name = x\nsummary_fields = T\n"
         "t_field_name = T\n" +
         more;
}

struct OpenDatabaseDialogTest : ::testing::Test {
  TempDir dir;
  TempDir cwd;
  std::string oldCwd;
  FakeUi ui;
  CAppState app;
  CPollEventLoop loop;
  CSettingsStore settings{dir.File("Tamsel.conf")};
  CTmsfrmDoc doc{app, settings, ui, loop};
  CConfiguration& config = doc.Config();
  CInfoTexts info;

  void SetUp() override {
    // db.ifo is looked for in the current directory.
    char buffer[4096];
    ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
    oldCwd = buffer;
    ASSERT_EQ(chdir(cwd.Path().c_str()), 0);
  }
  void TearDown() override { EXPECT_EQ(chdir(oldCwd.c_str()), 0); }

  void Menu(const std::string& text, const std::string& key = "") {
    config.menuEntries.push_back({"menu", text, key});
  }
  void End() { config.menuEntries.push_back({"endmenu", "", ""}); }
  void Db(const std::string& name, const std::string& tag) {
    config.menuEntries.push_back({"db", name, tag});
    config.RegisterName(name, tag);
  }
  void StoreDefault(const std::string& name, int order) {
    settings.WriteSettingText(kSectionDefaultDatabase, kEntryDefaultDatabase, name);
    settings.WriteSettingInt(kSectionDefaultDatabase, kEntryDefaultOrder, order);
  }
  std::unique_ptr<Dialog> Open() {
    auto dialog = std::make_unique<Dialog>(config, info, settings, ui);
    dialog->OnInit();
    return dialog;
  }
  static Strings Children(const Dialog& d, int node) {
    Strings texts;
    for (int child : d.tree[node].children) {
      texts.push_back(d.tree[child].text);
    }
    return texts;
  }
  static int Find(const Dialog& d, const std::string& text) {
    for (size_t i = 0; i < d.tree.size(); ++i) {
      if (d.tree[i].text == text) {
        return static_cast<int>(i);
      }
    }
    return Dialog::kNone;
  }
  static std::string ListPick(const Dialog& d) {
    return d.selectedListIndex == Dialog::kNone ? "<none>" : d.list[d.selectedListIndex];
  }
};

TEST_F(OpenDatabaseDialogTest, TreeListAndPreselection) {
  Menu("Software", "sw");
  Menu("Debian", "deb");
  Db("Packages", "pkg");
  End();
  Db("sources", "src");
  End();
  Db("Archive", "arc");
  auto d = Open();
  EXPECT_EQ(d->tree[Dialog::kRoot].text, "Databases Available");
  EXPECT_EQ(Children(*d, Dialog::kRoot), (Strings{"Software", "Archive"}));
  int software = Find(*d, "Software"), debian = Find(*d, "Debian"), pkg = Find(*d, "Packages");
  EXPECT_EQ(Children(*d, software), (Strings{"Debian", "sources"}));
  EXPECT_EQ(Children(*d, debian), (Strings{"Packages"}));
  EXPECT_EQ(d->tree[pkg].icon, Dialog::Icon::Database);
  EXPECT_EQ(d->tree[pkg].entryIndex, 2);
  // No stored default: the first database, deep as it is, with its branches open.
  EXPECT_EQ(d->selectedTreeNode, pkg);
  EXPECT_EQ(d->PathTo(pkg), (std::vector<int>{Dialog::kRoot, software, debian, pkg}));
  EXPECT_TRUE(d->tree[Dialog::kRoot].expanded && d->tree[debian].expanded);
  EXPECT_EQ(d->list, (Strings{"Archive", "Packages", "sources"}));
  EXPECT_EQ(ListPick(*d), "Packages");
  EXPECT_TRUE(d->treeVisible && d->treeEnabled && !d->listVisible && !d->listEnabled);

  // A stale default: nothing chosen in the tree; the list takes the first name
  // beginning with it, case ignored.
  StoreDefault("SOU", 0);
  d = Open();
  EXPECT_EQ(d->selectedTreeNode, Dialog::kNone);
  EXPECT_FALSE(d->tree[Dialog::kRoot].expanded);
  EXPECT_EQ(ListPick(*d), "sources");
  // A live default is chosen in both; a stored order other than 0 shows the list.
  StoreDefault("Archive", 7);
  d = Open();
  EXPECT_EQ(d->selectedTreeNode, Find(*d, "Archive"));
  EXPECT_EQ(ListPick(*d), "Archive");
  EXPECT_EQ(d->order, Dialog::kAlphabetic);
  EXPECT_TRUE(d->listVisible && d->listEnabled && !d->treeVisible && !d->treeEnabled);
}

TEST_F(OpenDatabaseDialogTest, ItemWithoutNameThenItsDbName) {
  ASSERT_TRUE(doc.OpenDocumentConfig(
      dir.Write("c.tcf",
                "conf_version = 1.1\nbegin_menu = lib : Libraries\nitem = town\nend_menu\n"
                "item = cat : Catalogue\n" +
                    Section("town", "Town Library") + Section("cat", "Catalogue"))))
      << ::testing::PrintToString(ui.Texts());
  auto d = Open();
  EXPECT_EQ(Children(*d, Find(*d, "Libraries")), (Strings{""}));
  EXPECT_EQ(Children(*d, Dialog::kRoot), (Strings{"Libraries", "Catalogue", "Town Library"}));
  // The nameless item cannot be opened, so it is not the one preselected.
  EXPECT_EQ(d->selectedTreeNode, Find(*d, "Catalogue"));
  EXPECT_EQ(ListPick(*d), "Catalogue");
}

TEST_F(OpenDatabaseDialogTest, OpenRefusedWithoutADatabase) {
  Menu("Software", "sw");
  Db("Packages", "pkg");
  End();
  Db("Archive", "arc");
  StoreDefault("Zebra", 0);
  ui.QueueDialog([](CDialogModel& m) {
    static_cast<Dialog&>(m).SetOrder(Dialog::kAlphabetic);
    return true;
  });
  ui.QueueDialog([](CDialogModel& m) {
    static_cast<Dialog&>(m).SelectListIndex(0);
    return true;
  });
  Dialog d(config, info, settings, ui);
  EXPECT_TRUE(ui.RunDialog(d));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Select a database or press cancel");
  EXPECT_EQ(ui.messages[0].caption, "No Database Selected");
  EXPECT_EQ(d.selectedName, "Archive");

  // Hierarchy: the root and a submenu are refused; a typed name that is not
  // a database selects nothing rather than keeping the old choice.
  auto h = Open();
  h->SelectTreeNode(Dialog::kRoot);
  EXPECT_FALSE(h->OnOk());
  h->SetAnswerText("Packages");
  EXPECT_TRUE(h->OnOk());
  h->SetAnswerText("Software");
  EXPECT_FALSE(h->OnOk());
  EXPECT_EQ(h->selectedTreeNode, Dialog::kNone);
  EXPECT_EQ(ui.messages.size(), 3u);
}

TEST_F(OpenDatabaseDialogTest, InformationTextFollowsSelection) {
  Menu("Software", "sw");
  Menu("Tools", "tools");
  Db("Packages", "pkg");
  End();
  End();
  Db("Archive", "arc");
  info.infoTexts = {{"sw", "Software\r\n"}, {"pkg", "Packages\r\n"}, {"Archive", "by name\r\n"}};
  auto d = Open();
  EXPECT_EQ(d->infoText, "Packages\r\n");
  EXPECT_EQ(info.infoSeen, (std::map<std::string, std::string>{{"pkg", "TRUE"}}));
  d->SelectTreeNode(Find(*d, "Software"));
  EXPECT_EQ(d->infoText, "Software\r\n");
  EXPECT_TRUE(info.Seen("sw"));
  for (const char* silent : {"Tools", "Databases Available", "Archive"}) {
    d->SelectTreeNode(Find(*d, silent));
    EXPECT_EQ(d->infoText, "") << silent;
  }
  EXPECT_EQ(info.infoSeen.size(), 2u);
  d->SetOrder(Dialog::kAlphabetic);
  EXPECT_EQ(d->infoText, "Packages\r\n");
  d->SetOrder(Dialog::kHierarchy);

  // Double clicks: a submenu only folds; a database acts like OK.
  int software = Find(*d, "Software");
  EXPECT_FALSE(d->DoubleClickTreeNode(software));
  EXPECT_FALSE(d->tree[software].expanded);
  EXPECT_FALSE(d->DoubleClickListIndex(0));  // the list is hidden
  EXPECT_TRUE(d->DoubleClickTreeNode(Find(*d, "Archive")));
  EXPECT_EQ(d->selectedName, "Archive");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(OpenDatabaseDialogTest, BadMenusStayUnderTheRootAndWhole) {
  End();
  End();
  Db("First", "f");
  for (int i = 0; i < 5000; ++i) {
    Menu("m");
  }
  std::string longName(1000, 'x');
  Db(longName, "long");
  for (int i = 0; i < 5010; ++i) {
    End();
  }
  Db("Last", "l");
  StoreDefault(longName, 0);
  auto d = Open();
  EXPECT_EQ(Children(*d, Dialog::kRoot), (Strings{"First", "m", "Last"}));
  EXPECT_EQ(d->PathTo(d->selectedTreeNode).size(), 5002u);
  EXPECT_TRUE(d->OnOk());
  EXPECT_EQ(d->selectedName, longName);

  d->IconsLoaded(false);
  d->OnInit();
  EXPECT_TRUE(d->tree.empty() && d->list.empty());
}

// The command and the first choice after an open.
struct DatabaseChooserTest : OpenDatabaseDialogTest {
  Strings connects;
  std::string connected;
  std::unique_ptr<CDatabaseChooser> chooser;

  void OpenConfig(const std::string& sections) {
    ASSERT_TRUE(doc.OpenDocumentConfig(dir.Write("c.tcf", "conf_version = 1.1\n" + sections)))
        << ::testing::PrintToString(ui.Texts());
    chooser =
        std::make_unique<CDatabaseChooser>(config, info, doc.Loader(), doc.Fetcher(), doc.Lexer(),
                                           settings, ui, [this](const std::string& name) {
                                             connects.push_back(name);
                                             connected = name;
                                           });
    chooser->connectedName = [this] { return connected; };
  }
  std::string Stored(const char* entry) {
    return settings.ReadSettingText(kSectionDefaultDatabase, entry, "-");
  }
};

TEST_F(DatabaseChooserTest, OneOrDefaultDatabaseConnectsWithoutTheDialog) {
  OpenConfig(Section("only", "Only"));
  chooser->FirstSelection();
  EXPECT_TRUE(chooser->ConnectToDatabaseCommand());
  EXPECT_EQ(connects, (Strings{"Only", "Only"}));

  doc.Config().documentOpened = false;
  connects.clear();
  OpenConfig(Section("a", "Alpha") + Section("b", "Beta", "dflt_db\n"));
  chooser->FirstSelection();
  EXPECT_EQ(connects, (Strings{"Beta"}));
  EXPECT_TRUE(ui.dialogKinds.empty());
  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(ui.Texts());
}

TEST_F(DatabaseChooserTest, DialogChoiceIsConnectedAndStored) {
  cwd.Write("db.ifo", "$b\nAbout Beta\n");
  OpenConfig(Section("a", "Alpha") + Section("b", "Beta"));
  chooser->FirstSelection();  // cancelled: nothing connected or stored
  EXPECT_EQ(ui.dialogKinds, (Strings{"open-database"}));
  EXPECT_TRUE(connects.empty());
  EXPECT_EQ(Stored(kEntryDefaultOrder), "-");

  ui.QueueDialog([](CDialogModel& m) {
    auto& d = static_cast<Dialog&>(m);
    d.SetOrder(Dialog::kAlphabetic);
    d.SetAnswerText("Beta");
    return d.infoText == "About Beta\r\n";
  });
  EXPECT_TRUE(chooser->ConnectToDatabaseCommand());
  EXPECT_EQ(connects, (Strings{"Beta"}));
  EXPECT_EQ(Stored(kEntryDefaultOrder), "1");
  EXPECT_EQ(Stored(kEntryDefaultDatabase), "-");

  // Saved as default; the connected database is not connected again.
  ui.QueueDialog([](CDialogModel& m) {
    auto& d = static_cast<Dialog&>(m);
    d.SetOrder(Dialog::kHierarchy);
    d.SetAnswerText("Beta");
    d.saveAsDefault = true;
    return true;
  });
  EXPECT_TRUE(chooser->ConnectToDatabaseCommand());
  EXPECT_EQ(connects, (Strings{"Beta"}));
  EXPECT_EQ(Stored(kEntryDefaultOrder), "0");
  EXPECT_EQ(Stored(kEntryDefaultDatabase), "Beta");
  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(ui.Texts());
}

}  // namespace
