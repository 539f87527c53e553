#pragma once

#include <string>

#include "app/CDialogRegistry.h"

// What `answer text TEXT` types into each kind of dialog: its main text box,
// or the choice the text names. Dialogs without an entry ignore the text.
class CCliDialogAnswers {
 public:
  using Registry = CDialogRegistry<void, const std::string&>;

  // The registry with every dialog of the program in it.
  static const Registry& All();
};
