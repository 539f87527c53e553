#pragma once

#include <memory>
#include <string>

#include "app/CAnswerMemory.h"
#include "app/Signal.h"

class CPacketTrace;

// The one application object of the process: temporary files, the pending
// remote open, the start-up switches, the status line text and the
// remembered answers of information requests.
class CAppState {
 public:
  std::string tempDirectory;
  // Holds the configuration copies and the mail body; removed at exit.
  std::string privateDirectory;
  int tempConfigCounter = 0;
  bool remoteOpenPending = false;
  bool askForUrl = false;
  int splashSuppressed = 0;
  int kioskMode = 0;

  const std::string& StatusMessage() const { return statusMessage; }
  // Every change is emitted on statusChanged (status bar, "status:" lines).
  void SetStatusMessage(const std::string& text);
  Signal<const std::string&> statusChanged;

  CAnswerMemory& AnswerMemory() { return answerMemory; }

  // The packet trace every document's driver link writes to; created by the
  // driver layer on first use (CPacketTrace::Of).
  std::shared_ptr<CPacketTrace> packetTrace;

  // The path of the next configuration copy, raising the counter.
  std::string NextTempConfigPath();
  // A failed fetch gives its number back.
  void GiveBackTempConfig();

 private:
  std::string statusMessage;
  CAnswerMemory answerMemory;
};
