#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

using RecordList = std::vector<std::uint32_t>;  // record numbers, sorted, unique

// The inverted index of one database: every word of every field with its
// record, field and word position, so words, truncated words and phrases are
// found without reading the records.
class CTextIndex {
 public:
  // A word of a text: lower-case letters and digits (bytes above 127 count as
  // letters, so UTF-8 words stay whole) with its byte offsets in the text.
  struct Token {
    std::string text;
    std::size_t start;
    std::size_t end;
  };
  struct TermCount {
    std::string term;
    std::uint32_t records;
  };

  static std::vector<Token> Tokenize(const std::string& text);

  void Add(std::uint32_t record, int field, const std::string& text);
  // Sorts the dictionary; call once after the last Add.
  void Finish();

  // Records where the words follow each other in `field` (-1: any field).
  // With `lastIsPrefix` the last word matches every word it begins.
  RecordList FindPhrase(const std::vector<std::string>& words, bool lastIsPrefix, int field) const;
  // Every word of `field` with the number of records holding it, sorted.
  std::vector<TermCount> FieldTerms(int field) const;

 private:
  struct Posting {
    std::uint32_t record;
    std::uint16_t field;
    std::uint16_t position;
  };
  // Postings of one word of a phrase, keyed by where the phrase would start.
  std::vector<std::uint64_t> PhraseStarts(const std::string& word, bool prefix, std::size_t offset,
                                          int field) const;
  std::vector<std::uint32_t> TermIds(const std::string& word, bool prefix) const;

  std::unordered_map<std::string, std::uint32_t> termIds;
  std::vector<std::vector<Posting>> postings;
  std::vector<std::pair<std::string, std::uint32_t>> sortedTerms;
};
