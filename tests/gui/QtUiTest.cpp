#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "GuiTestRegistry.h"
#include "app/CDialogModel.h"
#include "ui/CQtUi.h"

namespace {

// Runs `act` on the modal window once it is up.
void WhenModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) {
      WhenModal(act);
      return;
    }
    act(modal);
  });
}

class RegisteredModel : public CDialogModel {
 public:
  const char* Kind() const override { return "test-registered"; }
  std::string Caption() const override { return "Registered"; }
  int viewsBuilt = 0;
};

// The view receives its own model type, never a cast of another.
class RegisteredView : public QDialog {
 public:
  RegisteredView(RegisteredModel& model, QWidget* parent) : QDialog(parent) {
    setObjectName("registered view");
    ++model.viewsBuilt;
  }
};

QPushButton* ButtonWithRole(QWidget* dialog, QDialogButtonBox::StandardButton which) {
  auto* box = dialog->findChild<QDialogButtonBox*>();
  return box != nullptr ? box->button(which) : nullptr;
}

class CountingModel : public CDialogModel {
 public:
  const char* Kind() const override { return kind; }
  std::string Caption() const override { return "Set Mailhost Option"; }
  void OnInit() override { ++inits; }
  bool OnOk() override { return ++oks >= oksNeeded; }
  void OnCancel() override { ++cancels; }

  const char* kind = "test-counting";
  int oksNeeded = 1;
  int inits = 0;
  int oks = 0;
  int cancels = 0;
};

}  // namespace

class QtUiTest : public QObject {
  Q_OBJECT

 private slots:
  void MessageBoxShowsCaptionTextIconAndButtons() {
    CQtUi ui;
    QString seenTitle, seenText;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons seenButtons;
    WhenModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box != nullptr);
      seenTitle = box->windowTitle();
      seenText = box->text();
      seenIcon = box->icon();
      seenButtons = box->standardButtons();
      box->button(QMessageBox::No)->click();
    });
    MsgAnswer answer = ui.MessageBox("WinTamsel is already running. \n\n<b>x</b>",
                                     "WinTamsel Alert", MsgButtons::YesNoCancel, MsgIcon::Question);
    QCOMPARE(answer, MsgAnswer::No);
    QCOMPARE(seenTitle, QString("WinTamsel Alert"));
    QCOMPARE(seenText, QString("WinTamsel is already running. \n\n<b>x</b>"));
    QCOMPARE(seenIcon, QMessageBox::Question);
    QCOMPARE(seenButtons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  }

  void ClosingAMessageBoxAnswersItsWayOut_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("expected");
    QTest::newRow("ok") << int(MsgButtons::Ok) << int(MsgAnswer::Ok);
    QTest::newRow("ok/cancel") << int(MsgButtons::OkCancel) << int(MsgAnswer::Cancel);
    QTest::newRow("yes/no") << int(MsgButtons::YesNo) << int(MsgAnswer::No);
    QTest::newRow("yes/no/cancel") << int(MsgButtons::YesNoCancel) << int(MsgAnswer::Cancel);
  }

  void ClosingAMessageBoxAnswersItsWayOut() {
    QFETCH(int, buttons);
    QFETCH(int, expected);
    CQtUi ui;
    WhenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    MsgAnswer answer =
        ui.MessageBox("text", "Tamsel", static_cast<MsgButtons>(buttons), MsgIcon::Warning);
    QCOMPARE(int(answer), expected);
  }

  void GenericDialogAsksTheModelBeforeClosing() {
    CQtUi ui;
    CountingModel model;
    model.oksNeeded = 2;
    int okClicks = 0;
    std::function<void(QWidget*)> pressOk = [&](QWidget* modal) {
      QCOMPARE(modal->windowTitle(), QString("Set Mailhost Option"));
      ++okClicks;
      ButtonWithRole(modal, QDialogButtonBox::Ok)->click();
      if (okClicks == 1) {
        // Refused: the dialog stays for another try.
        QVERIFY(modal->isVisible());
        WhenModal(pressOk);
      }
    };
    WhenModal(pressOk);
    QVERIFY(ui.RunDialog(model));
    QCOMPARE(model.inits, 1);
    QCOMPARE(model.oks, 2);
    QCOMPARE(model.cancels, 0);

    CountingModel cancelled;
    WhenModal([](QWidget* modal) { ButtonWithRole(modal, QDialogButtonBox::Cancel)->click(); });
    QVERIFY(!ui.RunDialog(cancelled));
    QCOMPARE(cancelled.oks, 0);
    QCOMPARE(cancelled.cancels, 1);
  }

  void RegisteredViewIsUsedForItsType() {
    CQtUi::RegisterDialogView<RegisteredModel, RegisteredView>();
    CQtUi ui;
    RegisteredModel model;
    CountingModel other;  // another type: the generic view
    QStringList seen;
    WhenModal([&](QWidget* modal) {
      seen << modal->objectName();
      static_cast<QDialog*>(modal)->accept();
    });
    QVERIFY(ui.RunDialog(model));
    WhenModal([&](QWidget* modal) {
      seen << modal->objectName();
      static_cast<QDialog*>(modal)->accept();
    });
    QVERIFY(ui.RunDialog(other));
    QCOMPARE(seen, QStringList({"registered view", ""}));
    QCOMPARE(model.viewsBuilt, 1);
  }

  void TextIsUtf8ElseLatin1() {
    QCOMPARE(CQtUi::ToQString("Gr\xc3\xbc\xc3\x9f"), QString::fromUtf8("Grüß"));
    QCOMPARE(CQtUi::ToQString("Gr\xfc\xdf"), QString::fromUtf8("Grüß"));
    QCOMPARE(CQtUi::ToQString(std::string("a\0b", 3)).size(), 3);
  }

  void FileFilters() {
    QCOMPARE(CQtUi::NameFilter("DB Config's(*.tcf)", "*.tcf"), QString("DB Config's(*.tcf)"));
    QCOMPARE(CQtUi::NameFilter("Query lists", "*.qry;*.txt"), QString("Query lists (*.qry *.txt)"));
  }
};

static GuiTestRegistry::Add<QtUiTest> registerQtUiTest;

#include "QtUiTest.moc"
