#pragma once

#include <QAbstractListModel>
#include <string>
#include <vector>

// The title list as an item model over the summary window's lines. Arriving
// titles are only counted; the page shows them in chunks, one row insertion
// per redraw, so the view lays out a few times a second rather than once per
// title. The text is converted when a row is drawn.
class CTitleListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit CTitleListModel(const std::vector<std::string>& titles, QObject* parent = nullptr);

  // Line `index` has been appended to the titles; it shows at the next
  // ShowArrived().
  void TitleAdded(int index);
  // Inserts every title that arrived since the last call as one chunk of rows.
  void ShowArrived();
  // Titles that arrived and are not rows yet.
  int Waiting() const { return arrived - shown; }
  // The titles were emptied.
  void Cleared();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  const std::vector<std::string>& titles;
  int shown = 0;
  int arrived = 0;
};
