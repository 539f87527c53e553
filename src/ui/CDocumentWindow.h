#pragma once

#include <QWidget>

class CTmsfrmDoc;
class QLabel;

// The page inside a document's child window: for now the search page's
// heading only. The frame keeps it as one widget so the tabbed view can take
// its place.
class CDocumentWindow : public QWidget {
  Q_OBJECT

 public:
  explicit CDocumentWindow(const CTmsfrmDoc& doc, QWidget* parent = nullptr);

  // Re-reads what the document shows.
  void Refresh();

  QLabel* HeadingLabel() const { return heading; }

 private:
  const CTmsfrmDoc& doc;
  QLabel* heading = nullptr;
};
