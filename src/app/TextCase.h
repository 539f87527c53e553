#pragma once

#include <string>

// Comparisons that fold ASCII letters only: names and words from drivers and
// files may be UTF-8 or Latin-1, and no byte of those is ever changed or
// reordered by a locale.
unsigned char FoldCase(char c);
// ASCII letters without case, other bytes by value; names equal but for case
// fall back to byte order, so a list's order never depends on the order its
// names came in.
bool AlphaLess(const std::string& a, const std::string& b);
bool BeginsWithIgnoringCase(const std::string& text, const std::string& prefix);
bool EqualIgnoringCase(const std::string& a, const std::string& b);
