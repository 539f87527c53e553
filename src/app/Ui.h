#pragma once

#include <optional>
#include <string>
#include <vector>

class CDialogModel;

// Buttons, icons and answers of a message box, as the core asks for them.
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgAnswer { Ok, Cancel, Yes, No };

// A file chooser request: caption, start directory, suggested name and the
// filters as (description, pattern) pairs.
struct FileChooserRequest {
  std::string caption;
  std::string directory;
  std::string fileName;
  std::vector<std::pair<std::string, std::string>> filters;
  bool save = false;
};

// The core's way out to the person in front of the program. The Qt front end
// shows real windows, the CLI writes lines and takes queued answers, and the
// tests record every call and answer from a script.
class Ui {
 public:
  virtual ~Ui() = default;

  // A modal message box. `caption` is never empty: callers without their own
  // caption pass the application title.
  virtual MsgAnswer MessageBox(const std::string& text, const std::string& caption,
                               MsgButtons buttons, MsgIcon icon) = 0;

  // Runs a dialog model modally; true when it closed with OK.
  virtual bool RunDialog(CDialogModel& dialog) = 0;

  // A file chooser; no value when cancelled.
  virtual std::optional<std::string> ChooseFile(const FileChooserRequest& request) = 0;

  virtual void SetClipboardText(const std::string& text) = 0;

  // Brings the main window to the front (and restores it when minimised).
  virtual void BringToFront() = 0;

  // Convenience: an OK message box with the application title as caption.
  void Message(const std::string& text);
  void Message(const std::string& text, const std::string& caption);
};
