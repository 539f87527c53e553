#pragma once

#include <QDialog>

class CUrlDialog;
class QComboBox;
class QDialogButtonBox;
class QLabel;

// The URL dialog: the prompt over an editable drop-down of recent URLs. The
// typed text goes straight to the model, which decides whether OK may close.
class CUrlDialogView : public QDialog {
  Q_OBJECT

 public:
  CUrlDialogView(CUrlDialog& model, QWidget* parent);

  QLabel* PromptLabel() const { return prompt; }
  QComboBox* UrlBox() const { return urls; }
  QDialogButtonBox* Buttons() const { return buttons; }

 public slots:
  void accept() override;

 private:
  CUrlDialog& model;
  QLabel* prompt = nullptr;
  QComboBox* urls = nullptr;
  QDialogButtonBox* buttons = nullptr;
};
