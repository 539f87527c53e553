#pragma once

#include <string>
#include <vector>

#include "app/CDialogModel.h"

class CDriverLink;
class Ui;

// "Record Format Options": field labels, the header of saved results, and,
// while the link is connected and idle, one check box per full-record field.
class CRecordFormatDlg : public CDialogModel {
 public:
  static constexpr int kMaxBoxes = 128;
  // More fields than this widen the grid to four columns.
  static constexpr int kThreeColumnMax = 18;
  // Gaps in pixels between grid cells and between the buttons below the grid.
  static constexpr int kColumnGap = 2;
  static constexpr int kRowGap = 3;
  static constexpr int kButtonGap = 4;

  struct Box {
    std::string caption;
    std::string fieldName;
    bool checked = false;
    bool checkedByDefault = false;
  };

  CRecordFormatDlg(CDriverLink& link, std::string databaseName, int abbreviatedLabels,
                   int headerMode, Ui& ui);

  const char* Kind() const override { return "record-format"; }
  std::string Caption() const override { return "Record Format Options"; }
  void OnInit() override;
  // Refuses when the database has fields and none is checked.
  bool OnOk() override;
  // The CLI's `format` arguments, blank-separated.
  void SetAnswerText(const std::string& text);

  // Fills the dialog from `format` arguments: labels abbreviated|expanded,
  // header none|brief|full, fields all|none|default|NAME,NAME..., save-default.
  // Returns what was wrong, or "" when every argument was understood.
  std::string ApplyArguments(const std::vector<std::string>& words);

  void SelectAll();
  void ClearAll();
  void DefaultFields();

  int Columns() const;
  int Rows() const;
  // The line above the grid.
  std::string FieldHeading() const;

  int abbreviatedLabels = 0;
  int headerMode = 1;
  bool saveAsDefault = false;
  bool fieldSectionShown = false;
  std::vector<Box> boxes;
  // What the last SetAnswerText could not use.
  std::string argumentError;

 private:
  std::string SetFieldsByName(const std::string& list);

  CDriverLink& link;
  std::string databaseName;
  Ui& ui;
};
