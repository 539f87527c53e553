#pragma once

#include <QSize>

class QWidget;

// A widget whose text changes with every batch of titles (the status line,
// the counter) asks the whole window to be laid out again at each change.
// A widget of fixed size doesn't: this fixes `widget` at its size hint or
// `floor`, whichever is larger in each direction, and moves the fixed size
// only when that changes, so a new text that fits costs no layout.
void KeepSteadySize(QWidget* widget, QSize floor = QSize(0, 0));
