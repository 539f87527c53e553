#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

// One extension run: the data of the selected records, collected one reply
// at a time in selection order, and the data file the program reads.
class CExtensionData {
 public:
  // Begins collecting for the program `label` from the selected title
  // indexes (0-based), in selection order.
  void Start(const std::string& label, std::vector<int> selectedItems);

  // The result number (1-based) of the next record to ask for, or none when
  // every record's data is in (or nothing is being collected).
  std::optional<int> NextResultNumber() const;

  // Takes one record's data; records are separated by a line feed. True
  // when this was the last record, so the file can be written.
  bool Add(const std::string& text);

  bool Active() const { return !extensionLabel.empty() && extensionIndex < extensionCount; }
  const std::string& ExtensionLabel() const { return extensionLabel; }
  int ExtensionCount() const { return extensionCount; }
  int ExtensionIndex() const { return extensionIndex; }
  const std::string& ExtensionText() const { return extensionText; }

  // The number in the file name: the high and low 16 bits of the time added
  // together, 0 to 131070.
  static int FileNumber(std::time_t now);
  // "<tempDirectory>EXT<number>.tmp"; `tempDirectory` ends in "/".
  static std::string FileName(const std::string& tempDirectory, int number);
  // Line feeds become carriage return and line feed; a CR LF already there
  // stays as it is.
  static std::string FileText(const std::string& text);

  // Writes `text` to a new data file and returns its full name. The file
  // outlives the program (the extension program reads it after we may be
  // gone) and lives in a shared directory, so it is always a new file of
  // ours, mode 0600: a name that is taken, also by a symbolic link, is left
  // alone and the next number is tried. None when no file could be made.
  static std::optional<std::string> WriteFile(const std::string& tempDirectory, std::time_t now,
                                              const std::string& text);

 private:
  std::string extensionLabel;
  int extensionCount = 0;
  int extensionIndex = 0;
  std::string extensionText;
  std::vector<int> selectedItems;
};
