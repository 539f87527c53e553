#pragma once

#include <functional>
#include <map>
#include <string>

// The one application object of the process: temporary files, the pending
// remote open, the start-up switches and the status line text.
class CAppState {
 public:
  using StatusObserver = std::function<void(const std::string&)>;

  std::string tempDirectory;
  // Holds the configuration copies and the mail body; removed at exit.
  std::string privateDirectory;
  int tempConfigCounter = 0;
  bool remoteOpenPending = false;
  bool askForUrl = false;
  int splashSuppressed = 0;
  int kioskMode = 0;

  const std::string& StatusMessage() const { return statusMessage; }
  // Every change is passed on to the observers (status bar, "status:" lines).
  void SetStatusMessage(const std::string& text);
  int AddStatusObserver(StatusObserver observer);
  void RemoveStatusObserver(int id);

  // The path of the next configuration copy, raising the counter.
  std::string NextTempConfigPath();
  // A failed fetch gives its number back.
  void GiveBackTempConfig();

 private:
  std::string statusMessage;
  std::map<int, StatusObserver> statusObservers;
  int nextObserverId = 1;
};
