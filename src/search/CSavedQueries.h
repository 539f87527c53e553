#pragma once

#include <array>
#include <optional>
#include <string>

#include "app/Ui.h"

class CQueryList;
class CSearchForm;

// The "&Queries" menu of a document window: naming, choosing and deleting
// saved queries, and query list files. Runs the query name dialog and the
// file choosers through Ui; the form converts between itself and a record.
class CSavedQueries {
 public:
  enum class Command { Name, Delete, DeleteAll, Select, Retrieve, Save };

  struct MenuItem {
    Command command;
    const char* text;
    // The status bar's line while the item is highlighted; empty for none.
    const char* prompt;
  };

  static constexpr const char* kMenuText = "&Queries";
  static constexpr const char* kExtension = "qry";
  // In menu order.
  static const std::array<MenuItem, 6>& MenuItems();

  CSavedQueries(CQueryList& queries, CSearchForm& form, Ui& ui);

  // Select query needs a connected database; the rest are always there.
  bool IsEnabled(Command command) const;
  // Runs the command; true when it did what it was asked (a dialog or file
  // chooser cancelled, a refused file or a command not available: false).
  bool Run(Command command);

  bool NameCurrentQuery();
  bool DeleteQuery();
  void DeleteAllQueries();
  bool SelectQuery();
  bool RetrieveQueryList();
  bool SaveQueryList();

  // The file choosers' requests.
  static FileChooserRequest OpenRequest();
  static FileChooserRequest SaveRequest();

 private:
  // The name the dialog closed with, or none when cancelled.
  std::optional<std::string> AskName(bool naming);
  // A chosen save path, after the overwrite question; none when cancelled.
  std::optional<std::string> AskSavePath();

  CQueryList& queries;
  CSearchForm& form;
  Ui& ui;
};
