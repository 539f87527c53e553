#pragma once

#include <QFrame>
#include <array>

#include "app/Signal.h"
#include "search/CBasicMode.h"

class CBrowseListWidget;
class QLabel;
class QLineEdit;
class QPushButton;

// The basic mode page: five field buttons in a row, the text box with Search
// and Help, the mode line, and the heading list for fields with browse lists.
class CBasicModePage : public QFrame {
  Q_OBJECT

 public:
  explicit CBasicModePage(CBasicMode& basic, QWidget* parent = nullptr);

  // Re-reads the page model.
  void Refresh();

  QPushButton* FieldButton(int i) const { return fieldButtons[static_cast<std::size_t>(i)]; }
  QLineEdit* TextBox() const { return text; }
  QPushButton* SearchButton() const { return searchButton; }
  QPushButton* HelpButton() const { return helpButton; }
  QLabel* ModeLine() const { return modeLine; }
  QLabel* HeadingLabel() const { return heading; }
  CBrowseListWidget* ListWidget() const { return listWidget; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void LayoutControls();

  CBasicMode& basic;
  std::array<QPushButton*, CBasicMode::kButtons> fieldButtons{};
  QLineEdit* text = nullptr;
  QPushButton* searchButton = nullptr;
  QPushButton* helpButton = nullptr;
  QLabel* modeLine = nullptr;
  QLabel* heading = nullptr;
  CBrowseListWidget* listWidget = nullptr;
  ConnectionBag connections;
};
