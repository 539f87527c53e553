#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "FakeUi.h"
#include "ManualEventLoop.h"
#include "ScriptedSmtpServer.h"
#include "TempDir.h"
#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
#include "output/CResultOutput.h"

namespace {

using Source = CResultOutput::Source;
using Outcome = CResultOutput::Outcome;

struct ResultMailRoutingTest : ::testing::Test {
  TempDir dir;
  FakeUi ui;
  ManualEventLoop loop;
  CAppState app;
  CSettingsStore settings{dir.File("Tamsel.conf")};
  CResultOutput output{ui, loop, app, settings};
  std::vector<bool> sending;

  void SetUp() override {
    app.privateDirectory = dir.Path() + "/";
    loop.SetSimulatedTime(true);
    output.mailUrlSender.timeoutSeconds = 5;
    // No login may come from the tester's own ~/.netrc.
    output.mailUrlSender.netrcFile = dir.Write("netrc", "");
    bag += output.onSending.Connect([this](bool on) { sending.push_back(on); });
  }
  ConnectionBag bag;
};

// A loopback port nobody listens on: bound, never listening, then closed.
int UnusedPort() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

}  // namespace

TEST_F(ResultMailRoutingTest, LineBreaksInRecipientOrSubjectAreRefusedBeforeAnythingIsSent) {
  ScriptedSmtpServer server(loop);
  server.ScriptTexts({"220 mail.example ESMTP\r\n"});
  const std::string hosts[] = {server.HostSetting(), "smtp://" + server.HostSetting()};
  const std::pair<std::string, std::string> bad[] = {
      {"ann@example.org\r\nRCPT TO:<eve@example.org>", "s"},
      {"ann@example.org", "Results\nBcc: eve@example.org"},
      {std::string("ann@example.org\0x", 17), "s"},
  };
  for (const std::string& host : hosts) {
    for (const auto& [to, subject] : bad) {
      ui.messages.clear();
      EXPECT_EQ(output.Mail({Source::Records, "TI: One\n", {}, {}}, "", to, subject, host),
                Outcome::NotMailed);
      ASSERT_EQ(ui.messages.size(), 1u);
      EXPECT_EQ(ui.messages[0].text,
                "The mail recipient and subject must not contain line breaks or zero bytes.");
      EXPECT_EQ(ui.messages[0].caption, "Tamsel");
      EXPECT_EQ(app.StatusMessage(), "Result not mailed");
    }
  }
  EXPECT_EQ(server.connections, 0);
  EXPECT_FALSE(FileExists(dir.File("smtp.txt")));
  EXPECT_TRUE(sending.empty());
}

TEST_F(ResultMailRoutingTest, MailUrlGoesThroughTheSecureSenderNotTheClassicDialogue) {
  // Taken for a plain host, the URL would fail in the classic dialogue with
  // its own message; the secure sender reports libcurl's reason instead.
  std::string url = "smtp://127.0.0.1:" + std::to_string(UnusedPort());
  EXPECT_EQ(output.Mail({Source::Summary, "one summary\n", {}, {}}, "", "ann@example.org",
                        "Results", url),
            Outcome::NotMailed);
  EXPECT_EQ(app.StatusMessage(), "Summary not mailed");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].caption, "Tamsel");
  EXPECT_EQ(ui.messages[0].text.rfind("The mail was not sent", 0), 0u) << ui.messages[0].text;
  // The URL is stored as the host, like any other.
  EXPECT_EQ(settings.ReadSettingText(kSectionMailParameters, kEntrySmtpHost, ""), url);
  EXPECT_EQ(sending, (std::vector<bool>{true, false}));
}
