#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "FakeUi.h"
#include "HttpTestServer.h"
#include "TempDir.h"
#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"
#include "config/CConfigFetcher.h"
#include "config/CConfigFile.h"
#include "config/CConfigLexer.h"
#include "config/CConfigLoader.h"
#include "config/CConfiguration.h"
#include "config/CUrlDialog.h"

namespace {

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

std::string Generated(long long size) {
  std::string text(static_cast<size_t>(size), '\0');
  for (long long i = 0; i < size; ++i) {
    text[static_cast<size_t>(i)] = HttpTestServer::GeneratedByte(i);
  }
  return text;
}

class RemoteConfigTest : public ::testing::Test {
 protected:
  RemoteConfigTest() {
    // Copies belong in the private directory; the shared one does not exist.
    app.tempDirectory = dir.File("shared") + "/";
    app.privateDirectory = dir.Path() + "/";
    fetcher.connectTimeoutMs = 10000;
  }

  std::unique_ptr<CConfigFile> Fetch(const std::string& url) {
    lexer.configLineNumber = 9;
    return fetcher.FetchConfigurationUrl(url, lexer, remoteConfig);
  }
  std::string Copy(int n) const { return dir.File("config" + std::to_string(n) + ".TCF"); }

  // A failed fetch that gave its number back: one message, no copy left.
  void ExpectGivenBack(const std::string& url, const std::string& caption) {
    ASSERT_EQ(ui.messages.size(), 1u) << url;
    EXPECT_EQ(ui.messages[0].text, url);
    EXPECT_EQ(ui.messages[0].caption, caption) << url;
    EXPECT_EQ(ui.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(app.tempConfigCounter, 0) << url;
    EXPECT_EQ(lexer.configFileName, "") << url;
    EXPECT_FALSE(FileExists(Copy(0))) << url;
    EXPECT_FALSE(remoteConfig);
    ui.messages.clear();
  }

  // Proxies of the machine would stand between the fetch and the loopback server.
  ScopedEnv noProxy{"no_proxy", "*"};
  ScopedEnv noProxyUpper{"NO_PROXY", "*"};
  TempDir dir;
  CAppState app;
  FakeUi ui;
  CConfigLexer lexer{ui};
  CConfigFetcher fetcher{app, ui};
  bool remoteConfig = false;
  HttpTestServer server;
};

TEST_F(RemoteConfigTest, BodiesArriveByteExactInNumberedCopies) {
  std::string small = "conf_version = 1.1\r\nbegin_menu = Main\n";
  server.Route("/dir/db.conf", 200, small);

  HttpTestServer::Reply large;
  for (int i = 0; i < 5000; ++i) {
    large.body += static_cast<char>(i * 7);  // every byte value, NUL, CR and LF included
  }
  large.pieceSize = 100;
  server.Route("/dir/large", large);

  HttpTestServer::Reply huge;
  huge.generatedBytes = 3 * 1024 * 1024 + 17;
  huge.sendLength = false;
  server.Route("/dir/huge", huge);

  // An error page with status 200 is copied like any body; the reader
  // recognises it later.
  std::string errorPage = "<HTML><HEAD><TITLE>404 Not Found</TITLE></HEAD></HTML>\n";
  server.Route("/dir/page", 200, errorPage);

  std::vector<std::pair<std::string, std::string>> fetches = {
      {"/dir/db.conf", small},
      {"/dir/large", large.body},
      {"/dir/huge", Generated(huge.generatedBytes)},
      {"/dir/page", errorPage}};
  for (size_t n = 0; n < fetches.size(); ++n) {
    const auto& [path, body] = fetches[n];
    auto file = Fetch(server.Url(path));
    ASSERT_NE(file, nullptr) << path << ": " << ::testing::PrintToString(ui.Texts());
    EXPECT_EQ(lexer.configFileName, Copy(static_cast<int>(n)));
    EXPECT_EQ(lexer.configLineNumber, 0);
    EXPECT_EQ(app.tempConfigCounter, static_cast<int>(n) + 1);
    EXPECT_TRUE(remoteConfig);
    EXPECT_TRUE(ReadWholeFile(Copy(static_cast<int>(n))) == body) << path;
  }
  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(ui.Texts());
  EXPECT_FALSE(FileExists(dir.File("shared")));

  // Each request carries the two headers once, and no curl defaults for them.
  auto heads = server.RequestHeads();
  ASSERT_EQ(heads.size(), fetches.size());
  EXPECT_EQ(heads[0].rfind("GET /dir/db.conf HTTP/1.", 0), 0u) << heads[0];
  for (const auto& head : heads) {
    EXPECT_EQ(Count(head, "\r\nAccept: text/*\r\n"), 1u) << head;
    EXPECT_EQ(Count(head, "\r\nUser-Agent: WinTamsel\r\n"), 1u) << head;
    EXPECT_EQ(Count(head, "Accept:"), 1u) << head;
    EXPECT_EQ(Count(head, "User-Agent:"), 1u) << head;
  }
}

TEST_F(RemoteConfigTest, CopyIsOpenAtItsStartForTheReader) {
  server.Route("/db.conf", 200, "conf_version = 1.1\nbegin_menu = Main\n");
  auto file = Fetch(server.Url("/db.conf"));
  ASSERT_NE(file, nullptr);
  lexer.BuildKeywordTable();
  std::string keyword, value;
  lexer.ReadKeywordLine(*file, value, keyword);
  EXPECT_EQ(keyword, "conf_version");
  EXPECT_EQ(value, "1.1");
}

TEST_F(RemoteConfigTest, BadAnswersGiveTheNumberBack) {
  server.Route("/broken", 500, "<HTML>Internal error</HTML>");
  // Announced oversize is refused at the header, unannounced while it streams.
  HttpTestServer::Reply declared;
  declared.generatedBytes = CConfigFetcher::kMaxBodyBytes + 1;
  server.Route("/declared", declared);
  HttpTestServer::Reply streamed = declared;
  streamed.sendLength = false;
  server.Route("/streamed", streamed);
  // A body cut short is no configuration either.
  HttpTestServer::Reply cut;
  cut.body = std::string(5000, 'x');
  cut.closeAfterBytes = 1000;
  server.Route("/cut", cut);

  for (const char* path : {"/missing", "/broken", "/declared", "/streamed", "/cut"}) {
    std::string url = server.Url(path);
    EXPECT_EQ(Fetch(url), nullptr) << path;
    ExpectGivenBack(url, "Error accessing URL");
  }

  // The number given back is used again.
  server.Route("/db.conf", 200, "ok\n");
  ASSERT_NE(Fetch(server.Url("/db.conf")), nullptr);
  EXPECT_EQ(lexer.configFileName, Copy(0));
  EXPECT_EQ(ReadWholeFile(Copy(0)), "ok\n");
}

TEST_F(RemoteConfigTest, OnlyHttpAndHttpsUrlsAreFetched) {
  std::string port = std::to_string(server.Port());
  std::vector<std::string> urls = {
      "ftp://127.0.0.1:" + port + "/db.conf", "garbage", "", "file:///etc/passwd", "http://",
      "http://127.0.0.1:" + port + "/a b"};
  for (size_t n = 0; n < urls.size(); ++n) {
    ui.messages.clear();
    EXPECT_EQ(Fetch(urls[n]), nullptr);
    ASSERT_EQ(ui.messages.size(), 1u) << urls[n];
    EXPECT_EQ(ui.messages[0].text, urls[n]);
    EXPECT_EQ(ui.messages[0].caption, "Invalid URL");
    // The number stays used and the file name kept; the empty copy goes at exit.
    EXPECT_EQ(app.tempConfigCounter, static_cast<int>(n) + 1);
    EXPECT_EQ(lexer.configFileName, Copy(static_cast<int>(n)));
    EXPECT_TRUE(FileExists(Copy(static_cast<int>(n))));
    EXPECT_EQ(ReadWholeFile(Copy(static_cast<int>(n))), "");
  }
  EXPECT_FALSE(remoteConfig);
  EXPECT_TRUE(server.RequestHeads().empty());
}

TEST_F(RemoteConfigTest, NoAnswerFailsWithinTheTimeLimits) {
  // https to a plain HTTP port: the TLS handshake fails.
  std::string https = "https://127.0.0.1:" + std::to_string(server.Port()) + "/db.conf";
  EXPECT_EQ(Fetch(https), nullptr);
  ExpectGivenBack(https, "Could not reach URL");

  // A bound socket that does not listen refuses connections.
  int idle = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(bind(idle, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(getsockname(idle, reinterpret_cast<sockaddr*>(&address), &length), 0);
  std::string refused = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/db.conf";
  EXPECT_EQ(Fetch(refused), nullptr);
  close(idle);
  ExpectGivenBack(refused, "Could not reach URL");

  std::string unknown = "http://no-such-host.invalid/db.conf";
  EXPECT_EQ(Fetch(unknown), nullptr);
  ExpectGivenBack(unknown, "Could not reach URL");

  server.SetMode(HttpTestServer::Mode::CloseAtOnce);
  std::string url = server.Url("/db.conf");
  EXPECT_EQ(Fetch(url), nullptr);
  ExpectGivenBack(url, "Could not reach URL");

  // A server that accepts and stays silent is given up after the transfer
  // limit, well before the default one.
  server.SetMode(HttpTestServer::Mode::NeverAnswer);
  fetcher.transferTimeoutMs = 1000;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Fetch(url), nullptr);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  ExpectGivenBack(url, "Could not reach URL");
}

TEST_F(RemoteConfigTest, UncreatableCopyIsReported) {
  server.Route("/db.conf", 200, "conf_version = 1.1\n");
  std::string url = server.Url("/db.conf");

  // A link planted under the copy's name is not followed.
  std::string target = dir.Write("target", "untouched");
  ASSERT_EQ(symlink(target.c_str(), Copy(0).c_str()), 0);
  EXPECT_EQ(Fetch(url), nullptr);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, url);
  EXPECT_EQ(ui.messages[0].caption, "Could not create file");
  EXPECT_EQ(app.tempConfigCounter, 0);
  EXPECT_EQ(lexer.configFileName, "");
  EXPECT_EQ(ReadWholeFile(target), "untouched");
  ui.messages.clear();

  app.privateDirectory = dir.File("gone") + "/";
  EXPECT_EQ(Fetch(url), nullptr);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].caption, "Could not create file");
  EXPECT_EQ(app.tempConfigCounter, 0);
  EXPECT_TRUE(server.RequestHeads().empty());
}

TEST_F(RemoteConfigTest, RedirectsAndEnvironmentProxiesAreFollowed) {
  server.Route("/dir/db.conf", 200, "moved here\n");
  HttpTestServer::Reply moved;
  moved.status = 302;
  moved.body = "<HTML>Moved</HTML>";
  moved.extraHeaders = "Location: /dir/db.conf\r\n";
  server.Route("/old", moved);
  ASSERT_NE(Fetch(server.Url("/old")), nullptr) << ::testing::PrintToString(ui.Texts());
  EXPECT_EQ(ReadWholeFile(Copy(0)), "moved here\n");

  // The loopback server as the proxy for a host that does not exist.
  ScopedEnv noneExcepted{"no_proxy", nullptr};
  ScopedEnv noneExceptedUpper{"NO_PROXY", nullptr};
  ScopedEnv proxy{"http_proxy", server.Url("").c_str()};
  ASSERT_NE(Fetch("http://config.example.invalid/dir/db.conf"), nullptr)
      << ::testing::PrintToString(ui.Texts());
  EXPECT_EQ(ReadWholeFile(Copy(1)), "moved here\n");
  EXPECT_EQ(server.RequestHeads().back().rfind("GET http://config.example.invalid/dir/db.conf ", 0),
            0u);
}

// The recent-URL list learns only URLs that worked, and never their credentials.
TEST_F(RemoteConfigTest, RecentUrlsAreStoredAfterASuccessfulFetchWithoutUserInfo) {
  server.Route("/top.conf", 200,
               "conf_version = 1.1\ndb_tag = t\ndb_name = T\ndriver = s:h:1\n"
               "db_int_name = t\nsummary_fields = S\nt_field_name = F\n");
  CSettingsStore settings(dir.File("Tamsel.conf"));
  ASSERT_TRUE(settings.WriteUrlList({"http://default/", "http://r1/"}));
  auto open = [&](const std::string& typed) {
    ui.QueueDialog([typed](CDialogModel& dialog) {
      dynamic_cast<CUrlDialog&>(dialog).SetAnswerText(typed);
      return true;
    });
    CConfiguration config;
    CConfigLoader loader(config, lexer, fetcher, app, settings, ui);
    app.remoteOpenPending = true;
    app.askForUrl = true;
    return loader.OpenDocumentConfig("ignored");
  };
  EXPECT_FALSE(open(server.Url("/missing")));
  EXPECT_EQ(settings.ReadUrlList(), (std::vector<std::string>{"http://default/", "http://r1/"}));

  std::string typed = server.Url("/top.conf");
  typed.insert(typed.find("://") + 3, "ann:secret@");
  ui.messages.clear();
  EXPECT_TRUE(open(typed)) << ::testing::PrintToString(ui.Texts());
  EXPECT_EQ(settings.ReadUrlList(),
            (std::vector<std::string>{"http://default/", server.Url("/top.conf"), "http://r1/"}));
  EXPECT_EQ(ReadWholeFile(settings.FilePath()).find("secret"), std::string::npos);
}

}  // namespace
