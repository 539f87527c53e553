#include "CTextIndex.h"

#include <algorithm>
#include <limits>

namespace {

bool IsWordByte(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80;
}

std::uint64_t StartKey(std::uint32_t record, std::uint16_t field, std::uint32_t position) {
  return (static_cast<std::uint64_t>(record) << 32) | (static_cast<std::uint64_t>(field) << 16) |
         position;
}

void SortUnique(std::vector<std::uint64_t>& keys) {
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
}

}  // namespace

std::vector<CTextIndex::Token> CTextIndex::Tokenize(const std::string& text) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    if (!IsWordByte(static_cast<unsigned char>(text[i]))) {
      ++i;
      continue;
    }
    std::size_t start = i;
    std::string word;
    while (i < text.size() && IsWordByte(static_cast<unsigned char>(text[i]))) {
      char c = text[i];
      word += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
      ++i;
    }
    tokens.push_back({std::move(word), start, i});
  }
  return tokens;
}

void CTextIndex::Add(std::uint32_t record, int field, const std::string& text) {
  std::vector<Token> tokens = Tokenize(text);
  // Positions past the 16-bit range are not indexed; no sample field is that long.
  std::size_t count =
      std::min<std::size_t>(tokens.size(), std::numeric_limits<std::uint16_t>::max());
  for (std::size_t i = 0; i < count; ++i) {
    auto [it, added] = termIds.emplace(tokens[i].text, static_cast<std::uint32_t>(postings.size()));
    if (added) {
      postings.emplace_back();
    }
    postings[it->second].push_back(
        {record, static_cast<std::uint16_t>(field), static_cast<std::uint16_t>(i)});
  }
}

void CTextIndex::Finish() {
  sortedTerms.assign(termIds.begin(), termIds.end());
  std::sort(sortedTerms.begin(), sortedTerms.end());
}

std::vector<std::uint32_t> CTextIndex::TermIds(const std::string& word, bool prefix) const {
  std::vector<std::uint32_t> ids;
  if (!prefix) {
    auto it = termIds.find(word);
    if (it != termIds.end()) {
      ids.push_back(it->second);
    }
    return ids;
  }
  auto it = std::lower_bound(sortedTerms.begin(), sortedTerms.end(),
                             std::make_pair(word, std::uint32_t{0}));
  for (; it != sortedTerms.end() && it->first.compare(0, word.size(), word) == 0; ++it) {
    ids.push_back(it->second);
  }
  return ids;
}

std::vector<std::uint64_t> CTextIndex::PhraseStarts(const std::string& word, bool prefix,
                                                    std::size_t offset, int field) const {
  std::vector<std::uint64_t> keys;
  for (std::uint32_t id : TermIds(word, prefix)) {
    for (const Posting& p : postings[id]) {
      if ((field < 0 || p.field == field) && p.position >= offset) {
        keys.push_back(
            StartKey(p.record, p.field, p.position - static_cast<std::uint32_t>(offset)));
      }
    }
  }
  SortUnique(keys);
  return keys;
}

RecordList CTextIndex::FindPhrase(const std::vector<std::string>& words, bool lastIsPrefix,
                                  int field) const {
  std::vector<std::uint64_t> starts;
  for (std::size_t i = 0; i < words.size(); ++i) {
    bool prefix = lastIsPrefix && i + 1 == words.size();
    std::vector<std::uint64_t> next = PhraseStarts(words[i], prefix, i, field);
    if (i == 0) {
      starts = std::move(next);
    } else {
      std::vector<std::uint64_t> both;
      std::set_intersection(starts.begin(), starts.end(), next.begin(), next.end(),
                            std::back_inserter(both));
      starts = std::move(both);
    }
    if (starts.empty()) {
      break;
    }
  }
  RecordList records;
  for (std::uint64_t key : starts) {
    auto record = static_cast<std::uint32_t>(key >> 32);
    if (records.empty() || records.back() != record) {
      records.push_back(record);
    }
  }
  return records;
}

std::vector<CTextIndex::TermCount> CTextIndex::FieldTerms(int field) const {
  std::vector<TermCount> terms;
  for (const auto& [term, id] : sortedTerms) {
    std::uint32_t count = 0;
    std::uint32_t last = std::numeric_limits<std::uint32_t>::max();
    for (const Posting& p : postings[id]) {
      if (p.field == field && p.record != last) {
        ++count;
        last = p.record;
      }
    }
    if (count > 0) {
      terms.push_back({term, count});
    }
  }
  return terms;
}
