#include "ui/CQtUi.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QStringDecoder>
#include <QVBoxLayout>
#include <memory>

#include "app/CDialogModel.h"
#include "ui/CDialogViews.h"

namespace {

QMessageBox::StandardButtons ToQtButtons(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok:
      return QMessageBox::Ok;
    case MsgButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon ToQtIcon(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::None:
      return QMessageBox::NoIcon;
    case MsgIcon::Information:
      return QMessageBox::Information;
    case MsgIcon::Warning:
      return QMessageBox::Warning;
    case MsgIcon::Error:
      return QMessageBox::Critical;
    case MsgIcon::Question:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

// Closing the box without a button counts as the box's way out: Cancel where
// there is one, No for a Yes/No question, OK for a plain message.
MsgAnswer EscapeAnswer(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok:
      return MsgAnswer::Ok;
    case MsgButtons::YesNo:
      return MsgAnswer::No;
    default:
      return MsgAnswer::Cancel;
  }
}

}  // namespace

CQtUi::CQtUi() {
  CDialogViews::RegisterAll();
}

QWidget* CQtUi::Owner() const {
  QWidget* modal = QApplication::activeModalWidget();
  return modal != nullptr ? modal : mainWindow.data();
}

MsgAnswer CQtUi::MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                            MsgIcon icon) {
  QMessageBox box(ToQtIcon(icon), ToQString(caption), ToQString(text), ToQtButtons(buttons),
                  Owner());
  box.setTextFormat(Qt::PlainText);
  box.exec();
  switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok:
      return MsgAnswer::Ok;
    case QMessageBox::Yes:
      return MsgAnswer::Yes;
    case QMessageBox::No:
      return MsgAnswer::No;
    case QMessageBox::Cancel:
      return MsgAnswer::Cancel;
    default:
      return EscapeAnswer(buttons);
  }
}

CQtUi::DialogViewRegistry& CQtUi::DialogViews() {
  static DialogViewRegistry views;
  return views;
}

QDialog* CQtUi::GenericDialogView(CDialogModel& model, QWidget* parent) {
  auto* dialog = new QDialog(parent);
  auto* layout = new QVBoxLayout(dialog);
  layout->addWidget(new QLabel(ToQString(model.Caption()), dialog));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [dialog, &model] {
    if (model.OnOk()) {
      dialog->accept();
    }
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return dialog;
}

bool CQtUi::RunDialog(CDialogModel& model) {
  model.OnInit();
  const DialogViewRegistry::Handler* factory = DialogViews().Find(model);
  std::unique_ptr<QDialog> view(factory != nullptr ? (*factory)(model, Owner())
                                                   : GenericDialogView(model, Owner()));
  view->setWindowTitle(ToQString(model.Caption()));
  view->setModal(true);
  if (view->exec() == QDialog::Accepted) {
    return true;
  }
  model.OnCancel();
  return false;
}

QString CQtUi::NameFilter(const std::string& description, const std::string& pattern) {
  QString text = ToQString(description);
  QString patterns = ToQString(pattern).replace(';', ' ');
  // "DB Config's(*.tcf)" already names its pattern the way Qt reads it.
  if (text.endsWith(')') && text.contains('(')) {
    return text;
  }
  return text + " (" + patterns + ")";
}

std::optional<std::string> CQtUi::ChooseFile(const FileChooserRequest& request) {
  QFileDialog dialog(mainWindow, ToQString(request.caption), ToQString(request.directory));
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (request.save) {
    // The core asks its own overwrite (or append) question for the path it
    // finally writes, extension added; asking here too would ask twice.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
  }
  QStringList filters;
  for (const auto& [description, pattern] : request.filters) {
    filters << NameFilter(description, pattern);
  }
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
  }
  if (!request.fileName.empty()) {
    dialog.selectFile(ToQString(request.fileName));
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

void CQtUi::SetClipboardText(const std::string& text) {
  QApplication::clipboard()->setText(ToQString(text));
}

void CQtUi::BringToFront() {
  if (!mainWindow) {
    return;
  }
  mainWindow->setWindowState((mainWindow->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  mainWindow->show();
  mainWindow->raise();
  mainWindow->activateWindow();
}

QString CQtUi::ToQString(const std::string& text) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString decoded = decoder(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  if (decoder.hasError()) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  }
  return decoded;
}
