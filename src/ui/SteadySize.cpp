#include "ui/SteadySize.h"

#include <QWidget>

void KeepSteadySize(QWidget* widget, QSize size) {
  if (widget->minimumSize() != size || widget->maximumSize() != size) {
    widget->setFixedSize(size);
  }
}
