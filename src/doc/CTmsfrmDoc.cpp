#include "doc/CTmsfrmDoc.h"

#include "app/CAppState.h"
#include "app/CFontDlg.h"
#include "app/Ui.h"
#include "config/CConfigFetcher.h"
#include "config/CConfigLexer.h"
#include "config/CConfigLoader.h"
#include "config/CDatabaseChooser.h"
#include "doc/CDocBrowse.h"
#include "doc/CDocExternal.h"
#include "doc/CDocOutput.h"
#include "driver/CAboutDatabaseDlg.h"
#include "driver/CDriverLink.h"
#include "driver/CListSummary.h"
#include "output/CAbstract.h"
#include "output/CRecordFormat.h"
#include "output/CResultHeaders.h"
#include "search/CQueryList.h"
#include "search/CSavedQueries.h"
#include "search/CSearchForm.h"

CTmsfrmDoc::CTmsfrmDoc(CAppState& app, CSettingsStore& settings, Ui& ui, EventLoop& loop)
    : app(app),
      settings(settings),
      ui(ui),
      loop(loop),
      lexer(std::make_unique<CConfigLexer>(ui)),
      fetcher(std::make_unique<CConfigFetcher>(app, ui)),
      loader(std::make_unique<CConfigLoader>(config, *lexer, *fetcher, app, settings, ui)) {
  link = std::make_unique<CDriverLink>(config, infoTexts, app, ui, loop,
                                       [this](const std::string& name) { SelectDatabase(name); });
  chooser = std::make_unique<CDatabaseChooser>(
      config, infoTexts, *loader, *fetcher, *lexer, settings, ui,
      [this](const std::string& name) { ConnectToDatabase(name); });
  chooser->connectedName = [this] { return link->ConnectedName(); };
  queryList = std::make_unique<CQueryList>();
  form = std::make_unique<CSearchForm>(config, *link, app, ui, *queryList);
  savedQueries = std::make_unique<CSavedQueries>(*queryList, *form, ui);
  listSummary = std::make_unique<CListSummary>(*link, config, app, settings, ui, loop);
  abstractWindow = std::make_unique<CAbstract>(app, settings, ui);
  recordFormat = std::make_unique<CRecordFormat>(*link, config, settings, app);
  headers = std::make_unique<CResultHeaders>();
  docOutput = std::make_unique<CDocOutput>(*listSummary, *abstractWindow, *recordFormat, *headers,
                                           ui, loop, app, settings);
  docExternal = std::make_unique<CDocExternal>(config, app, settings, ui, *link, *listSummary);
  editCommands = std::make_unique<CEditCommands>(mainView, *abstractWindow);
  mainView.AddPages();
  // Basic mode is not offered yet.
  mainView.EnableTab(CMainView::PAGE_BASIC, false);
  WireLink();
  WireForm();
  WireResults();
  // After the link's wiring: basic mode is set up after the criteria form.
  browse = std::make_unique<CDocBrowse>(*this, ui, loop);
}

void CTmsfrmDoc::WireLink() {
  CDriverLinkEvents& events = link->Events();
  wiring += events.captionChanged.Connect([this](const std::string& text) {
    caption = text;
    Changed();
  });
  wiring += events.headingChanged.Connect([this](const std::string&) { Changed(); });
  wiring += events.linkStateChanged.Connect([this](LinkState) { Changed(); });
  wiring +=
      events.showDatabaseInfo.Connect([this](const std::string& text) { ShowDatabaseInfo(text); });
  wiring += events.searchButtonEnabled.Connect([this](bool on) { form->SetSearchEnabled(on); });
  wiring += events.viewEnabled.Connect([this](bool on) { form->SetViewEnabled(on); });
  wiring += events.connectStarted.Connect([this](const CDBDescRec& db) { form->OnConnect(db); });
  wiring += events.disconnected.Connect([this] { Disconnected(); });
  wiring += events.resetResultWindows.Connect([this] {
    listSummary->Reset();
    abstractWindow->ClearText();
  });
  wiring += events.hitCount.Connect(
      [this](int count, const std::string& message) { listSummary->HitCount(count, message); });
  wiring += events.titleReceived.Connect(
      [this](int number, const std::string& text) { listSummary->AddTitle(number, text); });
  wiring += events.summaryRecord.Connect(
      [this](int number, const std::string& text) { listSummary->SummaryArrived(number, text); });
  wiring += events.fullRecord.Connect(
      [this](const std::string& text) { abstractWindow->AddRecordText(text); });
  wiring += events.enableRedraw.Connect([this](bool on) { abstractWindow->EnableRedraw(on); });
  wiring += events.showRecordPage.Connect([this] { abstractWindow->ShowRecordPage(); });
  wiring += events.fieldListReceived.Connect([this] { recordFormat->LoadRecordFormat(); });
}

void CTmsfrmDoc::WireForm() {
  wiring +=
      form->onNothingToSearch.Connect([this] { mainView.SelectPage(CMainView::PAGE_SUMMARY); });
  wiring += form->onBeforeSearch.Connect([this] {
    listSummary->ResetForSearch();
    abstractWindow->ClearText();
    listSummary->ClearSummaryCache();
    BuildHeaders();
  });
}

void CTmsfrmDoc::WireResults() {
  wiring += listSummary->onSearchEnabled.Connect(
      [this](bool enabled) { form->SetSearchEnabled(enabled); });
  wiring += listSummary->onShowSummaryPage.Connect(
      [this] { mainView.SelectPage(CMainView::PAGE_SUMMARY); });
  wiring += listSummary->onShowRecordPage.Connect(
      [this] { mainView.SelectPage(CMainView::PAGE_RECORD); });
  wiring += listSummary->onClearFullRecords.Connect([this] { abstractWindow->ClearText(); });
  wiring +=
      abstractWindow->onShowPage.Connect([this] { mainView.SelectPage(CMainView::PAGE_RECORD); });
}

void CTmsfrmDoc::ChangeResultFont(const FontDesc& current) {
  if (auto chosen = CFontDlg::AskAndStore(ui, settings, current)) {
    listSummary->SetFont(*chosen);
    abstractWindow->SetFont(*chosen);
  }
}

void CTmsfrmDoc::BuildHeaders() {
  CResultHeaders::Search search;
  const CDBDescRec* db = config.currentDatabase;
  search.databaseName = db != nullptr ? db->name : link->ConnectedName();
  search.basicMode = link->BasicModeSearch();
  int rowCount = db != nullptr ? db->rowCount : 0;
  for (int r = 0; r < rowCount && r < CSearchForm::kRows; ++r) {
    auto i = static_cast<size_t>(r);
    CResultHeaders::Row row;
    row.fieldName = form->rowFieldNames[i];
    const CDBFieldDescRec* field = form->RowField(r);
    row.rangeType = field != nullptr ? field->rangeType : 0;
    row.term = form->rowTerms[i];
    row.fromText = form->rangeFrom[i].FormatEnd();
    row.toText = form->rangeTo[i].FormatEnd();
    search.rows.push_back(row);
  }
  if (db != nullptr) {
    for (size_t b = 0; b < db->limitFields.size(); ++b) {
      bool checked = b < CSearchForm::kLimitBoxes && form->limitChecked[b] != 0;
      search.limits.push_back({db->limitFields[b].name, checked});
    }
  }
  headers->Build(search);
}

void CTmsfrmDoc::RecordFormatCommand() {
  if (recordFormat->RecordFormatCommand(ui)) {
    listSummary->ClearSummaryCache();
  }
}

CTmsfrmDoc::~CTmsfrmDoc() {
  wiring.Clear();
  // Closing the document closes its connection.
  if (link && link->Connection().HasSocket()) {
    link->SendClose();
  }
}

bool CTmsfrmDoc::OpenDocumentConfig(const std::string& path) {
  bool opened = loader->OpenDocumentConfig(path);
  link->SetLinkState(LINK_UNCONNECTED);
  if (opened) {
    pathName = path;
    recordFormat->LoadRecordFormat();
  }
  return opened;
}

void CTmsfrmDoc::FirstSelection() {
  chooser->FirstSelection();
}

void CTmsfrmDoc::ConnectToDatabaseCommand() {
  if (!link->CanConnect()) {
    return;
  }
  chooser->ConnectToDatabaseCommand();
}

void CTmsfrmDoc::ConnectToDatabase(const std::string& name) {
  link->ConnectToDatabase(name);
}

void CTmsfrmDoc::DisconnectCommand() {
  if (link->CanDisconnect()) {
    link->Disconnect();
  }
}

bool CTmsfrmDoc::CanShowDatabaseInfo() const {
  return !link->DatabaseInfoText().empty();
}

void CTmsfrmDoc::ShowDatabaseInfoCommand() {
  if (CanShowDatabaseInfo()) {
    ShowDatabaseInfo(link->DatabaseInfoText());
  }
}

void CTmsfrmDoc::SelectDatabase(const std::string& name) {
  loader->SelectDatabase(name);
}

const std::string& CTmsfrmDoc::Heading() const {
  return link->Heading();
}

LinkState CTmsfrmDoc::LinkStateValue() const {
  return link->State();
}

const std::string& CTmsfrmDoc::ConnectedName() const {
  return link->ConnectedName();
}

void CTmsfrmDoc::Changed() {
  onChanged();
}

void CTmsfrmDoc::Disconnected() {
  mainView.SelectPage(CMainView::PAGE_CRITERIA);
  mainView.EnableTab(CMainView::PAGE_BASIC, false);
  form->OnDisconnect();
}

void CTmsfrmDoc::ShowDatabaseInfo(const std::string& text) {
  CAboutDatabaseDlg dialog(text);
  ui.RunDialog(dialog);
}
