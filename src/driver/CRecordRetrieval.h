#pragma once

#include <string>
#include <vector>

// The cursor over the titles whose records are being fetched: which list
// indexes, in selection order, how many have arrived, and what kind of
// record is asked for. The summary window starts a retrieval; the link
// advances it as each record arrives.
class CRecordRetrieval {
 public:
  // The record kinds a request asks for (the request's kind number).
  enum Kind { FULL = 0, SUMMARY = 1, EXTENSION = 2 };

  // Full records of `selection` (list indexes), one request at a time.
  void StartFull(const std::vector<int>& selection);
  // Summaries of `selection`; the summary window counts their progress.
  void StartSummaries(const std::vector<int>& selection);
  // Extension data of `selection`: requested in selection order, collected
  // with a line feed between records for the extension program.
  void StartExtension(const std::vector<int>& selection);

  // One record of the retrieval arrived; true while more are to be fetched.
  bool NextRecordArrived();
  // Extension data of one record arrived.
  void ExtensionDataArrived(const std::string& text);
  // Nothing more is fetched.
  void Cancel();

  bool Active() const { return retrieved < Count(); }
  Kind CurrentKind() const { return kind; }
  int Count() const { return static_cast<int>(items.size()); }
  int Retrieved() const { return retrieved; }
  const std::vector<int>& Items() const { return items; }
  // The 1-based record number of item `index`.
  int RecordNumber(int index) const { return items[static_cast<std::size_t>(index)] + 1; }
  // The record number the next request asks for.
  int NextRecordNumber() const { return RecordNumber(retrieved); }
  const std::string& ExtensionText() const { return extensionText; }

  // A summary request is outstanding: its reply goes to the summary window.
  void ExpectSummary(bool expected) { summaryExpected = expected; }
  bool SummaryExpected() const { return summaryExpected; }

 private:
  void Start(Kind newKind, const std::vector<int>& selection);

  Kind kind = FULL;
  std::vector<int> items;
  int retrieved = 0;
  bool summaryExpected = false;
  std::string extensionText;
};
