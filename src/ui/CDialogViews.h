#pragma once

// Registers the program's dialog views with CQtUi, one per model type.
class CDialogViews {
 public:
  // Safe to call more than once.
  static void RegisterAll();
};
