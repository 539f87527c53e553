#pragma once

#include <string>

// Base of every dialog model. A model holds the fields a dialog shows,
// prepares them in OnInit and decides in OnOk whether the dialog may close.
// Front ends pair a model with its view by the model's type (see
// ui/CDialogViews.cpp and cli/CCliDialogAnswers.cpp); Kind() only names it.
class CDialogModel {
 public:
  virtual ~CDialogModel() = default;

  // A short stable name of the dialog kind, such as "url" or "open-database".
  virtual const char* Kind() const = 0;

  virtual std::string Caption() const = 0;

  virtual void OnInit() {}

  // True when the dialog may close with OK; a refusal leaves it open.
  virtual bool OnOk() { return true; }

  virtual void OnCancel() {}

  // False for windows that only show something and have just an OK button:
  // front ends that answer from a queue don't spend an answer on them.
  virtual bool NeedsAnswer() const { return true; }
};
