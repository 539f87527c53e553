#pragma once

#include <QDialog>
#include <QIcon>
#include <vector>

class COpenDatabaseDialog;
class QCheckBox;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

// The "Open Database" dialog: the database menu as a tree, the alphabetic
// list, the order buttons, the information text and "Save as Default". Every
// selection, click and switch goes to the model; the widgets are then set
// from what the model holds.
class COpenDatabaseDialogView : public QDialog {
  Q_OBJECT

 public:
  COpenDatabaseDialogView(COpenDatabaseDialog& model, QWidget* parent);

  QTreeWidget* Tree() const { return tree; }
  QListWidget* List() const { return list; }
  QPlainTextEdit* InfoText() const { return infoText; }
  QRadioButton* HierarchyButton() const { return hierarchy; }
  QRadioButton* AlphabeticButton() const { return alphabetic; }
  QCheckBox* SaveAsDefaultBox() const { return saveAsDefault; }
  QPushButton* OpenButton() const { return openButton; }
  QPushButton* CancelButton() const { return cancelButton; }
  // The tree item of a model node (nullptr when there is none).
  QTreeWidgetItem* ItemOfNode(int node) const;
  static int NodeOfItem(const QTreeWidgetItem* item);

  // The tree's pictures, 16 by 16: a submenu (another picture while it is
  // selected) and a database.
  static QIcon SubmenuIcon();
  static QIcon DatabaseIcon();

 public slots:
  void accept() override;

 private:
  void CreateControls();
  void ConnectControls();
  void BuildTree();
  void BuildList();
  // Sets every widget from the model.
  void Refresh();
  void TreeSelectionChanged();
  void ListSelectionChanged();

  COpenDatabaseDialog& model;
  QTreeWidget* tree = nullptr;
  QListWidget* list = nullptr;
  QPlainTextEdit* infoText = nullptr;
  QRadioButton* hierarchy = nullptr;
  QRadioButton* alphabetic = nullptr;
  QCheckBox* saveAsDefault = nullptr;
  QPushButton* openButton = nullptr;
  QPushButton* cancelButton = nullptr;
  std::vector<QTreeWidgetItem*> items;
  // Set while the widgets are being set from the model, so their own
  // signals are not taken for the user's.
  bool refreshing = false;
};
