#pragma once

#include <QSize>

class QWidget;

// A widget whose text changes with every batch of titles (the status line,
// the counter) asks the whole window to be laid out again at each change.
// A widget of fixed size doesn't: this fixes `widget` at `size` (its size
// hint, or more) and moves the fixed size only when `size` changes, so a new
// text that fits costs no layout.
void KeepSteadySize(QWidget* widget, QSize size);
