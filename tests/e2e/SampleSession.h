#pragma once

// What the end-to-end tests share: the real sample driver as a child
// process, the bundled sample configurations rewritten for its port, runs of
// the tamsel-cli binary, and a plain reading of the bundled stanza files to
// tell what the driver should find.

#include <gtest/gtest.h>
#include <sys/types.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "DriverProcess.h"
#include "RunProgram.h"
#include "TempDir.h"

// tamsel-sample-driver on a free loopback port, serving bundled databases
// ("catalogue", "changelog"); stopped with SIGTERM.
class SampleDriver : public DriverProcess {
 public:
  explicit SampleDriver(const std::vector<std::string>& databases);
};

// A file of data/sample in the source tree.
std::string SamplePath(const std::string& name);

// Copies data/sample/NAME into `dir` with the driver address 127.0.0.1:7301
// changed to the given port; returns the copy's path.
std::string CopySample(const TempDir& dir, const std::string& name, int port);

// A directory laid out as a user would run the sample configurations from:
// the three configurations, the two database files of the separate-files
// configuration and db.ifo, all pointing at `port`. Settings and temporary
// files of the runs go into subdirectories of it.
class SampleWorkDir {
 public:
  explicit SampleWorkDir(int port);

  const std::string& Path() const { return dir.Path(); }
  std::string File(const std::string& name) const { return dir.File(name); }

  // Runs tamsel-cli in this directory with `args`, feeding `input` on its
  // standard input.
  ProgramResult Run(const std::vector<std::string>& args, const std::string& input = "",
                    const std::vector<std::string>& extraEnv = {}) const;
  // Runs tamsel-cli with the commands read from standard input, one a line.
  ProgramResult Commands(const std::vector<std::string>& commands) const;

 private:
  TempDir dir;
};

// A suite of sessions against one sample driver, started once for the suite
// by its SetUpTestSuite (StartDriver), with a fresh working directory for
// each test.
class SampleSuite : public ::testing::Test {
 protected:
  static void StartDriver(const std::vector<std::string>& databases) {
    driver = std::make_unique<SampleDriver>(databases);
  }
  static void TearDownTestSuite() {
    EXPECT_EQ(driver->Stop(), 0) << "the sample driver did not stop cleanly";
    driver.reset();
  }
  void SetUp() override {
    ASSERT_GT(driver->Port(), 0) << "the sample driver did not start";
    work = std::make_unique<SampleWorkDir>(driver->Port());
  }

  static inline std::unique_ptr<SampleDriver> driver;
  std::unique_ptr<SampleWorkDir> work;
};

// One record of a stanza file: each field's value (continuation lines joined
// with line feeds, " ." as an empty line), field names in lower case.
struct Stanza {
  std::map<std::string, std::string> fields;

  // The first line of a field's value; empty when the record lacks it.
  std::string First(const std::string& field) const;
  bool Has(const std::string& field) const { return fields.count(field) != 0; }
  // Whether `field` (any field when empty) holds `word` as a whole word,
  // case ignored.
  bool HasWord(const std::string& word, const std::string& field = "") const;
};

// The records of a stanza file in file order, without the database
// description stanza.
std::vector<Stanza> ReadStanzas(const std::string& path);

// The words of a text: runs of letters and digits (bytes above 127 count as
// letters), in lower case.
std::vector<std::string> Words(const std::string& text);

// A title line as the title list holds it: the number left-aligned in three
// columns, a blank, the text.
std::string TitleLine(int number, const std::string& text);

// The match count in the summary window's explanation text; -1 without one.
int MatchCount(const std::string& summaryText);

// The lines of `text` (split at line feeds, a final empty piece dropped).
std::vector<std::string> Lines(const std::string& text);

// The "error: " lines of a run's standard error.
std::vector<std::string> ErrorLines(const std::string& err);
