#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <string>

#include "app/CDialogRegistry.h"
#include "app/Ui.h"

class QDialog;

// The Ui port over Qt: message boxes, dialogs, file choosers, the clipboard
// and the main window. Dialog views register by the model's kind; a model
// without a view yet gets a plain dialog with its caption and OK/Cancel.
class CQtUi : public Ui {
 public:
  // Registers the program's own dialog views.
  CQtUi();

  // The views of the dialog models, by model type. A view's OK must ask the
  // model's OnOk and accept only when it agrees.
  using DialogViewRegistry = CDialogRegistry<QDialog*, QWidget*>;

  MsgAnswer MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                       MsgIcon icon) override;
  bool RunDialog(CDialogModel& dialog) override;
  std::optional<std::string> ChooseFile(const FileChooserRequest& request) override;
  void SetClipboardText(const std::string& text) override;
  void BringToFront() override;

  // The window message boxes and dialogs belong to (a message asked for while
  // a dialog is up belongs to that dialog), and that BringToFront raises.
  void SetMainWindow(QWidget* window) { mainWindow = window; }

  // Pairs a model type with its view: View(Model&, QWidget* parent).
  template <typename Model, typename View>
  static void RegisterDialogView() {
    DialogViews().Register<Model>(
        [](Model& model, QWidget* parent) -> QDialog* { return new View(model, parent); });
  }

  // Text from drivers and files: UTF-8 when it is valid UTF-8, else Latin-1.
  static QString ToQString(const std::string& text);
  // The Qt name filter for one (description, pattern) pair.
  static QString NameFilter(const std::string& description, const std::string& pattern);

 private:
  static DialogViewRegistry& DialogViews();
  QDialog* GenericDialogView(CDialogModel& model, QWidget* parent);
  QWidget* Owner() const;

  QPointer<QWidget> mainWindow;
};
