#include "ui/CDisplayText.h"

#include <QStringDecoder>
#include <algorithm>

namespace {

bool StartsWithBom(const char* data, std::size_t size) {
  return size >= 3 && static_cast<unsigned char>(data[0]) == 0xEF &&
         static_cast<unsigned char>(data[1]) == 0xBB && static_cast<unsigned char>(data[2]) == 0xBF;
}

}  // namespace

QString CDisplayText::Decode(const char* data, std::size_t size, bool& utf8) {
  // The rule of CQtUi::ToQString, which also has to say which one it took.
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString decoded = decoder(QByteArrayView(data, static_cast<qsizetype>(size)));
  utf8 = !decoder.hasError();
  if (!utf8) {
    decoded = QString::fromLatin1(data, static_cast<qsizetype>(size));
  }
  // QTextDocument makes a lone CR a line break as well, so only pairs shrink.
  decoded.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  return decoded;
}

QString CDisplayText::Convert(const std::string& bytes) {
  bool utf8 = false;
  return Decode(bytes.data(), bytes.size(), utf8);
}

std::size_t CDisplayText::Walk(const char* data, const Piece& piece, std::size_t limit,
                               bool byBytes) {
  std::size_t i = piece.bom ? std::min<std::size_t>(3, piece.bytes) : 0;
  std::size_t chars = 0;
  while (i < piece.bytes && (byBytes ? i < limit : chars < limit)) {
    auto c = static_cast<unsigned char>(data[i]);
    std::size_t length = 1;
    std::size_t width = 1;
    if (c == '\r' && i + 1 < piece.bytes && data[i + 1] == '\n') {
      length = 2;
    } else if (piece.utf8 && c >= 0xF0) {
      // Outside the basic plane: a surrogate pair.
      length = 4;
      width = 2;
    } else if (piece.utf8 && c >= 0xE0) {
      length = 3;
    } else if (piece.utf8 && c >= 0xC0) {
      length = 2;
    }
    if (byBytes && i + length > limit) {
      break;
    }
    i += length;
    chars += width;
  }
  return byBytes ? chars : i;
}

std::size_t CDisplayText::SplitAt(const std::string& text, std::size_t offset) {
  std::size_t start = 0;
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    if (offset == start) {
      return k;
    }
    Piece& piece = pieces[k];
    if (offset < start + piece.bytes) {
      Piece second = piece;
      second.bom = false;
      std::size_t firstBytes = offset - start;
      int firstChars = static_cast<int>(Walk(text.data() + start, piece, firstBytes, true));
      second.bytes = piece.bytes - firstBytes;
      second.chars = piece.chars - firstChars;
      piece.bytes = firstBytes;
      piece.chars = firstChars;
      pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(k) + 1, second);
      return k + 1;
    }
    start += piece.bytes;
  }
  return pieces.size();
}

CDisplayText::Insertion CDisplayText::Insert(const std::string& text, std::size_t at,
                                             std::size_t length) {
  at = std::min(at, text.size());
  length = std::min(length, text.size() - at);
  std::size_t index = SplitAt(text, at);
  Piece piece;
  piece.bytes = length;
  Insertion insertion;
  insertion.text = Decode(text.data() + at, length, piece.utf8);
  piece.bom = piece.utf8 && StartsWithBom(text.data() + at, length);
  piece.chars = static_cast<int>(insertion.text.size());
  for (std::size_t k = 0; k < index; ++k) {
    insertion.position += pieces[k].chars;
  }
  pieces.insert(pieces.begin() + static_cast<std::ptrdiff_t>(index), piece);
  return insertion;
}

int CDisplayText::ToPosition(const std::string& text, std::size_t offset) const {
  std::size_t start = 0;
  int position = 0;
  for (const Piece& piece : pieces) {
    if (offset < start + piece.bytes && start + piece.bytes <= text.size()) {
      return position + static_cast<int>(Walk(text.data() + start, piece, offset - start, true));
    }
    start += piece.bytes;
    position += piece.chars;
  }
  return position;
}

std::size_t CDisplayText::ToOffset(const std::string& text, int position) const {
  std::size_t start = 0;
  int chars = 0;
  for (const Piece& piece : pieces) {
    if (position < chars + piece.chars && start + piece.bytes <= text.size()) {
      return start +
             Walk(text.data() + start, piece, static_cast<std::size_t>(position - chars), false);
    }
    start += piece.bytes;
    chars += piece.chars;
  }
  return start;
}

int CDisplayText::Length() const {
  int length = 0;
  for (const Piece& piece : pieces) {
    length += piece.chars;
  }
  return length;
}
