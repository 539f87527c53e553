#pragma once

#include <QWidget>
#include <string>

class QLineEdit;
class QTextBrowser;
class QToolButton;

// The program's own help: the bundled pages in a text browser with back and
// forward, a search box, and one window for the whole program.
class CHelpWindow : public QWidget {
  Q_OBJECT

 public:
  // The one help window, made on first use; `directory` is where the pages
  // are, found beside the program the first time.
  static CHelpWindow& Instance();

  // Shows the page of help topic `topic` (the index for an unknown one).
  static void ShowTopic(int topic);
  // Shows page `page` ("index.html", ...).
  static void ShowPage(const std::string& page);

  // "" when no help pages were found.
  const std::string& Directory() const { return directory; }
  QTextBrowser* Browser() const { return browser; }
  QLineEdit* SearchBox() const { return search; }
  // Finds the search box's text from the cursor on, wrapping once; false
  // when the page does not hold it.
  bool FindText(const QString& text);

 private:
  explicit CHelpWindow(std::string directory);
  void Open(const std::string& page);

  std::string directory;
  QTextBrowser* browser = nullptr;
  QLineEdit* search = nullptr;
  QToolButton* back = nullptr;
  QToolButton* forward = nullptr;
};
