#pragma once

#include <QAbstractListModel>
#include <QSize>
#include <string>
#include <vector>

// The title list as an item model over the summary window's lines. Rows are
// announced one at a time as they arrive, so the view only lays out what is
// new; the text is converted when a row is drawn.
class CTitleListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit CTitleListModel(const std::vector<std::string>& titles, QObject* parent = nullptr);

  // Line `index` has been appended to the titles.
  void TitleAdded(int index);
  // The titles were emptied.
  void Cleared();
  // Every row has this size (the list's horizontal extent and a line's
  // height); an invalid size leaves it to the view.
  void SetItemSize(const QSize& size);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  const std::vector<std::string>& titles;
  int shown = 0;
  QSize itemSize;
};
