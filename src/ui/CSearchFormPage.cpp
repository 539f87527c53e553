#include "ui/CSearchFormPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

#include "app/FormatText.h"
#include "external/CHelpTopics.h"
#include "ui/CHelpWindow.h"
#include "ui/CQtUi.h"

namespace {

constexpr int kLeft = 10;
constexpr int kTop = 8;
constexpr int kFieldListWidth = 190;
constexpr int kGap = 10;
constexpr int kRowGap = 8;
constexpr int kRangeButtonWidth = 150;

// Captions from the configuration and the driver: an "&" in them is text.
QString Caption(const std::string& text) {
  return CQtUi::ToQString(text).replace('&', QLatin1String("&&"));
}

std::string ToBytes(const QString& text) {
  return text.toUtf8().toStdString();
}

}  // namespace

CSearchFormPage::CSearchFormPage(CSearchForm& form, QWidget* parent) : QFrame(parent), form(form) {
  statusLine = new QLabel(this);
  statusLine->setTextFormat(Qt::PlainText);
  statusLine->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
  QFont bold = statusLine->font();
  bold.setBold(true);
  statusLine->setFont(bold);
  statusLine->setAccessibleName("Status");

  for (int r = 0; r < CSearchForm::kRows; ++r) {
    CreateRow(r);
  }
  for (int i = 0; i < CSearchForm::kLimitBoxes; ++i) {
    auto* box = new QCheckBox(this);
    connect(box, &QCheckBox::clicked, this, [this, i](bool checked) {
      if (!refreshing) {
        this->form.SetLimit(i, checked);
      }
    });
    limitBoxes[static_cast<std::size_t>(i)] = box;
  }
  browseButton = new QPushButton(this);
  helpButton = new QPushButton("&Help", this);
  // The help pages come with the help window.
  connect(helpButton, &QPushButton::clicked, this,
          [] { CHelpWindow::ShowTopic(CHelpTopics::kSearchCriteriaTopic); });
  clearButton = new QPushButton("&Clear", this);
  searchButton = new QPushButton("&Search", this);
  searchButton->setDefault(true);
  connect(clearButton, &QPushButton::clicked, this, [this] {
    this->form.Clear((QApplication::keyboardModifiers() & Qt::ControlModifier) != 0);
  });
  connect(searchButton, &QPushButton::clicked, this, [this] { this->form.Search(); });

  QPointer<CSearchFormPage> self(this);
  connections += form.onChanged.Connect([self] {
    if (self) {
      self->Refresh();
    }
  });
  connections += form.onFocus.Connect([self](int row, CSearchForm::FocusTarget target) {
    if (self) {
      self->MoveFocus(row, target);
    }
  });
  Refresh();
}

void CSearchFormPage::CreateRow(int r) {
  Row& row = rows[static_cast<std::size_t>(r)];
  row.fieldList = new QComboBox(this);
  row.termBox = new QLineEdit(this);
  row.termBox->installEventFilter(this);
  row.fromCaption = new QLabel("From", this);
  row.fromButton = new QPushButton(this);
  row.toCaption = new QLabel("To", this);
  row.toButton = new QPushButton(this);
  // Screen readers name the controls by their row.
  row.fieldList->setAccessibleName(CQtUi::ToQString(FormatText("Row %d field", r + 1)));
  row.termBox->setAccessibleName(CQtUi::ToQString(FormatText("Row %d term", r + 1)));
  row.fromButton->setAccessibleName(CQtUi::ToQString(FormatText("Row %d from", r + 1)));
  row.toButton->setAccessibleName(CQtUi::ToQString(FormatText("Row %d to", r + 1)));
  for (QPushButton* button : {row.fromButton, row.toButton}) {
    button->setAutoDefault(false);
  }
  connect(row.fieldList, &QComboBox::activated, this, [this, r](int index) {
    if (!refreshing) {
      form.SelectRowField(r, index);
    }
  });
  connect(row.termBox, &QLineEdit::textEdited, this,
          [this, r](const QString& text) { form.SetTerm(r, ToBytes(text)); });
  // Enter anywhere in the rows is the default button.
  connect(row.termBox, &QLineEdit::returnPressed, this, [this] {
    if (searchButton->isEnabled()) {
      searchButton->click();
    }
  });
  connect(row.fromButton, &QPushButton::clicked, this,
          [this, r] { form.SelectRangeEnd(r, "Oldest"); });
  connect(row.toButton, &QPushButton::clicked, this,
          [this, r] { form.SelectRangeEnd(r, "Newest"); });
}

bool CSearchFormPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    for (int r = 0; r < CSearchForm::kRows; ++r) {
      if (watched == rows[static_cast<std::size_t>(r)].termBox) {
        form.OnTermFocus(r);
      }
    }
  }
  return QFrame::eventFilter(watched, event);
}

void CSearchFormPage::MoveFocus(int row, CSearchForm::FocusTarget target) {
  if (row < 0 || row >= CSearchForm::kRows || !isVisible()) {
    return;
  }
  const Row& controls = rows[static_cast<std::size_t>(row)];
  QWidget* next = target == CSearchForm::FocusTarget::FromButton
                      ? static_cast<QWidget*>(controls.fromButton)
                      : static_cast<QWidget*>(controls.termBox);
  if (next->isVisible() && next->isEnabled()) {
    next->setFocus(Qt::OtherFocusReason);
  }
}

void CSearchFormPage::Refresh() {
  // A page behind another (the summary page while titles stream in) is
  // brought up to date when it comes to the front.
  if (!isVisible()) {
    refreshDue = true;
    return;
  }
  refreshDue = false;
  refreshing = true;
  // Nothing on the page can be used while a connect is under way.
  bool enabling = form.viewEnabled && !isEnabled();
  setEnabled(form.viewEnabled);
  statusLine->setText(CQtUi::ToQString(form.statusText));

  std::vector<std::string> entries;
  for (const auto& entry : form.fieldEntries) {
    entries.push_back(entry.name);
  }
  bool entriesChanged = entries != shownEntries;
  shownEntries = entries;
  int visibleItems = std::max(1, form.DropDownExtra() / CSearchForm::kDropDownStep);
  for (int r = 0; r < CSearchForm::kRows; ++r) {
    const auto& state = form.rows[static_cast<std::size_t>(r)];
    Row& row = rows[static_cast<std::size_t>(r)];
    if (entriesChanged) {
      row.fieldList->clear();
      for (const auto& name : entries) {
        row.fieldList->addItem(CQtUi::ToQString(name));
      }
    }
    row.fieldList->setMaxVisibleItems(visibleItems);
    row.fieldList->setCurrentIndex(state.selection);
    // A list without a chosen field still shows its text, as "Keyword"
    // before the first connection.
    row.fieldList->setPlaceholderText(state.selection < 0 ? CQtUi::ToQString(state.listText)
                                                          : QString());
    row.fieldList->setVisible(state.listShown);
    row.fieldList->setEnabled(state.listEnabled);

    QString term = CQtUi::ToQString(form.rowTerms[static_cast<std::size_t>(r)]);
    if (row.termBox->text() != term) {
      row.termBox->setText(term);
    }
    row.termBox->setVisible(state.termShown);
    row.termBox->setEnabled(state.termEnabled);

    row.fromButton->setText(Caption(form.fromLabels[static_cast<std::size_t>(r)]));
    row.toButton->setText(Caption(form.toLabels[static_cast<std::size_t>(r)]));
    for (QWidget* w :
         {static_cast<QWidget*>(row.fromCaption), static_cast<QWidget*>(row.toCaption),
          static_cast<QWidget*>(row.fromButton), static_cast<QWidget*>(row.toButton)}) {
      w->setVisible(state.rangeShown);
    }
    row.fromButton->setEnabled(state.rangeEnabled);
    row.toButton->setEnabled(state.rangeEnabled);
  }
  for (int i = 0; i < CSearchForm::kLimitBoxes; ++i) {
    QCheckBox* box = limitBoxes[static_cast<std::size_t>(i)];
    box->setText(Caption(form.limitCaptions[static_cast<std::size_t>(i)]));
    box->setChecked(form.limitChecked[static_cast<std::size_t>(i)] != 0);
    box->setVisible(form.limitShown[static_cast<std::size_t>(i)]);
    box->setEnabled(form.limitEnabled[static_cast<std::size_t>(i)]);
  }
  browseButton->setText(Caption(form.browseCaption));
  browseButton->setEnabled(form.browseEnabled);
  searchButton->setEnabled(form.searchEnabled);
  // Connecting and searching refresh the page many times over; most of
  // those change what the controls show, not where they stand.
  if (LayoutInputs() != laidOutInputs) {
    LayoutControls();
  }
  refreshing = false;
  if (enabling) {
    FocusFirstTerm();
  }
}

void CSearchFormPage::FocusFirstTerm() {
  if (!isVisible()) {
    return;
  }
  // Only the child window the user works in takes the keyboard.
  for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
      if (sub->mdiArea() != nullptr && sub->mdiArea()->currentSubWindow() != sub) {
        return;
      }
      break;
    }
  }
  // A control the user already moved to keeps the focus.
  QWidget* focus = window()->focusWidget();
  if (focus != nullptr && focus != this && isAncestorOf(focus) && focus->isEnabled()) {
    return;
  }
  for (Row& row : rows) {
    if (row.termBox->isVisible() && row.termBox->isEnabled()) {
      row.termBox->setFocus(Qt::OtherFocusReason);
      return;
    }
  }
}

void CSearchFormPage::showEvent(QShowEvent* event) {
  QFrame::showEvent(event);
  if (refreshDue) {
    Refresh();
  }
}

void CSearchFormPage::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  LayoutControls();
}

void CSearchFormPage::changeEvent(QEvent* event) {
  QFrame::changeEvent(event);
  // Not while the constructor is still making the controls.
  bool built = searchButton != nullptr;
  if (built && (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)) {
    LayoutControls();
  }
}

std::string CSearchFormPage::LayoutInputs() const {
  QRect area = contentsRect();
  std::string inputs = std::to_string(area.left()) + ' ' + std::to_string(area.top()) + ' ' +
                       std::to_string(area.width()) + ' ' + std::to_string(area.height());
  for (int i = 0; i < CSearchForm::kLimitBoxes; ++i) {
    inputs += '\n';
    inputs += limitBoxes[static_cast<std::size_t>(i)]->isHidden() ? '-' : '+';
    inputs += form.limitCaptions[static_cast<std::size_t>(i)];
  }
  inputs += '\n';
  inputs += browseButton->text().toStdString();
  // A status of more than one line is taller.
  inputs += '\n';
  inputs += statusLine->text().toStdString();
  return inputs;
}

void CSearchFormPage::LayoutControls() {
  laidOutInputs = LayoutInputs();
  QRect area = contentsRect();
  int x0 = area.left() + kLeft;
  int lineHeight =
      std::max(rows[0].fieldList->sizeHint().height(), rows[0].termBox->sizeHint().height());
  statusLine->setGeometry(x0, area.top() + kTop, std::max(0, area.width() - 2 * kLeft),
                          statusLine->sizeHint().height());
  int y = statusLine->geometry().bottom() + 1 + kTop;
  int termLeft = x0 + kFieldListWidth + kGap;
  // Term boxes reach to 20 pixels short of the page's right edge.
  int termWidth = std::max(40, area.right() + 1 - CSearchForm::kTermBoxRightMargin - termLeft);
  for (Row& row : rows) {
    row.fieldList->setGeometry(x0, y, kFieldListWidth, lineHeight);
    row.termBox->setGeometry(termLeft, y, termWidth, lineHeight);
    int x = termLeft;
    int captionWidth = row.fromCaption->sizeHint().width();
    row.fromCaption->setGeometry(x, y, captionWidth, lineHeight);
    x += captionWidth + 4;
    // The range buttons share the term box's width, so a narrow page does
    // not push "To" past its edge.
    int toCaptionWidth = row.toCaption->sizeHint().width();
    int rangeWidth = std::clamp((termWidth - captionWidth - toCaptionWidth - 2 * 4 - kGap) / 2, 40,
                                kRangeButtonWidth);
    row.fromButton->setGeometry(x, y, rangeWidth, lineHeight);
    x += rangeWidth + kGap;
    row.toCaption->setGeometry(x, y, toCaptionWidth, lineHeight);
    x += toCaptionWidth + 4;
    row.toButton->setGeometry(x, y, rangeWidth, lineHeight);
    y += lineHeight + kRowGap;
  }

  // The limit boxes stand in a line under the last row's field list.
  QRect lastList = rows.back().fieldList->geometry();
  int x = lastList.left() + CSearchForm::kLimitBoxLeftOffset;
  int limitTop = lastList.bottom() + 1 + CSearchForm::kLimitBoxTopGap;
  int limitHeight = limitBoxes[0]->sizeHint().height();
  for (int i = 0; i < CSearchForm::kLimitBoxes; ++i) {
    QCheckBox* box = limitBoxes[static_cast<std::size_t>(i)];
    if (box->isHidden()) {
      continue;
    }
    const std::string& caption = form.limitCaptions[static_cast<std::size_t>(i)];
    QStyleOptionButton option;
    option.initFrom(box);
    // The indicator and its gap come on top of the caption's own width.
    int indicator = style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, box) +
                    style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, box);
    int textWidth = box->fontMetrics().horizontalAdvance(CQtUi::ToQString(caption));
    int width = CSearchForm::LimitBoxWidth(caption, textWidth) + indicator;
    box->setGeometry(x, limitTop, width, limitHeight);
    x += width + CSearchForm::kLimitBoxSpacing;
  }

  int buttonTop = limitTop + limitHeight + 2 * kRowGap;
  int buttonHeight = searchButton->sizeHint().height();
  int browseWidth = std::max(browseButton->sizeHint().width(), kFieldListWidth);
  browseButton->setGeometry(x0, buttonTop, browseWidth, buttonHeight);
  int right = area.right() + 1 - CSearchForm::kTermBoxRightMargin;
  for (QPushButton* button : {searchButton, clearButton, helpButton}) {
    int width = std::max(button->sizeHint().width(), 80);
    right -= width;
    button->setGeometry(right, buttonTop, width, buttonHeight);
    right -= kGap;
  }
}
