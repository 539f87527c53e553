#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeUi.h"
#include "HttpTestServer.h"
#include "TempDir.h"
#include "app/CAppState.h"
#include "app/CPollEventLoop.h"
#include "app/CSettingsStore.h"
#include "config/CInfoTexts.h"
#include "doc/CTmsfrmDoc.h"

namespace {

const char* kTopConfiguration =
    "conf_version = 1.1\n"
    "begin_menu = sw : Software\n"
    "item = pkg : Packages\n"
    "end_menu\n"
    "db_tag = pkg\n"
    "db_name = Packages\n"
    "driver = socket:localhost:2100\n"
    "db_int_name = pkg\n"
    "summary_fields = Title\n"
    "t_field_name = Title\n";

// A remote configuration reads its information texts from its own server
// directory, through the same fetch as the configuration.
TEST(InfoTextsRemoteTest, FetchesDbInfoBesideTheConfigurationAndRetries) {
  ScopedEnv noProxy{"no_proxy", "*"};
  ScopedEnv noProxyUpper{"NO_PROXY", "*"};
  TempDir dir;
  FakeUi ui;
  CAppState app;
  app.privateDirectory = dir.Path() + "/";
  CPollEventLoop loop;
  CSettingsStore settings{dir.File("Tamsel.conf")};
  HttpTestServer server;
  server.Route("/configs/v1/db.conf", 200, kTopConfiguration);

  CTmsfrmDoc doc(app, settings, ui, loop);
  ASSERT_TRUE(doc.OpenDocumentConfig(
      dir.Write("pointer.tcf", "conf_url = " + server.Url("/configs/v1/db.conf") + "\n")))
      << ::testing::PrintToString(ui.Texts());
  ASSERT_TRUE(ui.messages.empty()) << ::testing::PrintToString(ui.Texts());

  CInfoTexts info;
  auto load = [&] {
    return info.LoadInformationTexts(doc.Config(), doc.Loader(), doc.Fetcher(), doc.Lexer(), ui);
  };
  // Not there yet: the fetch's own message, then ours; the next call retries.
  EXPECT_FALSE(load());
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, server.Url("/configs/v1/db.info"));
  EXPECT_EQ(ui.messages[0].caption, "Error accessing URL");
  EXPECT_EQ(ui.messages[1].text, "Couldn't read database InfoBlurbs");
  EXPECT_FALSE(info.infoTextsLoaded);

  server.Route("/configs/v1/db.info", 200,
               "$sw\r\nAll the software\r\n$pkg\r\nDebian packages\r\n");
  EXPECT_TRUE(load());
  EXPECT_EQ(ui.messages.size(), 2u);
  ASSERT_NE(info.Find("pkg"), nullptr);
  EXPECT_EQ(*info.Find("pkg"), "Debian packages\r\n");
  EXPECT_EQ(*info.Find("sw"), "All the software\r\n");

  // Loaded once: a later call asks the server nothing.
  size_t requests = server.RequestHeads().size();
  EXPECT_TRUE(load());
  EXPECT_EQ(server.RequestHeads().size(), requests);
  std::vector<std::string> heads = server.RequestHeads();
  EXPECT_EQ(heads.back().rfind("GET /configs/v1/db.info ", 0), 0u) << heads.back();
}

}  // namespace
