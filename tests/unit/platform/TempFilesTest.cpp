#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "TempDir.h"
#include "platform/CTempFiles.h"

namespace {

TEST(PrivateDirectory, IsPrivateAndRemovedWithEverythingInIt) {
  TempDir dir;
  std::string priv = CTempFiles::CreatePrivateDirectory(dir.Path() + "/");
  ASSERT_FALSE(priv.empty());
  struct stat st {};
  ASSERT_EQ(stat(priv.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(CTempFiles::ConfigCopyName(priv, 4), priv + "config4.TCF");

  dir.Write(priv.substr(dir.Path().size() + 1) + "config0.TCF", "a");
  dir.Write(priv.substr(dir.Path().size() + 1) + "smtp.txt", "b");
  CTempFiles::RemovePrivateDirectory(priv, 1);
  EXPECT_FALSE(FileExists(priv));

  EXPECT_EQ(CTempFiles::CreatePrivateDirectory("/nonexistent/dir/"), "");
}

// A program ended by SIGTERM or SIGINT still removes its configuration copies.
TEST(PrivateDirectory, RemovedWhenTheProgramIsKilled) {
  for (int sig : {SIGTERM, SIGINT}) {
    TempDir dir;
    std::string priv = CTempFiles::CreatePrivateDirectory(dir.Path() + "/");
    ASSERT_FALSE(priv.empty());
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    pid_t pid = fork();
    if (pid == 0) {
      static volatile int counter = 0;
      CTempFiles::InstallExitCleanup(priv, &counter);
      for (int n = 0; n < 3; ++n) {
        FILE* f = fopen(CTempFiles::ConfigCopyName(priv, n).c_str(), "w");
        if (f != nullptr) {
          fclose(f);
        }
        counter = n + 1;
      }
      char ready = 'r';
      (void)!write(pipeFds[1], &ready, 1);
      for (;;) {
        pause();
      }
    }
    char ready = 0;
    ASSERT_EQ(read(pipeFds[0], &ready, 1), 1);
    EXPECT_TRUE(FileExists(priv + "config2.TCF"));
    kill(pid, sig);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), sig);
    EXPECT_FALSE(FileExists(priv + "config0.TCF"));
    EXPECT_FALSE(FileExists(priv)) << "signal " << sig;
    close(pipeFds[0]);
    close(pipeFds[1]);
  }
}

}  // namespace
