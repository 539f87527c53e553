#pragma once

#include <QString>
#include <cstddef>
#include <string>
#include <vector>

// Driver text as a text widget holds it. Each piece the model adds is
// decoded on its own (UTF-8 when valid, else Latin-1) and a CR LF pair shows
// as one line break, so widget positions and the model's byte offsets differ;
// the pieces' lengths are kept to convert between the two.
class CDisplayText {
 public:
  struct Insertion {
    int position = 0;
    QString text;
  };

  // The model put `length` bytes into `text` at byte offset `at` (`text` as
  // it is after the insertion): what the widget inserts, and where.
  Insertion Insert(const std::string& text, std::size_t at, std::size_t length);
  void Clear() { pieces.clear(); }

  // `text` is the model's whole text, as it is now.
  int ToPosition(const std::string& text, std::size_t offset) const;
  std::size_t ToOffset(const std::string& text, int position) const;

  int Length() const;

  // Bytes as the widget shows them.
  static QString Convert(const std::string& bytes);

 private:
  struct Piece {
    std::size_t bytes = 0;
    int chars = 0;
    bool utf8 = false;
    // A byte order mark the decoder dropped.
    bool bom = false;
  };

  static QString Decode(const char* data, std::size_t size, bool& utf8);
  // Walks one piece from its start: the characters of its first `limit`
  // bytes, or (byBytes false) the bytes of its first `limit` characters.
  static std::size_t Walk(const char* data, const Piece& piece, std::size_t limit, bool byBytes);
  // Makes a piece start at `offset` (splitting the one that holds it) and
  // returns its index.
  std::size_t SplitAt(const std::string& text, std::size_t offset);

  std::vector<Piece> pieces;
};
