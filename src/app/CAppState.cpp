#include "app/CAppState.h"

#include "platform/CTempFiles.h"

void CAppState::SetStatusMessage(const std::string& text) {
  // Only changes are news: title batches set the same text for every title.
  if (text == statusMessage) {
    return;
  }
  statusMessage = text;
  statusChanged(statusMessage);
}

std::string CAppState::NextTempConfigPath() {
  std::string dir = privateDirectory.empty() ? tempDirectory : privateDirectory;
  return CTempFiles::ConfigCopyName(dir, tempConfigCounter++);
}

void CAppState::GiveBackTempConfig() {
  if (tempConfigCounter > 0) {
    --tempConfigCounter;
  }
}
