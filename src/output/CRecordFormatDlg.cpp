#include "output/CRecordFormatDlg.h"

#include <algorithm>

#include "app/Ui.h"
#include "driver/CDriverLink.h"
#include "driver/LinkState.h"

CRecordFormatDlg::CRecordFormatDlg(CDriverLink& link, std::string databaseName,
                                   int abbreviatedLabels, int headerMode, Ui& ui)
    : abbreviatedLabels(abbreviatedLabels),
      headerMode(headerMode),
      link(link),
      databaseName(std::move(databaseName)),
      ui(ui) {}

void CRecordFormatDlg::OnInit() {
  saveAsDefault = false;
  boxes.clear();
  // The field list is only trusted while connected and idle.
  fieldSectionShown = link.IsIdle();
  if (!fieldSectionShown) {
    return;
  }
  for (const auto& field : link.Fields()) {
    if (static_cast<int>(boxes.size()) == kMaxBoxes) {
      break;
    }
    boxes.push_back(
        {field.caption, field.fieldName, field.included != 0, field.includedByDefault != 0});
  }
}

int CRecordFormatDlg::Columns() const {
  return link.FieldCount() > kThreeColumnMax ? 4 : 3;
}

int CRecordFormatDlg::Rows() const {
  int count = static_cast<int>(boxes.size());
  return (count + Columns() - 1) / Columns();
}

std::string CRecordFormatDlg::FieldHeading() const {
  return "Include these fields in the full records for: " + databaseName;
}

void CRecordFormatDlg::SelectAll() {
  for (auto& box : boxes) {
    box.checked = true;
  }
}

void CRecordFormatDlg::ClearAll() {
  for (auto& box : boxes) {
    box.checked = false;
  }
}

void CRecordFormatDlg::DefaultFields() {
  for (auto& box : boxes) {
    box.checked = box.checkedByDefault;
  }
}

bool CRecordFormatDlg::OnOk() {
  // Typed arguments that could not be used leave the dialog open.
  if (!argumentError.empty()) {
    return false;
  }
  if (fieldSectionShown) {
    bool anyChecked =
        std::any_of(boxes.begin(), boxes.end(), [](const Box& box) { return box.checked; });
    // The link keeps its fields until the choice is accepted, so a refusal
    // followed by Cancel leaves the records as they were.
    if (!boxes.empty() && !anyChecked) {
      ui.MessageBox("You must select at least one field for display.", "Message...", MsgButtons::Ok,
                    MsgIcon::Warning);
      return false;
    }
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      link.SetFieldIncluded(i, boxes[i].checked);
    }
  }
  // Rebuilt from the flags even when the grid was hidden: an empty list
  // would ask the driver for records without fields.
  link.RebuildIncludedFieldList();
  return true;
}

std::string CRecordFormatDlg::SetFieldsByName(const std::string& list) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t comma = list.find(',', start);
    if (comma == std::string::npos) {
      comma = list.size();
    }
    if (comma > start) {
      names.push_back(list.substr(start, comma - start));
    }
    start = comma + 1;
  }
  for (const auto& name : names) {
    auto known = std::find_if(boxes.begin(), boxes.end(),
                              [&](const Box& box) { return box.fieldName == name; });
    if (known == boxes.end()) {
      return "unknown field: " + name;
    }
  }
  for (auto& box : boxes) {
    box.checked = std::find(names.begin(), names.end(), box.fieldName) != names.end();
  }
  return "";
}

std::string CRecordFormatDlg::ApplyArguments(const std::vector<std::string>& words) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "save-default") {
      saveAsDefault = true;
      continue;
    }
    if (i + 1 >= words.size()) {
      return "missing value after " + word;
    }
    const std::string& value = words[++i];
    if (word == "labels" && (value == "abbreviated" || value == "expanded")) {
      abbreviatedLabels = value == "abbreviated" ? 1 : 0;
    } else if (word == "header" && (value == "none" || value == "brief" || value == "full")) {
      headerMode = value == "none" ? 0 : value == "brief" ? 1 : 2;
    } else if (word == "fields") {
      if (!fieldSectionShown) {
        return "no field list to choose from";
      }
      if (value == "all") {
        SelectAll();
      } else if (value == "none") {
        ClearAll();
      } else if (value == "default") {
        DefaultFields();
      } else if (std::string error = SetFieldsByName(value); !error.empty()) {
        return error;
      }
    } else {
      return "bad argument: " + word + " " + value;
    }
  }
  return "";
}

void CRecordFormatDlg::SetAnswerText(const std::string& text) {
  std::vector<std::string> words;
  std::size_t start = text.find_first_not_of(' ');
  while (start != std::string::npos) {
    std::size_t end = text.find(' ', start);
    words.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    start = end == std::string::npos ? end : text.find_first_not_of(' ', end);
  }
  argumentError = ApplyArguments(words);
}
