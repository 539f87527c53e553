#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

#include "search/CQueryRecord.h"

class CQueryList;
class Ui;

// The query list file ("qry"): the magic number, a marker line, then one
// block of 69 lines per query (its name, six rows of ten lines, four limit
// boxes of caption and flag). Written with CR LF line ends; read with CR LF
// or LF.
class CQueryListFile {
 public:
  static constexpr long kMagic = 345672;
  static constexpr const char* kMarkerLine = "### TAMSEL PRIVATE FILE, DO NOT EDIT ###";
  static constexpr int kRowLines = 10;
  static constexpr int kBlockLines =
      1 + CQueryRecord::kRows * kRowLines + 2 * CQueryRecord::kLimitBoxes;
  // Far beyond any real list; a bigger file is refused rather than read.
  static constexpr off_t kMaxFileSize = off_t{64} * 1024 * 1024;

  struct Parsed {
    // False when the first line is not the magic number: nothing is loaded
    // and nothing is said.
    bool recognised = false;
    // The whole query blocks, in file order.
    std::vector<CQueryRecord> records;
    // The file ended inside a query block, which was dropped.
    bool truncated = false;
  };

  // The file's bytes for these queries, in `queryNames` order.
  static std::string Format(const CQueryList& list);
  static Parsed Parse(std::string_view text);

  // Writes the whole list to `path` (the old file stays whole when that
  // fails). False after "Error creating file".
  static bool Save(const std::string& path, const CQueryList& list, Ui& ui);
  // Adds the file's queries to the list. False when nothing could be read
  // (after its message) or the file is not a query list (silently).
  static bool Load(const std::string& path, CQueryList& list, Ui& ui);
};
