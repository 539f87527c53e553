#pragma once

#include <functional>
#include <string>

// Where temporary files go, and the private per-process directory that holds
// the configuration copies and the mail body. The directory and the copies
// are removed at exit, also when the process is ended by SIGTERM, SIGINT or
// SIGHUP.
class CTempFiles {
 public:
  using GetEnv = std::function<const char*(const char*)>;

  // TEMP, else TMP, else TMPDIR, else "/tmp"; always ends in "/".
  static std::string ChooseTempDirectory(const GetEnv& getEnv);

  // Creates "<tempDirectory>tamsel-XXXXXX" with mode 0700. Returns the path
  // with a trailing "/", or "" when it cannot be made.
  static std::string CreatePrivateDirectory(const std::string& tempDirectory);

  // The name of configuration copy n inside `directory`.
  static std::string ConfigCopyName(const std::string& directory, int n);

  // Deletes config0.TCF .. config<count-1>.TCF in `directory`, then the
  // directory itself with whatever else the program left in it.
  static void RemovePrivateDirectory(const std::string& directory, int count);

  // Registers the directory and a counter for removal by the signal handlers.
  // The counter is read inside the handler, so it must stay valid.
  static void InstallExitCleanup(const std::string& directory, const volatile int* counter);
  static void UninstallExitCleanup();
};
