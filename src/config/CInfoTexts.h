#pragma once

#include <cstddef>
#include <map>
#include <string>

class CConfigFetcher;
class CConfigFile;
class CConfigLexer;
class CConfigLoader;
class CConfiguration;
class Ui;

// The information texts of one document: a short text per database tag and
// per submenu key, read once from the information file ("db.ifo" beside a
// local configuration or in the current directory, or "db.info" beside a
// remote configuration), and the keys whose
// text the user has already seen.
class CInfoTexts {
 public:
  // A larger file is refused: the texts are meant to be short, and a server
  // sending gigabytes must not take the program's memory with it.
  static constexpr std::size_t kMaxFileBytes = 64u * 1024 * 1024;

  std::map<std::string, std::string> infoTexts;
  // key -> "TRUE" for every key whose text has been shown.
  std::map<std::string, std::string> infoSeen;
  bool infoTextsLoaded = false;
  // Tests lower it to try the refusal without writing 64 MiB.
  std::size_t maxFileBytes = kMaxFileBytes;

  // Reads the information file unless it was read before. False when there is
  // none (the reason has been shown); the next call tries again.
  bool LoadInformationTexts(CConfiguration& config, CConfigLoader& loader, CConfigFetcher& fetcher,
                            CConfigLexer& lexer, Ui& ui);

  // Adds the entries of an open information file; a later entry replaces an
  // earlier one with the same key. False, with nothing added, when the file
  // is larger than maxFileBytes or could not be read to its end.
  bool Parse(CConfigFile& file);

  // The text for `key`, or none.
  const std::string* Find(const std::string& key) const;
  void MarkSeen(const std::string& key);
  bool Seen(const std::string& key) const;
};
