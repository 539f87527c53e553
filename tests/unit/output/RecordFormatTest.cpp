#include <gtest/gtest.h>

#include "FakeUi.h"
#include "ManualEventLoop.h"
#include "TempDir.h"
#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
#include "config/CConfiguration.h"
#include "config/CInfoTexts.h"
#include "driver/CDriverLink.h"
#include "output/CRecordFormat.h"
#include "output/CRecordFormatDlg.h"

namespace {

struct RecordFormatTest : ::testing::Test {
  TempDir dir;
  FakeUi ui;
  CAppState app;
  CSettingsStore settings{dir.File("Tamsel.conf")};
  ManualEventLoop loop;
  CConfiguration config;
  CInfoTexts infoTexts;
  CDriverLink link{config, infoTexts, app, ui, loop, [](const std::string&) {}};
  CRecordFormat format{link, config, settings, app};

  void SetUp() override {
    CDBDescRec& db = config.FindOrCreateDatabase("cat");
    db.name = "Catalogue";
    config.currentDatabase = &db;
    link.SetLinkState(LINK_IDLE);
    // TI and AU proposed by the driver, AB not.
    Fields({{"TI", true}, {"AU", true}, {"AB", false}});
  }

  // A field list reply as the driver sends it.
  void Fields(const std::vector<std::pair<std::string, bool>>& fields) {
    std::string body;
    for (const auto& [name, byDefault] : fields) {
      body += static_cast<char>(byDefault ? 1 : 0) + name + '\0' + "Caption " + name + '\0';
    }
    PacketHeader h;
    h.type = MSG_DATABASE_INFO;
    h.param1 = 1;
    h.param2 = static_cast<std::int32_t>(fields.size());
    h.length = static_cast<std::int32_t>(body.size());
    link.Dispatch(h, body);
  }
  void ManyFields(int count) {
    std::vector<std::pair<std::string, bool>> fields;
    for (int i = 0; i < count; ++i) {
      fields.push_back({"F" + std::to_string(i), i % 2 == 0});
    }
    Fields(fields);
  }
  std::string Stored(const std::string& key) {
    return settings.ReadSettingText(kSectionDatabaseFieldFormats, key, "<none>");
  }
  void Store(const std::string& key, const std::string& value) {
    settings.WriteSettingText(kSectionDatabaseFieldFormats, key, value);
  }
  void Include(std::initializer_list<int> flags) {
    std::size_t i = 0;
    for (int f : flags) {
      link.SetFieldIncluded(i++, f != 0);
    }
    link.RebuildIncludedFieldList();
  }
  std::vector<bool> Boxes(const CRecordFormatDlg& dialog) {
    std::vector<bool> checked;
    for (const auto& box : dialog.boxes) {
      checked.push_back(box.checked);
    }
    return checked;
  }
};

TEST_F(RecordFormatTest, StoredFormRoundTrip) {
  EXPECT_EQ(format.AbbreviatedLabels(), 0);
  EXPECT_EQ(format.headerMode, 1);
  EXPECT_EQ(format.StoredForm(), "Expanded:IncludeDatabaseHeader:TI:AU:");
  format.SaveRecordFormat();
  EXPECT_EQ(Stored("Catalogue"), "Expanded:IncludeDatabaseHeader:TI:AU:");
  EXPECT_EQ(app.StatusMessage(), "Record format saved");

  format.SetAbbreviatedLabels(1);
  format.headerMode = 2;
  Include({0, 1, 1});
  EXPECT_EQ(format.StoredForm(), "IncludeHeader:AU:AB:");
  format.LoadRecordFormat();
  EXPECT_EQ(format.AbbreviatedLabels(), 0);
  EXPECT_EQ(format.headerMode, 1);
  EXPECT_EQ(format.IncludedFieldList(), std::string("TI\0AU\0", 6));
  EXPECT_EQ(link.Fields()[2].included, 0);
}

TEST_F(RecordFormatTest, LoadingStoredValues) {
  // Abbreviated labels, full header, only AU.
  Store("Catalogue", "IncludeHeader:AU:");
  format.LoadRecordFormat();
  EXPECT_EQ(format.AbbreviatedLabels(), 1);
  EXPECT_EQ(format.headerMode, 2);
  EXPECT_EQ(format.IncludedFieldList(), std::string("AU\0", 3));

  // Expanded alone: header None, fields as the driver proposed.
  Fields({{"TI", true}, {"AU", true}, {"AB", false}});
  Store("Catalogue", "Expanded:");
  format.LoadRecordFormat();
  EXPECT_EQ(format.AbbreviatedLabels(), 0);
  EXPECT_EQ(format.headerMode, 0);
  EXPECT_EQ(format.IncludedFieldList(), std::string("TI\0AU\0", 6));

  // Abbreviated, None and no field stores nothing; the load then takes "Default".
  format.SetAbbreviatedLabels(1);
  format.headerMode = 0;
  Include({0, 0, 0});
  format.SaveRecordFormat();
  EXPECT_EQ(Stored("Catalogue"), "");
  Store("Default", "Expanded:IncludeHeader:AB:unknown:");
  format.LoadRecordFormat();
  EXPECT_EQ(format.AbbreviatedLabels(), 0);
  EXPECT_EQ(format.headerMode, 2);
  EXPECT_EQ(format.IncludedFieldList(), std::string("AB\0", 3));

  // Colons alone are no value either; with no "Default" nothing changes.
  Store("Catalogue", ":::");
  Store("Default", "");
  format.LoadRecordFormat();
  EXPECT_EQ(format.headerMode, 2);
  EXPECT_EQ(format.IncludedFieldList(), std::string("AB\0", 3));

  // Without a current database the key is "Default".
  config.currentDatabase = nullptr;
  format.SaveRecordFormat();
  EXPECT_EQ(Stored("Default"), "Expanded:IncludeHeader:AB:");
  Store("Default", "IncludeDatabaseHeader:");
  format.LoadRecordFormat();
  EXPECT_EQ(format.AbbreviatedLabels(), 1);
  EXPECT_EQ(format.headerMode, 1);
}

TEST_F(RecordFormatTest, StoredFieldsOfAnotherDatabaseKeepTheDriversChoice) {
  Store("Default", "Expanded:IncludeHeader:XX:YY:");
  format.LoadRecordFormat();
  EXPECT_EQ(format.headerMode, 2);
  EXPECT_EQ(format.IncludedFieldList(), std::string("TI\0AU\0", 6));
}

TEST_F(RecordFormatTest, DialogGridAndButtons) {
  CRecordFormatDlg dialog(link, "Catalogue", 1, 2, ui);
  dialog.OnInit();
  EXPECT_TRUE(dialog.fieldSectionShown);
  EXPECT_EQ(dialog.FieldHeading(), "Include these fields in the full records for: Catalogue");
  ASSERT_EQ(dialog.boxes.size(), 3u);
  EXPECT_EQ(dialog.boxes[2].caption, "Caption AB");
  EXPECT_EQ(Boxes(dialog), (std::vector<bool>{true, true, false}));
  dialog.ClearAll();
  EXPECT_EQ(Boxes(dialog), (std::vector<bool>{false, false, false}));
  dialog.SelectAll();
  EXPECT_EQ(Boxes(dialog), (std::vector<bool>{true, true, true}));
  dialog.ClearAll();
  dialog.DefaultFields();
  EXPECT_EQ(Boxes(dialog), (std::vector<bool>{true, true, false}));

  ManyFields(18);
  dialog.OnInit();
  EXPECT_EQ(dialog.Columns(), 3);
  EXPECT_EQ(dialog.Rows(), 6);
  ManyFields(19);
  dialog.OnInit();
  EXPECT_EQ(dialog.Columns(), 4);
  EXPECT_EQ(dialog.Rows(), 5);
  ManyFields(200);
  dialog.OnInit();
  EXPECT_EQ(dialog.boxes.size(), 128u);

  // Not idle: labels and header only.
  link.SetLinkState(LINK_RETRIEVING);
  dialog.OnInit();
  EXPECT_FALSE(dialog.fieldSectionShown);
  EXPECT_TRUE(dialog.boxes.empty());
}

TEST_F(RecordFormatTest, DialogOk) {
  // No field checked: refused, and a Cancel after it leaves the fields alone.
  ui.QueueDialog([](CDialogModel& d) {
    dynamic_cast<CRecordFormatDlg&>(d).ClearAll();
    return true;
  });
  EXPECT_FALSE(format.RecordFormatCommand(ui));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "You must select at least one field for display.");
  EXPECT_EQ(ui.messages[0].caption, "Message...");
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Warning);
  EXPECT_EQ(format.IncludedFieldList(), std::string("TI\0AU\0", 6));

  // Refused, then a second try with one field.
  ui.QueueDialog([](CDialogModel& d) {
    dynamic_cast<CRecordFormatDlg&>(d).ClearAll();
    return true;
  });
  ui.QueueDialog([](CDialogModel& d) {
    auto& dialog = dynamic_cast<CRecordFormatDlg&>(d);
    dialog.boxes[2].checked = true;
    dialog.abbreviatedLabels = 1;
    dialog.headerMode = 2;
    dialog.saveAsDefault = true;
    return true;
  });
  EXPECT_TRUE(format.RecordFormatCommand(ui));
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(format.IncludedFieldList(), std::string("AB\0", 3));
  EXPECT_EQ(format.AbbreviatedLabels(), 1);
  EXPECT_EQ(format.headerMode, 2);
  EXPECT_EQ(Stored("Catalogue"), "IncludeHeader:AB:");

  // With the field section hidden the fields stay as they are.
  link.SetLinkState(LINK_RETRIEVING);
  ui.QueueDialog([](CDialogModel& d) {
    dynamic_cast<CRecordFormatDlg&>(d).headerMode = 0;
    return true;
  });
  EXPECT_TRUE(format.RecordFormatCommand(ui));
  EXPECT_EQ(format.headerMode, 0);
  EXPECT_EQ(format.IncludedFieldList(), std::string("AB\0", 3));
  EXPECT_EQ(Stored("Catalogue"), "IncludeHeader:AB:");

  // Cancel changes nothing.
  EXPECT_FALSE(format.RecordFormatCommand(ui));
  EXPECT_EQ(format.headerMode, 0);
}

TEST_F(RecordFormatTest, CommandLineArguments) {
  CRecordFormatDlg dialog(link, "Catalogue", 1, 1, ui);
  dialog.OnInit();
  dialog.SetAnswerText("labels expanded header full fields AB,TI save-default");
  EXPECT_EQ(dialog.argumentError, "");
  EXPECT_EQ(dialog.abbreviatedLabels, 0);
  EXPECT_EQ(dialog.headerMode, 2);
  EXPECT_TRUE(dialog.saveAsDefault);
  EXPECT_EQ(Boxes(dialog), (std::vector<bool>{true, false, true}));
  EXPECT_EQ(dialog.ApplyArguments({"fields", "all", "header", "none"}), "");
  EXPECT_EQ(Boxes(dialog), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(dialog.headerMode, 0);
  EXPECT_EQ(dialog.ApplyArguments({"fields", "none"}), "");
  EXPECT_FALSE(dialog.OnOk());
  EXPECT_EQ(dialog.ApplyArguments({"fields", "default"}), "");
  EXPECT_EQ(Boxes(dialog), (std::vector<bool>{true, true, false}));
  // Unknown names change nothing.
  EXPECT_EQ(dialog.ApplyArguments({"fields", "AB,Title"}), "unknown field: Title");
  EXPECT_EQ(Boxes(dialog), (std::vector<bool>{true, true, false}));
  EXPECT_NE(dialog.ApplyArguments({"header", "large"}), "");
  EXPECT_NE(dialog.ApplyArguments({"labels"}), "");
  link.SetLinkState(LINK_RETRIEVING);
  dialog.OnInit();
  EXPECT_NE(dialog.ApplyArguments({"fields", "all"}), "");
}

}  // namespace
