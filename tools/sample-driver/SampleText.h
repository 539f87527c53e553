#pragma once

#include <string>

// Small text helpers shared by the sample driver's classes. Text is bytes;
// only ASCII letters change case, so UTF-8 passes through untouched.
std::string ToLowerAscii(const std::string& text);
std::string TrimBlanks(const std::string& text);
std::string FirstLine(const std::string& text);
bool EqualsNoCase(const std::string& a, const std::string& b);
// Orders case-insensitively, ties broken by the bytes, so the order is total.
bool LessNoCase(const std::string& a, const std::string& b);
