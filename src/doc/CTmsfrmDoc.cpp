#include "doc/CTmsfrmDoc.h"

#include "app/CAppState.h"
#include "app/Ui.h"
#include "config/CConfigFetcher.h"
#include "config/CConfigLexer.h"
#include "config/CConfigLoader.h"
#include "config/CDatabaseChooser.h"
#include "driver/CAboutDatabaseDlg.h"
#include "driver/CDriverLink.h"

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
  }
  return opened;
}

void CTmsfrmDoc::FirstSelection() { chooser->FirstSelection(); }

void CTmsfrmDoc::ConnectToDatabaseCommand() {
  if (!link->CanConnect()) {
    return;
  }
  chooser->ConnectToDatabaseCommand();
}

void CTmsfrmDoc::ConnectToDatabase(const std::string& name) { link->ConnectToDatabase(name); }

void CTmsfrmDoc::DisconnectCommand() {
  if (link->CanDisconnect()) {
    link->Disconnect();
  }
}

bool CTmsfrmDoc::CanShowDatabaseInfo() const { return !link->databaseInfoText.empty(); }

void CTmsfrmDoc::ShowDatabaseInfoCommand() {
  if (CanShowDatabaseInfo()) {
    ShowDatabaseInfo(link->databaseInfoText);
  }
}

void CTmsfrmDoc::SelectDatabase(const std::string& name) { loader->SelectDatabase(name); }

const std::string& CTmsfrmDoc::Heading() const { return link->heading; }

int CTmsfrmDoc::LinkStateValue() const { return link->linkState; }

const std::string& CTmsfrmDoc::ConnectedName() const { return link->connectedName; }

void CTmsfrmDoc::Changed() {
  if (onChanged) {
    onChanged();
  }
}

void CTmsfrmDoc::CaptionChanged(const std::string& text) {
  caption = text;
  Changed();
}

void CTmsfrmDoc::HeadingChanged(const std::string& /*text*/) { Changed(); }

void CTmsfrmDoc::LinkStateChanged(int /*state*/) { Changed(); }

void CTmsfrmDoc::SearchButtonEnabled(bool enabled) { searchEnabled = enabled; }

void CTmsfrmDoc::ViewEnabled(bool enabled) { viewEnabled = enabled; }

void CTmsfrmDoc::ShowDatabaseInfo(const std::string& text) {
  CAboutDatabaseDlg dialog(text);
  ui.RunDialog(dialog);
}
