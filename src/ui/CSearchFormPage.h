#pragma once

#include <QFrame>
#include <array>
#include <string>
#include <vector>

#include "app/Signal.h"
#include "search/CSearchForm.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The search criteria page: the status line, six rows of field list with a
// term box or From/To buttons, the limit boxes and the browse, help, clear
// and search buttons, all as the search form model has them.
class CSearchFormPage : public QFrame {
  Q_OBJECT

 public:
  struct Row {
    QComboBox* fieldList = nullptr;
    QLineEdit* termBox = nullptr;
    QLabel* fromCaption = nullptr;
    QPushButton* fromButton = nullptr;
    QLabel* toCaption = nullptr;
    QPushButton* toButton = nullptr;
  };

  explicit CSearchFormPage(CSearchForm& form, QWidget* parent = nullptr);

  // Re-reads the form.
  void Refresh();

  QLabel* StatusLine() const { return statusLine; }
  const Row& RowControls(int row) const { return rows[static_cast<std::size_t>(row)]; }
  QCheckBox* LimitBox(int box) const { return limitBoxes[static_cast<std::size_t>(box)]; }
  QPushButton* BrowseButton() const { return browseButton; }
  QPushButton* HelpButton() const { return helpButton; }
  QPushButton* ClearButton() const { return clearButton; }
  QPushButton* SearchButton() const { return searchButton; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateRow(int r);
  void LayoutControls();
  // What the placement of the controls depends on, beside the fonts and
  // the style: the page's size, the limit boxes shown and the texts whose
  // size counts.
  std::string LayoutInputs() const;
  void MoveFocus(int row, CSearchForm::FocusTarget target);
  // Once the page can be used, typing goes to the first term box.
  void FocusFirstTerm();

  CSearchForm& form;
  bool refreshing = false;
  // A change came while the page was hidden: it is shown when the page is.
  bool refreshDue = false;
  std::vector<std::string> shownEntries;
  // The inputs of the last placement: a refresh that leaves them alone
  // leaves the controls where they are.
  std::string laidOutInputs;
  QLabel* statusLine = nullptr;
  std::array<Row, CSearchForm::kRows> rows;
  std::array<QCheckBox*, CSearchForm::kLimitBoxes> limitBoxes{};
  QPushButton* browseButton = nullptr;
  QPushButton* helpButton = nullptr;
  QPushButton* clearButton = nullptr;
  QPushButton* searchButton = nullptr;
  // The model's notifications to this view; released with it.
  ConnectionBag connections;
};
