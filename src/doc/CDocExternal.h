#pragma once

#include <string>

#include "app/Signal.h"
#include "external/CExtensionPrograms.h"

class CAppState;
class CConfiguration;
class CDriverLink;
class CListSummary;
class CSettingsStore;
class Ui;

// The document's part that reaches outside the program: Retrieve Full's
// choice between showing records and handing their data to one of the
// database's extension programs, the extension retrieval itself, and the
// database's help page in the web browser.
class CDocExternal {
 public:
  static constexpr const char* kRetrievingText = "Retrieving...\n(this could take a while)";

  // Takes over `summary`'s retrieval method question and the link's
  // extension data replies.
  CDocExternal(CConfiguration& config, CAppState& app, CSettingsStore& settings, Ui& ui,
               CDriverLink& link, CListSummary& summary);
  ~CDocExternal();
  CDocExternal(const CDocExternal&) = delete;
  CDocExternal& operator=(const CDocExternal&) = delete;

  // Retrieve Full's question for a database with extension programs, once
  // the selection is in the retrieval: the "Retrieval Method" dialog. True
  // when it took over (a program was chosen, or the dialog was cancelled);
  // false goes on with full records.
  bool ChooseRetrievalMethod();

  // Requests the extension data of the retrieval's records for program
  // `label`, one record at a time.
  void StartExtension(const std::string& label);
  // One MSG_EXTENSION_DATA: collected; the next record is asked for, or with
  // the last one the data file is written and the program started.
  void ExtensionDataArrived(const std::string& text);

  // "&Database Help": offered only while a database is selected.
  bool DatabaseHelpEnabled() const;
  // Opens the selected database's help page; false when nothing was started.
  bool DatabaseHelpCommand();
  // The selected database's help URL, "" when there is none.
  std::string DatabaseHelpUrl() const;

  // The label of the current (or last) extension run.
  const std::string& ExtensionLabel() const { return extensionLabel; }
  // What the last finished run did: the data file ("" when none could be
  // made) and whether the program started.
  const CExtensionPrograms::Outcome& LastOutcome() const { return lastOutcome; }

 private:
  void Finish();

  CConfiguration& config;
  CAppState& app;
  CSettingsStore& settings;
  Ui& ui;
  CDriverLink& link;
  CListSummary& summary;
  std::string extensionLabel;
  bool collecting = false;
  CExtensionPrograms::Outcome lastOutcome;
  ConnectionBag wiring;
};
