#pragma once

#include <memory>
#include <string>

#include "app/FontDesc.h"
#include "app/Signal.h"
#include "config/CConfiguration.h"
#include "config/CInfoTexts.h"
#include "doc/CEditCommands.h"
#include "doc/CMainView.h"
#include "driver/LinkState.h"

class CAppState;
class CSettingsStore;
class Ui;
class EventLoop;
class CConfigLexer;
class CConfigFetcher;
class CConfigLoader;
class CDatabaseChooser;
class CDriverLink;
class CQueryList;
class CSavedQueries;
class CSearchForm;
class CListSummary;
class CAbstract;
class CRecordFormat;
class CResultHeaders;
class CDocBrowse;
class CDocOutput;
class CDocExternal;

// One opened configuration: the document that owns every subsystem's state
// for it and carries the flows between them. Front ends create one per opened
// configuration and show it in a window of its own.
class CTmsfrmDoc {
 public:
  CTmsfrmDoc(CAppState& app, CSettingsStore& settings, Ui& ui, EventLoop& loop);
  ~CTmsfrmDoc();

  // Loads the configuration named by `path` (or the pending remote one).
  // False when it could not be opened; the reason has been shown.
  bool OpenDocumentConfig(const std::string& path);

  // Right after a successful open: the default or only database is
  // connected, otherwise the Open Database dialog comes up.
  void FirstSelection();
  // "&Connect to Database...".
  void ConnectToDatabaseCommand();
  void ConnectToDatabase(const std::string& name);
  void DisconnectCommand();
  // "About the &Database": the driver's description, while there is one.
  bool CanShowDatabaseInfo() const;
  void ShowDatabaseInfoCommand();

  // Makes the named database current, reading its own file when needed.
  void SelectDatabase(const std::string& name);

  const std::string& PathName() const { return pathName; }
  // The child window's caption: the connected database, or "Unconnected".
  const std::string& Title() const { return caption; }
  // The heading of the search page.
  const std::string& Heading() const;
  LinkState LinkStateValue() const;
  const std::string& ConnectedName() const;

  CConfiguration& Config() { return config; }
  const CConfiguration& Config() const { return config; }
  CInfoTexts& InfoTexts() { return infoTexts; }
  CConfigLexer& Lexer() { return *lexer; }
  CConfigLoader& Loader() { return *loader; }
  CConfigFetcher& Fetcher() { return *fetcher; }
  CDriverLink& Link() { return *link; }
  CSearchForm& Form() { return *form; }
  CQueryList& Queries() { return *queryList; }
  // The "&Queries" menu's commands.
  CSavedQueries& SavedQueries() { return *savedQueries; }
  CMainView& MainView() { return mainView; }
  // Which Edit menu command applies on which page.
  const CEditCommands& EditCommands() const { return *editCommands; }
  CListSummary& Summary() { return *listSummary; }
  // Change Font of the summary or full record window: one choice, starting
  // from `current`, sets and stores the font of both.
  void ChangeResultFont(const FontDesc& current);
  CAbstract& Abstract() { return *abstractWindow; }
  CRecordFormat& RecordFormat() { return *recordFormat; }
  CResultHeaders& Headers() { return *headers; }
  // The browse lists and the basic mode page.
  CDocBrowse& Browse() { return *browse; }
  // Save/Mail and Print of the result windows.
  CDocOutput& Output() { return *docOutput; }
  // Extension programs and the database help page.
  CDocExternal& External() { return *docExternal; }
  // The Record Format dialog, then what its OK changes.
  void RecordFormatCommand();

  // Front ends redraw when the document changes what they show.
  Signal<> onChanged;

 private:
  void ShowDatabaseInfo(const std::string& text);
  void Disconnected();

  void WireLink();
  void WireForm();
  void WireResults();
  // The headers of the search being sent, from the form.
  void BuildHeaders();

  void Changed();

  CAppState& app;
  CSettingsStore& settings;
  Ui& ui;
  EventLoop& loop;
  CConfiguration config;
  CInfoTexts infoTexts;
  std::unique_ptr<CConfigLexer> lexer;
  std::unique_ptr<CConfigFetcher> fetcher;
  std::unique_ptr<CConfigLoader> loader;
  std::unique_ptr<CDriverLink> link;
  std::unique_ptr<CDatabaseChooser> chooser;
  std::unique_ptr<CQueryList> queryList;
  std::unique_ptr<CSearchForm> form;
  std::unique_ptr<CSavedQueries> savedQueries;
  std::unique_ptr<CListSummary> listSummary;
  std::unique_ptr<CAbstract> abstractWindow;
  std::unique_ptr<CRecordFormat> recordFormat;
  std::unique_ptr<CResultHeaders> headers;
  std::unique_ptr<CDocOutput> docOutput;
  std::unique_ptr<CDocExternal> docExternal;
  CMainView mainView;
  std::unique_ptr<CEditCommands> editCommands;
  std::unique_ptr<CDocBrowse> browse;
  std::string pathName;
  std::string caption = "Unconnected";
  // Declared last: disconnected first, before the models it wires go away.
  ConnectionBag wiring;
};
