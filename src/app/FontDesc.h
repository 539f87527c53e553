#pragma once

#include <string>

// A font as the result windows use it. A negative height is a character
// height in pixels, as the settings store keeps it.
struct FontDesc {
  int height = -11;
  std::string faceName = "Courier New";
  int weight = 500;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  bool fixedPitch = true;
};
