#include "ui/COpenDatabaseDialogView.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "config/COpenDatabaseDialog.h"
#include "ui/CQtUi.h"

namespace {

constexpr int kIconSize = 16;

QPixmap NewIconPixmap() {
  QPixmap pixmap(kIconSize, kIconSize);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

QPixmap ClosedFolder() {
  QPixmap pixmap = NewIconPixmap();
  QPainter p(&pixmap);
  p.setPen(QColor(128, 96, 0));
  p.setBrush(QColor(240, 200, 64));
  p.drawRect(1, 2, 5, 2);
  p.drawRect(1, 4, 13, 9);
  return pixmap;
}

QPixmap OpenFolder() {
  QPixmap pixmap = NewIconPixmap();
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QColor(128, 96, 0));
  p.setBrush(QColor(200, 160, 40));
  p.drawRect(QRectF(1.5, 2.5, 5, 2));
  p.drawRect(QRectF(1.5, 4.5, 12, 9));
  // The front flap, tipped open.
  QPainterPath flap;
  flap.moveTo(1.5, 13.5);
  flap.lineTo(4.5, 7.5);
  flap.lineTo(15.5, 7.5);
  flap.lineTo(12.5, 13.5);
  flap.closeSubpath();
  p.setBrush(QColor(255, 230, 120));
  p.drawPath(flap);
  return pixmap;
}

QPixmap Database() {
  QPixmap pixmap = NewIconPixmap();
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QPen pen(QColor(30, 50, 110));
  p.setPen(pen);
  p.setBrush(QColor(110, 150, 220));
  // A stack of disks: body, bottom rim, top.
  QRectF top(2.5, 1.5, 11, 4);
  QRectF bottom(2.5, 10.5, 11, 4);
  QPainterPath body;
  body.moveTo(2.5, 3.5);
  body.lineTo(2.5, 12.5);
  body.arcTo(bottom, 180, 180);
  body.lineTo(13.5, 3.5);
  body.closeSubpath();
  p.drawPath(body);
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(2.5, 6, 11, 4), 180 * 16, 180 * 16);
  p.setBrush(QColor(170, 200, 245));
  p.drawEllipse(top);
  return pixmap;
}

QString DisplayText(const std::string& text) {
  // Information texts end their lines with CR LF.
  return CQtUi::ToQString(text).replace("\r\n", "\n");
}

}  // namespace

QIcon COpenDatabaseDialogView::SubmenuIcon() {
  QIcon icon;
  icon.addPixmap(ClosedFolder(), QIcon::Normal);
  icon.addPixmap(OpenFolder(), QIcon::Selected);
  return icon;
}

QIcon COpenDatabaseDialogView::DatabaseIcon() {
  QIcon icon;
  icon.addPixmap(Database(), QIcon::Normal);
  icon.addPixmap(Database(), QIcon::Selected);
  return icon;
}

COpenDatabaseDialogView::COpenDatabaseDialogView(COpenDatabaseDialog& model, QWidget* parent)
    : QDialog(parent), model(model) {
  CreateControls();
  // The model was set up before the view existed; without the pictures it
  // shows no lists, so it is told and set up again.
  bool loaded = !SubmenuIcon().isNull() && !DatabaseIcon().isNull();
  if (!loaded) {
    model.IconsLoaded(false);
    model.OnInit();
  }
  BuildTree();
  BuildList();
  Refresh();
  ConnectControls();
}

void COpenDatabaseDialogView::CreateControls() {
  auto* layout = new QGridLayout(this);
  auto* label = new QLabel("Select Database:", this);
  layout->addWidget(label, 0, 0);

  tree = new QTreeWidget(this);
  tree->setHeaderHidden(true);
  tree->setColumnCount(1);
  tree->setRootIsDecorated(true);
  tree->setSelectionMode(QAbstractItemView::SingleSelection);
  tree->setIconSize(QSize(kIconSize, kIconSize));
  // A double click is the model's: it opens a database or opens and closes a
  // submenu itself.
  tree->setExpandsOnDoubleClick(false);
  list = new QListWidget(this);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  // The tree and the list share a place; one of them is always hidden.
  layout->addWidget(tree, 1, 0);
  layout->addWidget(list, 1, 0);
  label->setBuddy(tree);

  auto* side = new QVBoxLayout;
  openButton = new QPushButton("&Open Database", this);
  openButton->setDefault(true);
  cancelButton = new QPushButton("&Cancel", this);
  saveAsDefault = new QCheckBox("Save as Default", this);
  auto* orderBox = new QGroupBox("Database Order", this);
  auto* orderLayout = new QVBoxLayout(orderBox);
  hierarchy = new QRadioButton("Hierarchy", orderBox);
  alphabetic = new QRadioButton("Alphabetic", orderBox);
  orderLayout->addWidget(hierarchy);
  orderLayout->addWidget(alphabetic);
  side->addWidget(openButton);
  side->addWidget(cancelButton);
  side->addSpacing(12);
  side->addWidget(saveAsDefault);
  side->addSpacing(6);
  side->addWidget(orderBox);
  side->addStretch(1);
  layout->addLayout(side, 1, 1);

  infoText = new QPlainTextEdit(this);
  infoText->setReadOnly(true);
  infoText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  infoText->setMaximumHeight(fontMetrics().lineSpacing() * 7);
  layout->addWidget(infoText, 2, 0, 1, 2);
  layout->setRowStretch(1, 1);
  layout->setColumnStretch(0, 1);
  resize(460, 400);
}

void COpenDatabaseDialogView::ConnectControls() {
  connect(tree, &QTreeWidget::itemSelectionChanged, this, [this] { TreeSelectionChanged(); });
  connect(list, &QListWidget::itemSelectionChanged, this, [this] { ListSelectionChanged(); });
  // Branches the user opens or closes by their button stay as the model knows them.
  auto expansion = [this](QTreeWidgetItem* item, bool expanded) {
    int node = NodeOfItem(item);
    if (!refreshing && node >= 0 && node < static_cast<int>(this->model.tree.size())) {
      this->model.tree[node].expanded = expanded;
    }
  };
  connect(tree, &QTreeWidget::itemExpanded, this,
          [expansion](QTreeWidgetItem* item) { expansion(item, true); });
  connect(tree, &QTreeWidget::itemCollapsed, this,
          [expansion](QTreeWidgetItem* item) { expansion(item, false); });
  connect(tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    if (this->model.DoubleClickTreeNode(NodeOfItem(item))) {
      QDialog::accept();
      return;
    }
    Refresh();
  });
  connect(list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    if (this->model.DoubleClickListIndex(list->row(item))) {
      QDialog::accept();
      return;
    }
    Refresh();
  });
  connect(hierarchy, &QRadioButton::toggled, this, [this](bool checked) {
    if (checked && !refreshing) {
      this->model.SetOrder(COpenDatabaseDialog::kHierarchy);
      Refresh();
    }
  });
  connect(alphabetic, &QRadioButton::toggled, this, [this](bool checked) {
    if (checked && !refreshing) {
      this->model.SetOrder(COpenDatabaseDialog::kAlphabetic);
      Refresh();
    }
  });
  connect(saveAsDefault, &QCheckBox::toggled, this,
          [this](bool checked) { this->model.saveAsDefault = checked; });
  connect(openButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void COpenDatabaseDialogView::BuildTree() {
  QIcon submenu = SubmenuIcon();
  QIcon database = DatabaseIcon();
  items.clear();
  for (size_t n = 0; n < model.tree.size(); ++n) {
    const COpenDatabaseDialog::TreeNode& node = model.tree[n];
    QTreeWidgetItem* item = nullptr;
    if (node.parent >= 0 && node.parent < static_cast<int>(n)) {
      item = new QTreeWidgetItem(items[node.parent]);
    } else {
      item = new QTreeWidgetItem(tree);
    }
    item->setText(0, CQtUi::ToQString(node.text));
    item->setIcon(0, node.icon == COpenDatabaseDialog::Icon::Database ? database : submenu);
    item->setData(0, Qt::UserRole, static_cast<int>(n));
    items.push_back(item);
  }
}

void COpenDatabaseDialogView::BuildList() {
  for (const std::string& name : model.list) {
    list->addItem(CQtUi::ToQString(name));
  }
}

QTreeWidgetItem* COpenDatabaseDialogView::ItemOfNode(int node) const {
  return node >= 0 && node < static_cast<int>(items.size()) ? items[node] : nullptr;
}

int COpenDatabaseDialogView::NodeOfItem(const QTreeWidgetItem* item) {
  return item != nullptr ? item->data(0, Qt::UserRole).toInt() : COpenDatabaseDialog::kNone;
}

void COpenDatabaseDialogView::Refresh() {
  refreshing = true;
  hierarchy->setChecked(model.order == COpenDatabaseDialog::kHierarchy);
  alphabetic->setChecked(model.order == COpenDatabaseDialog::kAlphabetic);
  tree->setVisible(model.treeVisible);
  tree->setEnabled(model.treeEnabled);
  list->setVisible(model.listVisible);
  list->setEnabled(model.listEnabled);
  for (size_t n = 0; n < items.size() && n < model.tree.size(); ++n) {
    items[n]->setExpanded(model.tree[n].expanded);
  }
  if (QTreeWidgetItem* item = ItemOfNode(model.selectedTreeNode)) {
    tree->setCurrentItem(item);
  } else {
    tree->clearSelection();
  }
  if (model.selectedListIndex >= 0 && model.selectedListIndex < list->count()) {
    list->setCurrentRow(model.selectedListIndex);
  } else {
    list->clearSelection();
  }
  saveAsDefault->setChecked(model.saveAsDefault);
  infoText->setPlainText(DisplayText(model.infoText));
  refreshing = false;
}

void COpenDatabaseDialogView::TreeSelectionChanged() {
  if (refreshing) {
    return;
  }
  QList<QTreeWidgetItem*> selected = tree->selectedItems();
  model.SelectTreeNode(selected.isEmpty() ? COpenDatabaseDialog::kNone
                                          : NodeOfItem(selected.first()));
  Refresh();
}

void COpenDatabaseDialogView::ListSelectionChanged() {
  if (refreshing) {
    return;
  }
  QList<QListWidgetItem*> selected = list->selectedItems();
  model.SelectListIndex(selected.isEmpty() ? COpenDatabaseDialog::kNone
                                           : list->row(selected.first()));
  Refresh();
}

void COpenDatabaseDialogView::accept() {
  // A refusal has been shown by the model; the dialog stays.
  if (model.OnOk()) {
    QDialog::accept();
  }
}
