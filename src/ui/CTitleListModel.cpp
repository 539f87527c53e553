#include "ui/CTitleListModel.h"

#include <algorithm>

#include "ui/CQtUi.h"

CTitleListModel::CTitleListModel(const std::vector<std::string>& titles, QObject* parent)
    : QAbstractListModel(parent), titles(titles) {}

void CTitleListModel::TitleAdded(int index) {
  arrived = std::max(arrived, index + 1);
}

void CTitleListModel::ShowArrived() {
  // The lines may have been emptied behind the count's back.
  int last = std::min(arrived, static_cast<int>(titles.size())) - 1;
  if (last < shown) {
    return;
  }
  beginInsertRows(QModelIndex(), shown, last);
  shown = last + 1;
  endInsertRows();
}

void CTitleListModel::Cleared() {
  beginResetModel();
  shown = arrived = static_cast<int>(titles.size());
  endResetModel();
}

int CTitleListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown;
}

QVariant CTitleListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= shown ||
      static_cast<std::size_t>(index.row()) >= titles.size()) {
    return QVariant();
  }
  if (role == Qt::DisplayRole) {
    return CQtUi::ToQString(titles[static_cast<std::size_t>(index.row())]);
  }
  return QVariant();
}
