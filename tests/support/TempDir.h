#pragma once

#include <string>

// A fresh directory for one test, removed with everything in it afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory, without a trailing "/".
  const std::string& Path() const { return path; }
  std::string File(const std::string& name) const { return path + "/" + name; }
  // Writes `text` to `name` inside the directory; returns the full path.
  std::string Write(const std::string& name, const std::string& text) const;

 private:
  std::string path;
};

std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();

 private:
  std::string name;
  bool hadValue = false;
  std::string oldValue;
};
