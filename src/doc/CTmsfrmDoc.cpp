#include "doc/CTmsfrmDoc.h"

#include "app/CAppState.h"
#include "app/Ui.h"
#include "config/CConfigFetcher.h"
#include "config/CConfigLexer.h"
#include "config/CConfigLoader.h"
#include "config/CDatabaseChooser.h"
#include "driver/CAboutDatabaseDlg.h"
#include "driver/CDriverLink.h"
#include "driver/CListSummary.h"
#include "output/CAbstract.h"
#include "output/CRecordFormat.h"
#include "output/CResultHeaders.h"
#include "search/CQueryList.h"
#include "search/CSearchForm.h"

CTmsfrmDoc::CTmsfrmDoc(CAppState& app, CSettingsStore& settings, Ui& ui, EventLoop& loop)
    : app(app),
      settings(settings),
      ui(ui),
      loop(loop),
      lexer(std::make_unique<CConfigLexer>(ui)),
      fetcher(std::make_unique<CConfigFetcher>(app, ui)),
      loader(std::make_unique<CConfigLoader>(config, *lexer, *fetcher, app, settings, ui)) {
  link = std::make_unique<CDriverLink>(config, infoTexts, app, ui, loop, *this,
                                       [this](const std::string& name) { SelectDatabase(name); });
  chooser = std::make_unique<CDatabaseChooser>(
      config, infoTexts, *loader, *fetcher, *lexer, settings, ui,
      [this](const std::string& name) { ConnectToDatabase(name); });
  chooser->connectedName = [this] { return link->connectedName; };
  queryList = std::make_unique<CQueryList>();
  form = std::make_unique<CSearchForm>(config, *link, app, ui, *queryList);
  listSummary = std::make_unique<CListSummary>(*link, config, app, settings, ui, loop);
  abstractWindow = std::make_unique<CAbstract>(app, settings, ui);
  recordFormat = std::make_unique<CRecordFormat>(*link, config, settings, app);
  headers = std::make_unique<CResultHeaders>();
  mainView.AddPages();
  // Basic mode is not offered yet.
  mainView.EnableTab(CMainView::PAGE_BASIC, false);
  WireForm();
  WireResults();
}

void CTmsfrmDoc::WireForm() {
  form->onNothingToSearch = [this] { mainView.SelectPage(CMainView::PAGE_SUMMARY); };
  form->onBeforeSearch = [this] {
    listSummary->ResetForSearch();
    abstractWindow->ClearText();
    listSummary->ClearSummaryCache();
    BuildHeaders();
  };
}

void CTmsfrmDoc::WireResults() {
  listSummary->onSearchEnabled = [this](bool enabled) { form->SetSearchEnabled(enabled); };
  listSummary->onShowSummaryPage = [this] { mainView.SelectPage(CMainView::PAGE_SUMMARY); };
  listSummary->onShowRecordPage = [this] { mainView.SelectPage(CMainView::PAGE_RECORD); };
  listSummary->onClearFullRecords = [this] { abstractWindow->ClearText(); };
  listSummary->onFontChanged = [this](const FontDesc& font) { abstractWindow->SetFont(font); };
  abstractWindow->onFontChanged = [this](const FontDesc& font) { listSummary->SetFont(font); };
  abstractWindow->onShowPage = [this] { mainView.SelectPage(CMainView::PAGE_RECORD); };
}

void CTmsfrmDoc::BuildHeaders() {
  CResultHeaders::Search search;
  const CDBDescRec* db = config.currentDatabase;
  search.databaseName = db != nullptr ? db->name : link->connectedName;
  search.basicMode = link->basicModeSearch != 0;
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
  return !link->databaseInfoText.empty();
}

void CTmsfrmDoc::ShowDatabaseInfoCommand() {
  if (CanShowDatabaseInfo()) {
    ShowDatabaseInfo(link->databaseInfoText);
  }
}

void CTmsfrmDoc::SelectDatabase(const std::string& name) {
  loader->SelectDatabase(name);
}

const std::string& CTmsfrmDoc::Heading() const {
  return link->heading;
}

int CTmsfrmDoc::LinkStateValue() const {
  return link->linkState;
}

const std::string& CTmsfrmDoc::ConnectedName() const {
  return link->connectedName;
}

void CTmsfrmDoc::Changed() {
  if (onChanged) {
    onChanged();
  }
}

void CTmsfrmDoc::CaptionChanged(const std::string& text) {
  caption = text;
  Changed();
}

void CTmsfrmDoc::HeadingChanged(const std::string& /*text*/) {
  Changed();
}

void CTmsfrmDoc::LinkStateChanged(int /*state*/) {
  Changed();
}

void CTmsfrmDoc::SearchButtonEnabled(bool enabled) {
  form->SetSearchEnabled(enabled);
}

void CTmsfrmDoc::ViewEnabled(bool enabled) {
  form->SetViewEnabled(enabled);
}

void CTmsfrmDoc::ConnectStarted(const CDBDescRec& db) {
  form->OnConnect(db);
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

void CTmsfrmDoc::ResetResultWindows() {
  listSummary->Reset();
  abstractWindow->ClearText();
}

void CTmsfrmDoc::HitCount(int count, const std::string& message) {
  listSummary->HitCount(count, message);
}

void CTmsfrmDoc::TitleReceived(int number, const std::string& text) {
  listSummary->AddTitle(number, text);
}

void CTmsfrmDoc::SummaryRecord(int number, const std::string& text) {
  listSummary->SummaryArrived(number, text);
}

void CTmsfrmDoc::FullRecord(const std::string& text) {
  abstractWindow->AddRecordText(text);
}

void CTmsfrmDoc::EnableRedraw(bool enabled) {
  abstractWindow->EnableRedraw(enabled);
}

void CTmsfrmDoc::ShowRecordPage() {
  abstractWindow->ShowRecordPage();
}

void CTmsfrmDoc::FieldListReceived() {
  recordFormat->LoadRecordFormat();
}
