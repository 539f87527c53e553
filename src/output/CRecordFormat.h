#pragma once

#include <string>

class CAppState;
class CConfiguration;
class CDriverLink;
class CSettingsStore;
class Ui;

// The record format options of the current database: field labels, the
// header of saved results, and which full-record fields the driver includes.
// Labels and fields live on the driver link, which sends them with every
// record request; this class keeps the header choice and stores and reads
// the options per database in "Database Field Formats".
class CRecordFormat {
 public:
  CRecordFormat(CDriverLink& link, CConfiguration& config, CSettingsStore& settings,
                CAppState& app);

  // 0 expanded, 1 abbreviated field labels.
  int AbbreviatedLabels() const;
  void SetAbbreviatedLabels(int value);
  // The included fields' names, each followed by a zero byte.
  const std::string& IncludedFieldList() const;

  // The stored form of the current options.
  std::string StoredForm() const;
  // "&Save Format Options" and the dialog's "Save as Default".
  void SaveRecordFormat();
  // After a field list arrived, and after a configuration was read.
  void LoadRecordFormat();
  // "Record Format...": runs the dialog and takes its choices. True on OK;
  // summaries fetched before then no longer match and must be dropped.
  bool RecordFormatCommand(Ui& ui);

  // 0 None, 1 Brief, 2 Full.
  int headerMode = 1;
  // What the last dialog could not use of the arguments typed into it.
  std::string lastArgumentError;

 private:
  std::string Key() const;
  void ApplyStoredForm(const std::string& value);

  CDriverLink& link;
  CConfiguration& config;
  CSettingsStore& settings;
  CAppState& app;
};
