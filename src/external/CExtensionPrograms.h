#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "config/CDBExtRec.h"

class Ui;

// Hands collected extension data to the database's extension program: writes
// the data file and starts the program on it, reporting failures in message
// boxes.
class CExtensionPrograms {
 public:
  static constexpr const char* kLoadErrorText = "Couldn't load program";
  static constexpr const char* kLoadErrorCaption = "Winexec error";
  static constexpr const char* kErrorNumberCaption = "Error Number %d ";
  static constexpr const char* kDataFileErrorText =
      "Couldn't create the extension data file in %s\nThe program was not started.";

  struct Outcome {
    // The data file's full name; empty when it could not be made.
    std::string fileName;
    bool started = false;
  };

  explicit CExtensionPrograms(Ui& ui);

  // The command line of the first program labelled exactly `label`
  // (case counts), or "" when none is.
  static std::string FindProgram(const std::vector<CDBExtRec>& extensions,
                                 const std::string& label);

  // The words the program is started with: its command line split into
  // words (double quotes group), then the data file's full name.
  static std::vector<std::string> ProgramWords(const std::string& commandLine,
                                               const std::string& fileName);

  // Writes `text` into a new "EXT<n>.tmp" in `tempDirectory` and starts the
  // program labelled `label` on it. With no file, no program is started and
  // the user is told why.
  Outcome Run(const std::vector<CDBExtRec>& extensions, const std::string& label,
              const std::string& tempDirectory, const std::string& text, std::time_t now);

 private:
  Ui& ui;
};
