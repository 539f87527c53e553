// The driver link commands of the command-line client.

#include <ostream>

#include "cli/CCliSession.h"
#include "doc/CTmsfrmDoc.h"
#include "driver/CDriverLink.h"

void CCliSession::WatchDocument() {
  CBusyDialog& busy = doc->Link().Busy();
  busyLines =
      busy.onChanged.Connect([this, &busy, lastText = std::string(), wasShown = false]() mutable {
        // One line per text change while the window is up, not per tick.
        if (busy.IsShown() && (!wasShown || busy.Text() != lastText)) {
          err << "busy: " << EscapeLine(busy.Text()) << std::endl;
        }
        wasShown = busy.IsShown();
        lastText = busy.Text();
      });
}

void CCliSession::WaitForLink() {
  if (doc) {
    doc->Link().WaitForIdle();
  }
}

void CCliSession::WaitForFollowUps() {
  // A driver answers the open request and then sends its description and
  // field list; the command is done once the line has been quiet a moment,
  // a shorter one once both are in.
  if (doc) {
    doc->Link().WaitUntilQuiet(kFollowUpQuietMs, kFollowUpRounds, kFollowUpSettledMs);
  }
}

int CCliSession::CmdConnect(CArgScanner& args) {
  auto name = args.Rest();
  if (!name) {
    return Usage("connect");
  }
  if (!doc || !doc->Link().CanConnect()) {
    return Error("not available: connect");
  }
  size_t pending = ui.PendingAnswers();
  ui.PushFrontAnswer({CliAnswer::Text, *name});
  doc->ConnectToDatabaseCommand();
  if (ui.PendingAnswers() > pending) {
    ui.DropFrontAnswer();
  }
  WaitForLink();
  WaitForFollowUps();
  // Ended connected: a database is open on the driver's line.
  if (doc->LinkStateValue() < LINK_IDLE || doc->ConnectedName().empty()) {
    return kCommandFailed;
  }
  return kCommandOk;
}

int CCliSession::CmdDisconnect(CArgScanner& args) {
  if (!args.AtEnd()) {
    return Usage("disconnect");
  }
  if (!doc || !doc->Link().CanDisconnect()) {
    return Error("not available: disconnect");
  }
  doc->DisconnectCommand();
  return 0;
}

int CCliSession::CmdInfo(CArgScanner& args) {
  if (!args.AtEnd()) {
    return Usage("info");
  }
  if (doc) {
    out << doc->Link().DatabaseInfoText();
  }
  return 0;
}

int CCliSession::CmdEcho(CArgScanner& args) {
  auto value = args.Next();
  if (!value || (*value != "on" && *value != "off") || !args.AtEnd()) {
    return Usage("echo");
  }
  if (!doc) {
    return Error("not available: echo");
  }
  if (doc->Link().EchoEnabled() != (*value == "on")) {
    doc->Link().ToggleEcho();
  }
  return 0;
}
