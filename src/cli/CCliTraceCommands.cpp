#include "cli/CCliTraceCommands.h"

#include <ostream>

#include "app/FormatText.h"
#include "cli/CArgScanner.h"
#include "cli/CCliSession.h"
#include "driver/CPacketTrace.h"

CliCommandTable CCliTraceCommands::Table() {
  return {
      {"trace", &CCliTraceCommands::Trace, "trace PATH|off",
       "write every packet sent and received to PATH"},
  };
}

int CCliTraceCommands::Trace(CCliSession& session, CArgScanner& args) {
  auto path = args.Rest();
  if (!path || path->empty()) {
    return session.Usage("trace");
  }
  CPacketTrace& trace = CPacketTrace::Of(session.App());
  if (*path == "off") {
    trace.Stop();
    return kCommandOk;
  }
  if (!trace.Start(*path, session.Loop().NowMs())) {
    session.Err() << "error: " << FormatText("Couldn't open trace file %s", path->c_str())
                  << std::endl;
    return kCommandFailed;
  }
  return kCommandOk;
}

void CCliTraceCommands::StartFromEnvironment(CCliSession& session) {
  if (!CPacketTrace::StartFromEnvironment(session.App(), session.Loop().NowMs())) {
    session.Err() << "error: "
                  << FormatText("Couldn't open trace file %s", CPacketTrace::EnvironmentPath())
                  << std::endl;
  }
}
