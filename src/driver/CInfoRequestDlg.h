#pragma once

#include <string>

#include "app/CDialogModel.h"

// The "Request for Information" dialog a driver opens with MSG_INFO_REQUEST:
// a message, a plain answer or a hidden (password) answer.
class CInfoRequestDlg : public CDialogModel {
 public:
  const char* Kind() const override { return "info-request"; }
  std::string Caption() const override;
  void OnInit() override;
  bool OnOk() override;
  // Cancel reports the typed text as well.
  void OnCancel() override;
  void SetAnswerText(const std::string& text) { editText = text; }

  // The texts shown: a single blank keeps the dialog's own.
  std::string OkLabel() const { return okLabel == " " ? "OK" : okLabel; }
  std::string CancelLabel() const { return cancelLabel == " " ? "Cancel" : cancelLabel; }

  std::string defaultAnswer = " ";
  std::string prompt = " ";
  std::string caption = " ";
  std::string okLabel = " ";
  std::string cancelLabel = " ";
  std::string answer;
  int kind = 0;
  bool noInput = false;
  bool hiddenInput = false;

  // The edit in use, as the user sees and types it.
  std::string editText;
  bool plainEditVisible = false;
  bool hiddenEditVisible = false;
};
