#pragma once

#include <string>

// printf-style formatting of the program's message templates ("%s", "%d").
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
