#include "driver/CRecordRetrieval.h"

void CRecordRetrieval::Start(Kind newKind, const std::vector<int>& selection) {
  kind = newKind;
  items = selection;
  retrieved = 0;
  extensionText.clear();
}

void CRecordRetrieval::StartFull(const std::vector<int>& selection) {
  Start(FULL, selection);
}

void CRecordRetrieval::StartSummaries(const std::vector<int>& selection) {
  Start(SUMMARY, selection);
}

void CRecordRetrieval::StartExtension(const std::vector<int>& selection) {
  Start(EXTENSION, selection);
}

bool CRecordRetrieval::NextRecordArrived() {
  ++retrieved;
  return Active();
}

void CRecordRetrieval::ExtensionDataArrived(const std::string& text) {
  if (!extensionText.empty()) {
    extensionText += '\n';
  }
  extensionText += text;
}

void CRecordRetrieval::Cancel() {
  retrieved = Count();
}
