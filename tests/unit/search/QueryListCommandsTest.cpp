#include "QueryListFixture.h"
#include "search/CQueryNameDlg.h"

namespace {

using Strings = std::vector<std::string>;
using Command = CSavedQueries::Command;

struct QueryListCommandsTest : QueryListFixture {
  void AddNames(const Strings& names) {
    for (const auto& name : names) {
      CQueryRecord record;
      record.name = name;
      queries.AddLoaded(record);
    }
  }

  // The dialog as its command runs it, the name box typed with `name`.
  void Answer(const std::string& name) {
    ui.QueueDialog([name](CDialogModel& dialog) {
      dynamic_cast<CQueryNameDlg&>(dialog).SetAnswerText(name);
      return true;
    });
  }
};

TEST_F(QueryListCommandsTest, DialogListsNamesSortedAndGrowsWithThem) {
  CQueryNameDlg none(CQueryNameDlg::Mode::Naming, queries, ui);
  none.OnInit();
  EXPECT_EQ(none.Caption(), "Tamsel Queries");
  EXPECT_FALSE(none.listShown || none.listEnabled);
  EXPECT_EQ(none.ExtraHeight(), 0);

  const std::vector<std::pair<int, int>> heights = {{1, 0}, {2, 11}, {3, 22}, {4, 33}, {9, 33}};
  for (auto [count, extra] : heights) {
    CQueryList list;
    for (int i = 0; i < count; ++i) {
      CQueryRecord record;
      record.name = std::string(1, static_cast<char>('a' + i));
      list.AddLoaded(record);
    }
    CQueryNameDlg dialog(CQueryNameDlg::Mode::Choosing, list, ui);
    dialog.OnInit();
    EXPECT_TRUE(dialog.listShown && dialog.listEnabled);
    EXPECT_EQ(dialog.ExtraHeight(), extra) << count;
  }

  AddNames({"gamma", "beta", "Alpha", "alpha"});
  CQueryNameDlg dialog(CQueryNameDlg::Mode::Choosing, queries, ui);
  dialog.OnInit();
  EXPECT_EQ(dialog.list, (Strings{"Alpha", "alpha", "beta", "gamma"}));

  // Typing selects the first entry that begins with the text; a text that
  // begins none keeps the selection.
  dialog.TypeName("B");
  EXPECT_EQ(dialog.selectedIndex, 2);
  dialog.TypeName("bx");
  EXPECT_EQ(dialog.selectedIndex, 2);
  dialog.TypeName("ALP");
  EXPECT_EQ(dialog.selectedIndex, 0);
}

TEST_F(QueryListCommandsTest, NamingRefusesEmptyAndExistingNames) {
  AddNames({"ABC"});
  CQueryNameDlg dialog(CQueryNameDlg::Mode::Naming, queries, ui);
  dialog.OnInit();
  EXPECT_FALSE(dialog.OnOk());
  dialog.TypeName("abc");
  EXPECT_FALSE(dialog.OnOk());
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text,
            "No query name was entered\nPlease enter a name or press 'Cancel'");
  EXPECT_EQ(ui.messages[1].text,
            "A query of that name already exists.\n\nUse a new name, or delete the \nold query "
            "before reusing the name.");
  for (const auto& message : ui.messages) {
    EXPECT_EQ(message.caption, " ");
    EXPECT_EQ(message.buttons, MsgButtons::Ok);
  }
  // A refusal leaves the dialog open: the next try goes through.
  dialog.TypeName("abcd");
  EXPECT_TRUE(dialog.OnOk());
  EXPECT_EQ(dialog.ChosenName(), "abcd");
}

TEST_F(QueryListCommandsTest, ChoosingTakesTheTypedNameOrTheSelection) {
  AddNames({"Sea", "river"});
  CQueryNameDlg dialog(CQueryNameDlg::Mode::Choosing, queries, ui);
  dialog.OnInit();
  dialog.TypeName("SEA");
  ASSERT_TRUE(dialog.OnOk());
  EXPECT_EQ(dialog.ChosenName(), "Sea");

  dialog.OnInit();
  dialog.TypeName("lake");
  EXPECT_FALSE(dialog.OnOk());
  EXPECT_EQ(ui.Texts(), Strings{"No query was selected.\nPlease select a query."});
  dialog.SelectIndex(0);
  ASSERT_TRUE(dialog.OnOk());
  EXPECT_EQ(dialog.ChosenName(), "river");
  EXPECT_EQ(dialog.nameText, "river");

  dialog.OnInit();
  EXPECT_TRUE(dialog.DoubleClickIndex(1));
  EXPECT_EQ(dialog.ChosenName(), "Sea");
  dialog.OnInit();
  EXPECT_FALSE(dialog.DoubleClickIndex(7));
}

TEST_F(QueryListCommandsTest, MenuCommandsNameSelectAndDelete) {
  const auto& items = CSavedQueries::MenuItems();
  EXPECT_STREQ(items[0].text, "&Name current query...");
  EXPECT_STREQ(items[3].prompt, "Select a query from the currently loaded list");

  int changes = 0;
  Connection watch = queries.changed.Connect([&] { ++changes; });
  form.SetTerm(0, "whale");
  Answer("sea");
  EXPECT_TRUE(commands.Run(Command::Name));
  form.SetTerm(0, "river");
  Answer("Sea");  // refused, then a new name
  Answer("fresh");
  EXPECT_TRUE(commands.Run(Command::Name));
  EXPECT_EQ(queries.queryNames, (Strings{"sea", "fresh"}));
  EXPECT_EQ(queries.currentQueryName, "fresh");
  EXPECT_EQ(ui.messages.size(), 1u);

  Answer("SEA");
  EXPECT_TRUE(commands.Run(Command::Select));
  EXPECT_EQ(form.rowTerms[0], "whale");
  EXPECT_EQ(queries.currentQueryName, "sea");

  // Deleting leaves the current name alone; a cancelled dialog deletes nothing.
  Answer("sea");
  EXPECT_TRUE(commands.Run(Command::Delete));
  EXPECT_FALSE(commands.Run(Command::Delete));
  EXPECT_EQ(queries.queryNames, Strings{"fresh"});
  EXPECT_EQ(queries.Find("sea"), nullptr);
  EXPECT_EQ(queries.currentQueryName, "sea");
  EXPECT_EQ(changes, 3);

  // Loading a query of an existing name replaces it at the end of the list.
  AddNames({"later", "fresh"});
  EXPECT_EQ(queries.queryNames, (Strings{"later", "fresh"}));
  EXPECT_EQ(queries.Find("fresh")->fields[0].term, "");

  EXPECT_TRUE(commands.Run(Command::DeleteAll));
  EXPECT_TRUE(queries.Empty());

  // Select needs a connected database; the rest are always there.
  form.OnDisconnect();
  EXPECT_FALSE(commands.IsEnabled(Command::Select));
  EXPECT_TRUE(commands.IsEnabled(Command::Name) && commands.IsEnabled(Command::Retrieve));
  size_t dialogs = ui.dialogKinds.size();
  EXPECT_FALSE(commands.Run(Command::Select));
  EXPECT_EQ(ui.dialogKinds.size(), dialogs);
}

}  // namespace
