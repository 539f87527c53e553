#include "doc/CTabView.h"

#include <cctype>

bool CTabView::AddPage(const std::string& label, int width, bool shown) {
  if (label.empty()) {
    return false;
  }
  Tab tab;
  tab.label = label;
  tab.width = width;
  size_t amp = label.find('&');
  if (amp != std::string::npos && amp + 1 < label.size()) {
    tab.mnemonic = static_cast<char>(std::toupper(static_cast<unsigned char>(label[amp + 1])));
  }
  tabs.push_back(tab);
  if (shown) {
    selected = static_cast<int>(tabs.size()) - 1;
    onActivate(selected);
  }
  Changed();
  return true;
}

void CTabView::Changed() {
  onChanged();
}

void CTabView::SelectPage(int index) {
  if (index < 0 || index >= static_cast<int>(tabs.size())) {
    return;
  }
  if (index != selected) {
    if (selected >= 0) {
      onNotify(kHintPageLeaving, selected);
    }
    onNotify(kHintPageShown, index);
    selected = index;
    Changed();
  }
  onActivate(index);
}

void CTabView::EnableTab(int index, bool enabled) {
  if (index < 0 || index >= static_cast<int>(tabs.size()) || index == selected ||
      tabs[static_cast<size_t>(index)].enabled == enabled) {
    return;
  }
  tabs[static_cast<size_t>(index)].enabled = enabled;
  Changed();
}

CTabView::Rect CTabView::TabRect(int index) const {
  int left = kMargin;
  for (int i = 0; i < index && i < static_cast<int>(tabs.size()); ++i) {
    left += tabs[static_cast<size_t>(i)].width;
  }
  int width = index >= 0 && index < static_cast<int>(tabs.size())
                  ? tabs[static_cast<size_t>(index)].width
                  : 0;
  return {left, kMargin, left + width, kMargin + kTabHeight};
}

int CTabView::HitTest(int x, int y) const {
  if (y < kMargin || y >= kMargin + kTabHeight) {
    return -1;
  }
  for (int i = 0; i < static_cast<int>(tabs.size()); ++i) {
    Rect r = TabRect(i);
    if (x >= r.left && x < r.right) {
      return i;
    }
  }
  return -1;
}

void CTabView::PressAt(int x, int y) {
  int hit = HitTest(x, y);
  if (hit >= 0 && tabs[static_cast<size_t>(hit)].enabled) {
    SelectPage(hit);
    return;
  }
  if (selected >= 0) {
    onActivate(selected);
  }
}

bool CTabView::AltKey(char letter) {
  char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  for (int i = 0; i < static_cast<int>(tabs.size()); ++i) {
    const Tab& tab = tabs[static_cast<size_t>(i)];
    if (tab.enabled && tab.mnemonic != 0 && tab.mnemonic == upper) {
      SelectPage(i);
      return true;
    }
  }
  return false;
}

CTabView::Rect CTabView::PageRect(int clientWidth, int clientHeight) const {
  return {kMargin + kPageInset, kMargin + kTabHeight + kPageInset,
          clientWidth - kMargin - kPageInset, clientHeight - kMargin - kPageInset};
}

std::string CTabView::DisplayLabel(const std::string& label) {
  std::string out;
  for (size_t i = 0; i < label.size(); ++i) {
    if (label[i] == '&' && i + 1 < label.size()) {
      continue;
    }
    out += label[i];
  }
  return out;
}
