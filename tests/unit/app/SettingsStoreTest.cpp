#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/CSettingsStore.h"
#include "app/SettingsNames.h"

namespace fs = std::filesystem;

namespace {

class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tamsel-settings-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    path = dir + "/Vandrel/Tamsel.conf";
  }

  void TearDown() override {
    // Give back any permission a test took away, so the directory can go.
    for (const auto& item : fs::recursive_directory_iterator(dir)) {
      if (item.is_directory() && !item.is_symlink()) {
        fs::permissions(item.path(), fs::perms::owner_all, fs::perm_options::add);
      }
    }
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir);
  }

  std::string FileText(const std::string& file) const {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }

  void PutFile(const std::string& file, const std::string& text) const {
    fs::create_directories(fs::path(file).parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
  }

  std::vector<std::string> Listing(const std::string& folder) const {
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(folder)) {
      names.push_back(item.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string dir;
  std::string path;
};

TEST_F(SettingsStoreTest, NothingStoredGivesDefaultsAndReadsCreateNothing) {
  CSettingsStore store(path);
  EXPECT_EQ(store.ReadSettingInt(kSectionOptions, kEntrySplash, kDefaultSplash), 0);
  EXPECT_EQ(store.ReadSettingInt(kSectionFont, kEntrySummarySize, kDefaultSummarySize), -11);
  EXPECT_EQ(store.ReadSettingText(kSectionFont, kEntryAbstractName, kDefaultAbstractName),
            "Courier New");
  EXPECT_EQ(store.ReadSettingText(kSectionDefaultUrl, kEntryDefaultUrl, kDefaultUrlText), "");
  EXPECT_TRUE(store.ReadUrlList().empty());
  EXPECT_FALSE(fs::exists(dir + "/Vandrel"));

  // An empty file and a file of other sections are no different.
  PutFile(path, "");
  EXPECT_EQ(store.ReadSettingInt(kSectionOptions, kEntryKiosk, 7), 7);
  PutFile(path, "[Other]\nKiosk=1\n");
  EXPECT_EQ(store.ReadSettingInt(kSectionOptions, kEntryKiosk, 7), 7);
}

TEST_F(SettingsStoreTest, FirstWriteCreatesPrivateDirectoryAndPlainFile) {
  CSettingsStore store(path);
  ASSERT_TRUE(store.WriteSettingInt(kSectionOptions, kEntrySplash, 1));
  ASSERT_TRUE(store.WriteSettingText(kSectionBrowser, kEntryBrowser, "/usr/bin/firefox"));
  ASSERT_TRUE(store.WriteSettingInt(kSectionOptions, kEntryKiosk, 0));
  EXPECT_EQ(FileText(path),
            "[Options]\nSplash=1\nKiosk=0\n\n[Browser Section]\nBrowser:=/usr/bin/firefox\n");
  EXPECT_EQ(fs::status(dir + "/Vandrel").permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  // Only the file and its lock remain: no temp file is left behind.
  EXPECT_EQ(Listing(dir + "/Vandrel"),
            (std::vector<std::string>{"Tamsel.conf", "Tamsel.conf.lock"}));
}

TEST_F(SettingsStoreTest, TextAndIntegersRoundTripByteExactly) {
  CSettingsStore store(path);
  const std::vector<std::string> odd = {
      "",
      "plain",
      "a=b=c",
      "[bracketed]",
      "]x[",
      "back\\slash\\",
      "\\n is not a line feed",
      "two\nlines\r\n",
      std::string("nul\0byte", 8),
      " padded\t",
      "; not a comment",
      "# nor this",
      "\x01\x1f\x7f\xff\xc3\xa9",
      "C:\\Temp\\x4",
      std::string(100000, 'v'),
  };
  // Every odd text as section, entry and value, each against plain companions.
  for (size_t i = 0; i < odd.size(); ++i) {
    ASSERT_TRUE(store.WriteSettingText(odd[i], "entry", "value " + std::to_string(i)));
    ASSERT_TRUE(store.WriteSettingText("Section", odd[i], "value " + std::to_string(i)));
    ASSERT_TRUE(store.WriteSettingText("Values", "entry " + std::to_string(i), odd[i]));
  }
  CSettingsStore other(path);  // nothing is remembered between calls
  for (size_t i = 0; i < odd.size(); ++i) {
    EXPECT_EQ(other.ReadSettingText(odd[i], "entry", "?"), "value " + std::to_string(i)) << i;
    EXPECT_EQ(other.ReadSettingText("Section", odd[i], "?"), "value " + std::to_string(i)) << i;
    EXPECT_EQ(other.ReadSettingText("Values", "entry " + std::to_string(i), "?"), odd[i]) << i;
  }
  // Names differing only by a colon or case are different entries.
  ASSERT_TRUE(store.WriteSettingText(kSectionDefaultDatabase, "Default Database", "without"));
  EXPECT_EQ(store.ReadSettingText(kSectionDefaultDatabase, kEntryDefaultDatabase, "none"), "none");
  EXPECT_EQ(store.ReadSettingText("default database section", "Default Database", "none"), "none");

  // Random bytes, biased towards the ones that mean something in the file.
  std::mt19937 random(1234);
  auto randomText = [&random] {
    static constexpr char kChars[] = "\\=[];# \t\r\n\0x";
    static const std::string kSpecial(kChars, sizeof kChars - 1);
    std::string text(random() % 12, ' ');
    for (char& c : text) {
      c = random() % 2 ? kSpecial[random() % kSpecial.size()] : static_cast<char>(random());
    }
    return text;
  };
  std::vector<std::array<std::string, 3>> written;
  for (int i = 0; i < 60; ++i) {
    written.push_back({randomText() + "s", randomText(), randomText()});
    ASSERT_TRUE(store.WriteSettingText(written.back()[0], written.back()[1], written.back()[2]));
  }
  for (const auto& [section, entry, value] : written) {
    // A later write to the same section and entry may have replaced the value.
    std::string expected;
    for (const auto& [s, e, v] : written) {
      expected = s == section && e == entry ? v : expected;
    }
    EXPECT_EQ(other.ReadSettingText(section, entry, "?"), expected);
  }

  // Integers, and overwriting keeps one line per entry.
  for (int value : {0, 1, -11, 740, INT_MAX, INT_MIN}) {
    ASSERT_TRUE(store.WriteSettingInt(kSectionWindowPosition, kEntryWidth, value));
    EXPECT_EQ(store.ReadSettingInt(kSectionWindowPosition, kEntryWidth, 5), value);
    EXPECT_EQ(store.ReadSettingText(kSectionWindowPosition, kEntryWidth, ""),
              std::to_string(value));
  }
  std::string text = FileText(path);
  EXPECT_EQ(text.find("width="), text.rfind("width="));
}

TEST_F(SettingsStoreTest, IntegerReadTakesOnlyDecimalNumbers) {
  CSettingsStore store(path);
  const std::vector<std::pair<std::string, int>> cases = {
      {"12", 12},    {"+7", 7},   {"-3", -3},          {" 42 ", 42},       {"abc", 99},
      {"12abc", 99}, {"", 99},    {"-", 99},           {"+-5", 99},        {"1.5", 99},
      {"0x10", 99},  {"1 2", 99}, {"99999999999", 99}, {"-2147483649", 99}};
  for (const auto& [stored, expected] : cases) {
    PutFile(path, "[Options]\nKiosk=" + stored + "\n");
    EXPECT_EQ(store.ReadSettingInt(kSectionOptions, kEntryKiosk, 99), expected) << stored;
  }
}

TEST_F(SettingsStoreTest, UrlListStopsAtFirstEmptyAndIsRewrittenWhole) {
  CSettingsStore store(path);
  PutFile(path,
          "[Default URL Section]\nDefault URL:=http://a/\nRecent URL 1:=http://b/\n"
          "Recent URL 2:=\nRecent URL 3:=http://d/\n");
  EXPECT_EQ(store.ReadUrlList(), (std::vector<std::string>{"http://a/", "http://b/"}));

  const std::vector<std::string> six = {"u0", "u1", "u2", "u3", "u4", "u5"};
  ASSERT_TRUE(store.WriteUrlList(six));
  EXPECT_EQ(store.ReadUrlList(), six);
  EXPECT_EQ(store.ReadSettingText(kSectionDefaultUrl, "Recent URL 5:", "?"), "u5");

  // A shorter list blanks every entry past its end; a longer one keeps six.
  ASSERT_TRUE(store.WriteUrlList({"new", "u0"}));
  EXPECT_EQ(store.ReadUrlList(), (std::vector<std::string>{"new", "u0"}));
  for (int i = 2; i <= kRecentUrlCount; ++i) {
    std::string entry = "Recent URL " + std::to_string(i) + ":";
    EXPECT_EQ(store.ReadSettingText(kSectionDefaultUrl, entry, "absent"), "") << entry;
  }
  ASSERT_TRUE(store.WriteUrlList({"1", "2", "3", "4", "5", "6", "7", "8"}));
  EXPECT_EQ(store.ReadUrlList(), (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
  ASSERT_TRUE(store.WriteUrlList({}));
  EXPECT_TRUE(store.ReadUrlList().empty());
  std::string text = FileText(path);
  EXPECT_EQ(text.find("Recent URL 3:"), text.rfind("Recent URL 3:"));
  EXPECT_EQ(text.find("7"), std::string::npos);
}

TEST_F(SettingsStoreTest, OutsideEditsAreSeenAndKept) {
  CSettingsStore store(path);
  ASSERT_TRUE(store.WriteSettingText(kSectionMailParameters, kEntrySmtpHost, "mail.example"));
  EXPECT_EQ(store.ReadSettingInt(kSectionOptions, kEntryKiosk, kDefaultKiosk), 0);

  // Hand-written, with the spacing and line ends people use.
  PutFile(path, FileText(path) + "\r\n[ Options ]\r\n  Kiosk = 1\r\n; set by the admin\r\n");
  EXPECT_EQ(store.ReadSettingInt(kSectionOptions, kEntryKiosk, kDefaultKiosk), 1);

  // A write elsewhere keeps the edit and its comment; a write into the
  // edited section lands in it.
  ASSERT_TRUE(store.WriteSettingInt(kSectionOptions, kEntrySplash, 1));
  ASSERT_TRUE(store.WriteSettingText(kSectionMailParameters, kEntrySmtpHost, "other:2525"));
  EXPECT_EQ(store.ReadSettingInt(kSectionOptions, kEntryKiosk, kDefaultKiosk), 1);
  EXPECT_EQ(store.ReadSettingInt(kSectionOptions, kEntrySplash, kDefaultSplash), 1);
  EXPECT_EQ(store.ReadSettingText(kSectionMailParameters, kEntrySmtpHost, ""), "other:2525");
  std::string text = FileText(path);
  EXPECT_NE(text.find("  Kiosk = 1\r\nSplash=1\n; set by the admin\r\n"), std::string::npos)
      << text;

  // Duplicates: the first one counts and is the one a write changes.
  PutFile(path, "[Font]\nSummaryName=First\n[Font]\nSummaryName=Second\n");
  EXPECT_EQ(store.ReadSettingText(kSectionFont, kEntrySummaryName, ""), "First");
  ASSERT_TRUE(store.WriteSettingText(kSectionFont, kEntrySummaryName, "Third"));
  EXPECT_EQ(store.ReadSettingText(kSectionFont, kEntrySummaryName, ""), "Third");
}

TEST_F(SettingsStoreTest, GarbledFileGivesDefaultsAndItsLinesSurviveAWrite) {
  CSettingsStore store(path);
  const std::vector<std::string> lines = {
      "[Font]",
      "SummaryName=Arial",
      std::string("\0\0\0\xff\xfe binary", 13),
      "this line has no equals sign",
      std::string("[Fo\0nt]", 7),
      "SummarySize=-20",  // under a damaged section line: not Font's
      "[Options]",
      std::string("Kiosk=1\0tail", 12),
      "[Options",
      "Splash=1",  // again under a damaged section line
      "[Window Position]",
      "x=15",
      std::string(5000, '\x01'),  // and no final line feed
  };
  std::string garbled;
  for (const std::string& line : lines) {
    garbled += (garbled.empty() ? "" : "\n") + line;
  }
  PutFile(path, garbled);

  EXPECT_EQ(store.ReadSettingInt(kSectionFont, kEntrySummarySize, kDefaultSummarySize), -11);
  EXPECT_EQ(store.ReadSettingInt(kSectionOptions, kEntrySplash, kDefaultSplash), 0);
  EXPECT_EQ(store.ReadSettingInt(kSectionOptions, kEntryKiosk, kDefaultKiosk), 0);
  // What is readable is still read.
  EXPECT_EQ(store.ReadSettingText(kSectionFont, kEntrySummaryName, ""), "Arial");
  EXPECT_EQ(store.ReadSettingInt(kSectionWindowPosition, kEntryX, 0), 15);

  ASSERT_TRUE(store.WriteSettingInt(kSectionOptions, kEntrySplash, 1));
  ASSERT_TRUE(store.WriteSettingInt(kSectionWindowPosition, kEntryY, 30));
  ASSERT_TRUE(store.WriteSettingInt(kSectionFont, kEntrySummarySize, -14));
  EXPECT_EQ(store.ReadSettingInt(kSectionOptions, kEntrySplash, kDefaultSplash), 1);
  EXPECT_EQ(store.ReadSettingInt(kSectionWindowPosition, kEntryY, 0), 30);
  EXPECT_EQ(store.ReadSettingInt(kSectionFont, kEntrySummarySize, 0), -14);
  std::string text = FileText(path);
  for (const std::string& line : lines) {
    EXPECT_NE(text.find(line + "\n"), std::string::npos) << line;
  }

  // Binary junk of every byte value and shape: reads give defaults, never crash.
  std::string noise;
  for (int i = 0; i < 200000; ++i) {
    noise += static_cast<char>((i * 7919 + i / 13) % 256);
  }
  PutFile(path, noise);
  EXPECT_EQ(store.ReadSettingText(kSectionFont, kEntrySummaryName, "def"), "def");
  EXPECT_TRUE(store.ReadUrlList().empty());
  PutFile(path, std::string(300000, '\n') + std::string(300000, '['));
  EXPECT_EQ(store.ReadSettingInt(kSectionOptions, kEntryKiosk, 4), 4);
}

TEST_F(SettingsStoreTest, UnusableFilesGiveDefaultsAndAreNeverReplaced) {
  // A path below a regular file: nothing can be created there.
  PutFile(dir + "/blocker", "x");
  CSettingsStore blocked(dir + "/blocker/Vandrel/Tamsel.conf");
  EXPECT_FALSE(blocked.WriteSettingInt(kSectionOptions, kEntrySplash, 1));
  EXPECT_EQ(blocked.ReadSettingInt(kSectionOptions, kEntrySplash, 0), 0);
  EXPECT_FALSE(CSettingsStore("").WriteSettingInt(kSectionOptions, kEntrySplash, 1));

  // A directory or a FIFO where the file should be: defaults at once, no hang.
  fs::create_directories(path);
  CSettingsStore onDirectory(path);
  EXPECT_EQ(onDirectory.ReadSettingText(kSectionFont, kEntrySummaryName, "d"), "d");
  EXPECT_FALSE(onDirectory.WriteSettingText(kSectionFont, kEntrySummaryName, "x"));
  std::string fifo = dir + "/fifo.conf";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  CSettingsStore onFifo(fifo);
  EXPECT_EQ(onFifo.ReadSettingInt(kSectionOptions, kEntryKiosk, 3), 3);
  EXPECT_FALSE(onFifo.WriteSettingInt(kSectionOptions, kEntryKiosk, 1));

  // A file too large to be ours is neither read nor replaced.
  std::string huge = dir + "/huge.conf";
  std::string big = "[Options]\nKiosk=1\n" + std::string(17 * 1024 * 1024, ';');
  PutFile(huge, big);
  CSettingsStore onHuge(huge);
  EXPECT_EQ(onHuge.ReadSettingInt(kSectionOptions, kEntryKiosk, 0), 0);
  EXPECT_FALSE(onHuge.WriteSettingInt(kSectionOptions, kEntrySplash, 1));
  EXPECT_EQ(fs::file_size(huge), big.size());

  // No permission: an unreadable file, and a readable one in a read-only
  // directory. Checked in a child that drops root, which would ignore modes.
  std::string noAccess = dir + "/noaccess/Tamsel.conf";
  std::string readOnly = dir + "/readonly/Tamsel.conf";
  PutFile(noAccess, "[Options]\nKiosk=1\n");
  PutFile(readOnly, "[Options]\nKiosk=1\n");
  fs::permissions(noAccess, fs::perms::none);
  fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  for (const std::string& folder : {dir, dir + "/noaccess", dir + "/readonly"}) {
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  }
  fs::permissions(dir + "/readonly", fs::perms::owner_read | fs::perms::owner_exec |
                                         fs::perms::others_read | fs::perms::others_exec);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
      _exit(100);
    }
    CSettingsStore unreadable(noAccess);
    CSettingsStore unwritable(readOnly);
    int failures = 0;
    failures |= unreadable.ReadSettingInt(kSectionOptions, kEntryKiosk, 0) != 0 ? 1 : 0;
    failures |= unreadable.WriteSettingInt(kSectionOptions, kEntrySplash, 1) ? 2 : 0;
    failures |= unwritable.ReadSettingInt(kSectionOptions, kEntryKiosk, 0) != 1 ? 4 : 0;
    failures |= unwritable.WriteSettingInt(kSectionOptions, kEntrySplash, 1) ? 8 : 0;
    _exit(failures);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "bit 1: read of unreadable, 2: its write, "
                                       "4: read of read-only, 8: its write";
  EXPECT_EQ(FileText(readOnly), "[Options]\nKiosk=1\n");
}

TEST_F(SettingsStoreTest, LinkedFileIsUpdatedWhereItLives) {
  std::string real = dir + "/dotfiles/Tamsel.conf";
  PutFile(real, "[Options]\nKiosk=1\n");
  fs::create_directories(dir + "/Vandrel");
  fs::create_symlink(real, path);
  CSettingsStore store(path);
  ASSERT_TRUE(store.WriteSettingInt(kSectionOptions, kEntrySplash, 1));
  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_EQ(FileText(real), "[Options]\nKiosk=1\nSplash=1\n");
}

// Children report through their exit status: gtest assertions stay in the parent.
void WriteManyAndExit(const std::string& path, int writer, int count) {
  CSettingsStore store(path);
  for (int i = 0; i < count; ++i) {
    std::string entry = "w" + std::to_string(writer) + " e" + std::to_string(i);
    bool ok = store.WriteSettingInt(i % 2 ? "Shared" : "Writer " + std::to_string(writer), entry,
                                    writer * 1000 + i);
    if (!ok) {
      _exit(1);
    }
  }
  _exit(0);
}

TEST_F(SettingsStoreTest, ConcurrentWritersLoseNothing) {
  constexpr int kWriters = 3;
  constexpr int kWrites = 80;
  std::vector<pid_t> children;
  for (int writer = 0; writer < kWriters; ++writer) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      WriteManyAndExit(path, writer, kWrites);
    }
    children.push_back(child);
  }
  // Meanwhile this process writes too, through two store objects in turn.
  CSettingsStore first(path);
  CSettingsStore second(path);
  for (int i = 0; i < kWrites; ++i) {
    ASSERT_TRUE((i % 2 ? first : second).WriteSettingText("Parent", std::to_string(i), "v"));
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  CSettingsStore store(path);
  for (int writer = 0; writer < kWriters; ++writer) {
    for (int i = 0; i < kWrites; ++i) {
      std::string entry = "w" + std::to_string(writer) + " e" + std::to_string(i);
      std::string section = i % 2 ? "Shared" : "Writer " + std::to_string(writer);
      EXPECT_EQ(store.ReadSettingInt(section, entry, -1), writer * 1000 + i) << entry;
    }
  }
  for (int i = 0; i < kWrites; ++i) {
    EXPECT_EQ(store.ReadSettingText("Parent", std::to_string(i), ""), "v") << i;
  }
}

TEST_F(SettingsStoreTest, WriterKilledMidLoopLeavesCompleteFile) {
  ASSERT_TRUE(CSettingsStore(path).WriteSettingText("Loop", "anchor", std::string(4000, 'a')));
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    CSettingsStore store(path);
    for (int i = 0;; ++i) {
      store.WriteSettingText("Loop", "e" + std::to_string(i), std::string(4000, 'x'));
    }
  }
  // Meanwhile an entry written before the loop must be readable at every
  // moment: a reader never sees a half-written file.
  CSettingsStore store(path);
  int tornReads = 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (store.ReadSettingText("Loop", "e20", "").empty() &&
         std::chrono::steady_clock::now() < deadline) {
    tornReads += store.ReadSettingText("Loop", "anchor", "").size() == 4000 ? 0 : 1;
  }
  kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_EQ(tornReads, 0);

  // Every entry up to the last one written is there, whole; nothing after it.
  int present = 0;
  while (store.ReadSettingText("Loop", "e" + std::to_string(present), "").size() == 4000) {
    ++present;
  }
  EXPECT_GT(present, 20);
  EXPECT_EQ(store.ReadSettingText("Loop", "e" + std::to_string(present), "none"), "none");

  // The next write clears temp files a killed writer left, and nothing else.
  PutFile(path + ".tmpAb12Cd", "stale");
  PutFile(path + ".tmp-mine", "kept");
  ASSERT_TRUE(store.WriteSettingInt(kSectionOptions, kEntrySplash, 1));
  EXPECT_EQ(Listing(dir + "/Vandrel"),
            (std::vector<std::string>{"Tamsel.conf", "Tamsel.conf.lock", "Tamsel.conf.tmp-mine"}));
}

TEST_F(SettingsStoreTest, WriteWaitsForTheLockHolder) {
  CSettingsStore store(path);
  ASSERT_TRUE(store.WriteSettingInt(kSectionOptions, kEntrySplash, 0));
  int lockFd = open((path + ".lock").c_str(), O_RDONLY);
  ASSERT_GE(lockFd, 0);
  ASSERT_EQ(flock(lockFd, LOCK_EX), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(lockFd);  // the inherited descriptor would hold the lock for us
    _exit(CSettingsStore(path).WriteSettingInt(kSectionOptions, kEntrySplash, 1) ? 0 : 1);
  }
  // However long we hold the lock, the file stays untouched until we let go.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(store.ReadSettingInt(kSectionOptions, kEntrySplash, -1), 0);
  close(lockFd);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(store.ReadSettingInt(kSectionOptions, kEntrySplash, -1), 1);
}

TEST_F(SettingsStoreTest, FailedWritesSayWhy) {
  using Status = CSettingsStore::WriteStatus;
  auto write = [](CSettingsStore& store) {
    bool stored = store.WriteSettingInt(kSectionOptions, kEntrySplash, 1);
    EXPECT_EQ(stored, store.LastWriteStatus() == Status::Stored);
    return store.LastWriteStatus();
  };
  CSettingsStore nowhere("");
  EXPECT_EQ(write(nowhere), Status::NoLocation);

  // XDG_CONFIG_HOME naming a regular file: the directory can't be made.
  PutFile(dir + "/xdg", "x");
  std::string savedXdg = getenv("XDG_CONFIG_HOME") ? getenv("XDG_CONFIG_HOME") : "";
  bool hadXdg = getenv("XDG_CONFIG_HOME") != nullptr;
  setenv("XDG_CONFIG_HOME", (dir + "/xdg").c_str(), 1);
  CSettingsStore underFile(CSettingsStore::DefaultPath());
  hadXdg ? setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(write(underFile), Status::NoDirectory);

  fs::create_directories(dir + "/isdir.conf");
  CSettingsStore onDirectory(dir + "/isdir.conf");
  EXPECT_EQ(write(onDirectory), Status::NotRegular);

  std::string huge = dir + "/huge.conf";
  PutFile(huge, "");
  fs::resize_file(huge, 16 * 1024 * 1024 + 1);
  CSettingsStore onHuge(huge);
  EXPECT_EQ(write(onHuge), Status::TooLarge);
  EXPECT_EQ(fs::file_size(huge), 16u * 1024 * 1024 + 1);

  // A lock held elsewhere past the wait; the wait is ours to choose.
  CSettingsStore store(path);
  EXPECT_EQ(write(store), Status::Stored);
  int lockFd = open((path + ".lock").c_str(), O_RDONLY);
  ASSERT_GE(lockFd, 0);
  ASSERT_EQ(flock(lockFd, LOCK_EX), 0);
  // flock() locks conflict between separate opens, even in one process.
  CSettingsStore other(path);
  other.lockWait = std::chrono::milliseconds(0);
  EXPECT_EQ(write(other), Status::LockBusy);
  close(lockFd);
  EXPECT_EQ(store.ReadSettingInt(kSectionOptions, kEntrySplash, -1), 1);

  // A symlinked lock file is never followed: its target is neither created
  // nor touched, and nothing is stored.
  std::string linked = dir + "/linked/Tamsel.conf";
  PutFile(linked, "[Options]\nSplash=0\n");
  fs::create_symlink(dir + "/planted", linked + ".lock");
  CSettingsStore onLink(linked);
  EXPECT_EQ(write(onLink), Status::LockUnsafe);
  EXPECT_FALSE(fs::exists(dir + "/planted"));
  PutFile(dir + "/planted", "keep");
  EXPECT_EQ(write(onLink), Status::LockUnsafe);
  EXPECT_EQ(FileText(dir + "/planted"), "keep");
  EXPECT_EQ(FileText(linked), "[Options]\nSplash=0\n");
  EXPECT_STRNE(CSettingsStore::DescribeWriteStatus(Status::LockUnsafe), "");
}

TEST_F(SettingsStoreTest, FailuresAreAnnouncedOnceUntilAWriteWorks) {
  using Status = CSettingsStore::WriteStatus;
  fs::create_directories(path);  // a directory where the file should be
  CSettingsStore store(path);
  std::vector<Status> announced;
  Connection c = store.writeFailed.Connect([&](Status s) { announced.push_back(s); });
  store.WriteSettingInt(kSectionOptions, kEntrySplash, 1);
  store.WriteSettingText(kSectionOptions, "Other", "x");
  EXPECT_EQ(announced, (std::vector<Status>{Status::NotRegular}));
  EXPECT_NE(store.WriteFailedText(Status::NotRegular).find(path), std::string::npos);

  fs::remove(path);
  EXPECT_TRUE(store.WriteSettingInt(kSectionOptions, kEntrySplash, 1));
  fs::remove(path);
  fs::create_directories(path);
  store.WriteSettingInt(kSectionOptions, kEntrySplash, 2);
  EXPECT_EQ(announced, (std::vector<Status>{Status::NotRegular, Status::NotRegular}));
}

TEST(SettingsStoreNamesTest, DefaultPathAndIntegerEntries) {
  const char* oldConfig = getenv("XDG_CONFIG_HOME");
  const char* oldHome = getenv("HOME");
  std::string savedConfig = oldConfig ? oldConfig : "";
  std::string savedHome = oldHome ? oldHome : "";
  setenv("HOME", "/home/ann", 1);
  setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(CSettingsStore::DefaultPath(), "/cfg/Vandrel/Tamsel.conf");
  setenv("XDG_CONFIG_HOME", "relative", 1);
  EXPECT_EQ(CSettingsStore::DefaultPath(), "/home/ann/.config/Vandrel/Tamsel.conf");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(CSettingsStore::DefaultPath(), "/home/ann/.config/Vandrel/Tamsel.conf");
  oldConfig ? setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
  oldHome ? setenv("HOME", savedHome.c_str(), 1) : unsetenv("HOME");

  EXPECT_TRUE(CSettingsStore::IsIntegerSetting("Options", "Kiosk"));
  EXPECT_TRUE(CSettingsStore::IsIntegerSetting("Window Position", "height"));
  EXPECT_TRUE(CSettingsStore::IsIntegerSetting("Default Database Section", "Default Order:"));
  EXPECT_TRUE(CSettingsStore::IsIntegerSetting("Font", "AbstractSize"));
  EXPECT_FALSE(CSettingsStore::IsIntegerSetting("Default Database Section", "Default Order"));
  EXPECT_FALSE(CSettingsStore::IsIntegerSetting("Font", "AbstractName"));
  EXPECT_FALSE(CSettingsStore::IsIntegerSetting("Default URL Section", "Default URL:"));
}

}  // namespace
