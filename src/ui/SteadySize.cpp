#include "ui/SteadySize.h"

#include <QWidget>

void KeepSteadySize(QWidget* widget, QSize floor) {
  QSize size = widget->sizeHint().expandedTo(floor);
  if (widget->minimumSize() != size || widget->maximumSize() != size) {
    widget->setFixedSize(size);
  }
}
