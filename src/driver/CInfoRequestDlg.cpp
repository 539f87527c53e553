#include "driver/CInfoRequestDlg.h"

#include "driver/PacketHeader.h"

std::string CInfoRequestDlg::Caption() const {
  return caption == " " ? "Request for Information" : caption;
}

void CInfoRequestDlg::OnInit() {
  noInput = kind == INFO_MESSAGE;
  hiddenInput = kind == INFO_PASSWORD;
  plainEditVisible = kind == INFO_TEXT;
  hiddenEditVisible = kind == INFO_PASSWORD;
  editText = noInput ? "" : defaultAnswer;
}

bool CInfoRequestDlg::OnOk() {
  answer = noInput ? "" : editText;
  return true;
}

void CInfoRequestDlg::OnCancel() {
  answer = noInput ? "" : editText;
}
