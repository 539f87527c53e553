#include "app/TextCase.h"

#include <algorithm>

unsigned char FoldCase(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

bool AlphaLess(const std::string& a, const std::string& b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char ca = FoldCase(a[i]);
    unsigned char cb = FoldCase(b[i]);
    if (ca != cb) {
      return ca < cb;
    }
  }
  if (a.size() != b.size()) {
    return a.size() < b.size();
  }
  return a < b;
}

bool BeginsWithIgnoringCase(const std::string& text, const std::string& prefix) {
  if (prefix.size() > text.size()) {
    return false;
  }
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (FoldCase(text[i]) != FoldCase(prefix[i])) {
      return false;
    }
  }
  return true;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && BeginsWithIgnoringCase(a, b);
}
