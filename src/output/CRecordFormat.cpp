#include "output/CRecordFormat.h"

#include <vector>

#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
#include "app/Ui.h"
#include "config/CConfiguration.h"
#include "driver/CDriverLink.h"
#include "output/CRecordFormatDlg.h"

namespace {

std::vector<std::string> Tokens(const std::string& value) {
  std::vector<std::string> tokens;
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t colon = value.find(':', start);
    if (colon == std::string::npos) {
      colon = value.size();
    }
    if (colon > start) {
      tokens.push_back(value.substr(start, colon - start));
    }
    start = colon + 1;
  }
  return tokens;
}

}  // namespace

CRecordFormat::CRecordFormat(CDriverLink& link, CConfiguration& config, CSettingsStore& settings,
                             CAppState& app)
    : link(link), config(config), settings(settings), app(app) {}

int CRecordFormat::AbbreviatedLabels() const {
  return link.AbbreviatedLabels();
}

void CRecordFormat::SetAbbreviatedLabels(int value) {
  link.SetAbbreviatedLabels(value);
}

const std::string& CRecordFormat::IncludedFieldList() const {
  return link.IncludedFieldList();
}

std::string CRecordFormat::Key() const {
  return config.currentDatabase != nullptr ? config.currentDatabase->name
                                           : std::string(kEntryDefaultFieldFormat);
}

std::string CRecordFormat::StoredForm() const {
  std::string value;
  if (link.AbbreviatedLabels() == 0) {
    value += "Expanded:";
  }
  if (headerMode == 2) {
    value += "IncludeHeader:";
  } else if (headerMode == 1) {
    value += "IncludeDatabaseHeader:";
  }
  for (const auto& field : link.Fields()) {
    if (field.included != 0) {
      value += field.fieldName + ":";
    }
  }
  return value;
}

void CRecordFormat::SaveRecordFormat() {
  settings.WriteSettingText(kSectionDatabaseFieldFormats, Key(), StoredForm());
  app.SetStatusMessage("Record format saved");
}

void CRecordFormat::LoadRecordFormat() {
  std::string value;
  if (config.currentDatabase != nullptr) {
    value =
        settings.ReadSettingText(kSectionDatabaseFieldFormats, config.currentDatabase->name, "");
  }
  if (Tokens(value).empty()) {
    value = settings.ReadSettingText(kSectionDatabaseFieldFormats, kEntryDefaultFieldFormat, "");
  }
  ApplyStoredForm(value);
}

void CRecordFormat::ApplyStoredForm(const std::string& value) {
  std::vector<std::string> tokens = Tokens(value);
  if (tokens.empty()) {
    return;
  }
  std::size_t at = 0;
  if (tokens[at] == "Expanded") {
    link.SetAbbreviatedLabels(0);
    ++at;
  } else {
    link.SetAbbreviatedLabels(1);
  }
  if (at < tokens.size() && tokens[at] == "IncludeHeader") {
    headerMode = 2;
    ++at;
  } else if (at < tokens.size() && tokens[at] == "IncludeDatabaseHeader") {
    headerMode = 1;
    ++at;
  } else {
    headerMode = 0;
  }
  // A stored list naming none of this database's fields (a default saved
  // for another database) would leave records without any field: the
  // driver's proposal stays then.
  bool namesAField = false;
  for (std::size_t i = at; i < tokens.size(); ++i) {
    namesAField = namesAField || link.FieldIndex(tokens[i]) >= 0;
  }
  if (namesAField) {
    for (std::size_t f = 0; f < link.Fields().size(); ++f) {
      link.SetFieldIncluded(f, false);
    }
    for (std::size_t i = at; i < tokens.size(); ++i) {
      int index = link.FieldIndex(tokens[i]);
      if (index >= 0) {
        link.SetFieldIncluded(static_cast<std::size_t>(index), true);
      }
    }
  }
  link.RebuildIncludedFieldList();
}

bool CRecordFormat::RecordFormatCommand(Ui& ui) {
  std::string name = config.currentDatabase != nullptr ? config.currentDatabase->name : "";
  CRecordFormatDlg dialog(link, name, link.AbbreviatedLabels(), headerMode, ui);
  bool ok = ui.RunDialog(dialog);
  lastArgumentError = dialog.argumentError;
  if (!ok) {
    return false;
  }
  link.SetAbbreviatedLabels(dialog.abbreviatedLabels);
  headerMode = dialog.headerMode;
  if (dialog.saveAsDefault) {
    SaveRecordFormat();
  }
  return true;
}
