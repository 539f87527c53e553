// The GUI's side of the title benchmark: the real main window (on whatever
// Qt platform is set; the benchmark script picks "offscreen") opens a
// configuration, its default database connects by itself, "*" is typed into
// the first term box, Search is clicked, then More until COUNT titles are in
// the list. Modal dialogs (the database description that comes up on
// connect) are answered OK as soon as they show.
//
//   tamsel_gui_titles CONFIG WORKDIR [COUNT]
//
// Settings and temporary files go into WORKDIR. Prints "titles N",
// "connect-to-last-title SECONDS" (from the open to the last title shown),
// "search-to-last-title SECONDS" (from the Search click) and "dialogs N"
// (how many were answered); exits 1 when the session goes wrong.

#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "app/CAppState.h"
#include "app/CSettingsStore.h"
#include "doc/CTmsfrmDoc.h"
#include "driver/LinkState.h"
#include "ui/CDocumentWindow.h"
#include "ui/CMainWindow.h"
#include "ui/CQtEventLoop.h"
#include "ui/CQtUi.h"
#include "ui/CSearchFormPage.h"
#include "ui/CSummaryPage.h"
#include "ui/CTitleListModel.h"

namespace {

// Runs the event loop until `done` holds; false after `timeoutMs`. It waits
// for events rather than polling at intervals, so the time measured is the
// program's and not the wait's.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 60000) {
  QElapsedTimer timer;
  timer.start();
  // Wakes the loop now and then should nothing else arrive.
  QTimer heartbeat;
  heartbeat.start(100);
  while (!done()) {
    if (timer.elapsed() > timeoutMs) {
      return false;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  return true;
}

// Presses OK in every modal dialog the moment it is shown.
class DialogCloser : public QObject {
 public:
  int closed = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (event->type() == QEvent::Show && dialog != nullptr && dialog->isModal()) {
      QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
      ++closed;
    }
    return false;
  }
};

int Fail(const char* what) {
  std::fprintf(stderr, "tamsel_gui_titles: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: tamsel_gui_titles CONFIG WORKDIR [COUNT]\n");
    return 2;
  }
  const std::string config = argv[1];
  const std::string work = argv[2];
  const int count = argc == 4 ? std::atoi(argv[3]) : 3000;
  // A modal box nobody answers must not hold the benchmark forever.
  alarm(300);

  QApplication qapp(argc, argv);
  DialogCloser closer;
  qapp.installEventFilter(&closer);
  CAppState app;
  app.privateDirectory = work + "/";
  CSettingsStore settings(work + "/Tamsel.conf");
  CQtUi ui;
  CQtEventLoop loop;
  CMainWindow window(app, settings, ui, loop);
  ui.SetMainWindow(&window);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) {
    return Fail("the main window did not come up");
  }

  QElapsedTimer clock;
  clock.start();
  if (!window.OpenDocument(config)) {
    return Fail("the configuration did not open");
  }
  CTmsfrmDoc* doc = window.ActiveDocument();
  CDocumentWindow* page = window.PageOf(window.MdiArea()->subWindowList().last());
  if (doc == nullptr || page == nullptr) {
    return Fail("no document window");
  }
  auto idle = [doc] { return doc->LinkStateValue() == LINK_IDLE; };
  if (!WaitUntil(idle)) {
    return Fail("the default database did not connect");
  }

  CSearchFormPage* form = page->SearchPage();
  CSummaryPage* summary = page->SummaryPage();
  auto rows = [summary] { return summary->TitleModel()->rowCount(); };
  QTest::keyClicks(form->RowControls(0).termBox, "*");
  qint64 searched = clock.nsecsElapsed();
  form->SearchButton()->click();
  if (!WaitUntil([&] { return rows() >= 30 && idle(); })) {
    return Fail("the search brought no titles");
  }
  while (rows() < count) {
    int before = rows();
    if (!summary->MoreButton()->isEnabled()) {
      return Fail("More is disabled before the count");
    }
    summary->MoreButton()->click();
    if (!WaitUntil([&] { return rows() > before && idle(); })) {
      return Fail("More brought no titles");
    }
  }
  qint64 last = clock.nsecsElapsed();
  std::printf("titles %d\nconnect-to-last-title %.6f\nsearch-to-last-title %.6f\ndialogs %d\n",
              rows(), static_cast<double>(last) / 1e9, static_cast<double>(last - searched) / 1e9,
              closer.closed);
  return 0;
}
