#pragma once

#include <QFrame>
#include <cstddef>

#include "app/Signal.h"
#include "ui/CDisplayText.h"

class CAbstract;
class QPlainTextEdit;
class QPushButton;

// The full record page: the records as read-only text, fed piece by piece
// from the model, with "&Print", "Copy Text", "Save/Mail" and "Help" below.
// The selection the model makes (Find, Copy) is shown here; the user's own
// selection goes to the model before a command reads it.
class CRecordPage : public QFrame {
  Q_OBJECT

 public:
  explicit CRecordPage(CAbstract& record, QWidget* parent = nullptr);

  void Refresh();
  void Copy();
  void FindText();
  void FindNext();

  QPlainTextEdit* Text() const { return text; }
  QPushButton* PrintButton() const { return print; }
  QPushButton* CopyTextButton() const { return copyText; }
  QPushButton* SaveMailButton() const { return saveMail; }
  QPushButton* HelpButton() const { return help; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void TextInserted(std::size_t at, std::size_t length);
  void TextCleared();
  // The widget's selection into the model.
  void PushSelection();
  void ShowSelection();
  void LayoutControls();

  CAbstract& record;
  CDisplayText shownText;
  std::size_t shownStart = 0;
  std::size_t shownEnd = 0;
  QFont appliedFont;
  QPlainTextEdit* text = nullptr;
  QPushButton* print = nullptr;
  QPushButton* copyText = nullptr;
  QPushButton* saveMail = nullptr;
  QPushButton* help = nullptr;
  // The model's notifications to this view; released with it.
  ConnectionBag connections;
};
