#include "app/CMainFrameModel.h"

#include "app/AppNames.h"
#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"

CMainFrameModel::CMainFrameModel(CAppState& app, CSettingsStore& settings)
    : app(app), settings(settings) {}

FramePlacement CMainFrameModel::InitialPlacement(int screenWidth) const {
  FramePlacement placement;
  placement.x = settings.ReadSettingInt(kSectionWindowPosition, kEntryX, kDefaultX);
  placement.y = settings.ReadSettingInt(kSectionWindowPosition, kEntryY, kDefaultY);
  int storedWidth = settings.ReadSettingInt(kSectionWindowPosition, kEntryWidth, 0);
  if (storedWidth != 0 || screenWidth <= kSmallScreenMaxWidth) {
    // A zero or negative stored size (the small-screen case reads "width"
    // even when it is 0) would open an unusable frame: take the default.
    int storedHeight = settings.ReadSettingInt(kSectionWindowPosition, kEntryHeight, 0);
    placement.width = storedWidth > 0 ? storedWidth : kDefaultWidth;
    placement.height = storedHeight > 0 ? storedHeight : kDefaultHeight;
  } else {
    placement.width = kLargeScreenWidth;
    placement.height = kLargeScreenHeight;
  }
  return placement;
}

std::string CMainFrameModel::StatusPaneText() const {
  return app.StatusMessage().empty() ? "  " : app.StatusMessage();
}

FileChooserRequest CMainFrameModel::OpenLocalRequest() const {
  FileChooserRequest request;
  request.caption = "Open";
  request.filters = {{kDocFilterText, "*.tcf"}};
  return request;
}

void CMainFrameModel::PrepareLocalOpen() {
  app.remoteOpenPending = false;
  app.askForUrl = false;
}

bool CMainFrameModel::SplashWanted() const {
  return app.splashSuppressed == 0;
}
