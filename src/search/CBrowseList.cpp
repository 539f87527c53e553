#include "search/CBrowseList.h"

#include <algorithm>

#include "app/EventLoop.h"
#include "app/FormatText.h"
#include "app/Ui.h"
#include "search/BrowseRequester.h"

CBrowseList::CBrowseList(BrowseRequester& requester, EventLoop& loop, Ui& ui)
    : requester(requester), loop(loop), ui(ui) {}

CBrowseList::~CBrowseList() {
  StopJumpTimer();
}

void CBrowseList::SetVisibleCount(int newVisible) {
  visible = std::max(1, newVisible);
  if (Count() > WindowSize()) {
    entries.resize(static_cast<std::size_t>(WindowSize()));
  }
  if (Count() > 0) {
    top = std::clamp(top, first, Last() - 1);
  }
  if (current >= Last()) {
    current = -1;
  }
  changed();
}

int CBrowseList::VisibleEntries() const {
  int lines = headerOk ? header.linesPerEntry : 1;
  return std::max(1, visible / lines);
}

int CBrowseList::ScrollScale() const {
  int total = Total();
  if (total <= kScrollLimit) {
    return 1;
  }
  int scale = std::max(2, total / kScrollLimit);
  if (scale > 20) {
    ++scale;
  }
  return scale;
}

int CBrowseList::ScrollRange() const {
  int total = Total();
  if (total <= kScrollLimit) {
    return total;
  }
  return std::min(total / ScrollScale() + 100, kScrollLimit);
}

std::string CBrowseList::HeadingLabel() const {
  if (!headerOk || header.linesPerEntry > 1) {
    return " ";
  }
  return header.HeadingLine();
}

int CBrowseList::HorizontalExtent() const {
  std::size_t longest = 0;
  for (const auto& entry : entries) {
    longest = std::max(longest, entry.display.size());
  }
  return kExtentPixelsPerChar * static_cast<int>(longest);
}

const CBrowseReply::Entry* CBrowseList::EntryAt(int entry) const {
  if (entry < first || entry >= Last()) {
    return nullptr;
  }
  return &entries[static_cast<std::size_t>(entry - first)];
}

bool CBrowseList::IsSelected(int entry) const {
  return std::any_of(selection.begin(), selection.end(),
                     [entry](const Pick& p) { return p.entry == entry; });
}

// ---- requests and replies ----

void CBrowseList::Open(const std::string& name) {
  Reset();
  listName = name;
  Request(RequestKind::Header, 'H', "0", 1, {});
}

void CBrowseList::Reset() {
  StopJumpTimer();
  listName.clear();
  headerOk = false;
  header = {};
  first = 0;
  entries.clear();
  top = 0;
  current = -1;
  selection.clear();
  typedText.clear();
  outstanding = false;
  kind = RequestKind::None;
  firstWindowDue = false;
  changed();
}

bool CBrowseList::Blocked() const {
  return outstanding && loop.NowMs() - sentAtMs < kRequestEscapeMs;
}

int CBrowseList::MaxTop() const {
  return std::max(0, Total() - VisibleEntries());
}

void CBrowseList::Request(RequestKind requestKind, char command, const std::string& argument,
                          int count2, Target newTarget) {
  outstanding = true;
  kind = requestKind;
  sentAtMs = loop.NowMs();
  sentCount2 = count2;
  target = newTarget;
  // The header request asks for one entry; every other for a whole window.
  int count1 = requestKind == RequestKind::Header ? 1 : WindowSize();
  ++requestDepth;
  int sent = requester.Browse(listName, command, argument, count1, count2);
  --requestDepth;
  if (sent < 0) {
    outstanding = false;
    kind = RequestKind::None;
    firstWindowDue = false;
    if (sent == -2) {
      notConnected();
    }
    return;
  }
  if (firstWindowDue && requestDepth == 0) {
    firstWindowDue = false;
    RequestWindow(0, 0, {});
  }
}

void CBrowseList::RequestWindow(int anchor, int count2, Target newTarget) {
  Request(RequestKind::Window, 'N', FormatText("%ld", static_cast<long>(anchor)), count2,
          newTarget);
}

void CBrowseList::ReplyArrived(int anchor, const std::string& text) {
  if (kind == RequestKind::None) {
    return;  // nothing asked (or the list was reset meanwhile)
  }
  // A reply that comes after its wait has ended is taken for the latest
  // request all the same.
  RequestKind replyKind = kind;
  outstanding = false;
  if (anchor < 0) {
    ui.MessageBox("Database Error - No Browse data returned", "Warning", MsgButtons::Ok,
                  MsgIcon::Warning);
    changed();
    noData();
    return;
  }
  if (replyKind == RequestKind::Header) {
    ApplyHeader(text);
  } else if (headerOk) {
    ApplyEntries(replyKind, anchor, text);
  }
}

void CBrowseList::ApplyHeader(const std::string& text) {
  CBrowseReply::Result result = CBrowseReply::ReadHeader(text, header);
  if (result == CBrowseReply::Result::Malformed) {
    changed();
    protocolError();
    return;
  }
  if (result == CBrowseReply::Result::Unusable) {
    changed();  // the list stays empty
    return;
  }
  headerOk = true;
  headerRead();
  changed();
  if (requestDepth > 0) {
    firstWindowDue = true;  // once the header's wait is over
  } else {
    RequestWindow(0, 0, {});
  }
}

void CBrowseList::ApplyEntries(RequestKind replyKind, int anchor, const std::string& text) {
  int newFirst = std::max(0, anchor - sentCount2);
  std::vector<CBrowseReply::Entry> read;
  if (CBrowseReply::ReadEntries(text, header, newFirst, WindowSize(), read) !=
      CBrowseReply::Result::Ok) {
    changed();
    protocolError();
    return;
  }
  first = newFirst;
  entries = std::move(read);
  int lastLoaded = std::max(first, Last() - 1);
  if (replyKind == RequestKind::Jump) {
    // The found entry stands a third of a page below the top, picked.
    top = first;
    current = anchor < Last() ? anchor : -1;
    if (current >= 0) {
      PickOnly(current);
    }
  } else {
    top = std::clamp(target.top, first, lastLoaded);
    current = EntryAt(target.current) != nullptr ? target.current : -1;
    if (current >= 0 && target.pick) {
      PickOnly(current);
    }
  }
  changed();
}

// ---- moving ----

void CBrowseList::ScrollBy(Scroll command) {
  if (!headerOk || Blocked()) {
    return;
  }
  int pageSize = VisibleEntries();
  int total = Total();
  // A window that already holds the list's end needs nothing more below.
  bool holdsEnd = Last() >= total;
  current = -1;  // scrolling drops the caret, never the picks
  switch (command) {
    case Scroll::LineUp:
      if (top <= 0) {
        break;
      }
      if (top > first) {
        --top;
      } else {
        RequestWindow(first, pageSize, {top - 1});
      }
      break;
    case Scroll::LineDown:
      if (top >= MaxTop()) {
        break;
      }
      if (top < Last() - pageSize - 2 || holdsEnd) {
        ++top;
      } else {
        RequestWindow(top, pageSize, {top + 1});
      }
      break;
    case Scroll::PageUp: {
      int newTop = std::max(0, top - pageSize);
      if (newTop == top) {
        break;
      }
      if (newTop >= first) {
        top = newTop;
      } else {
        RequestWindow(newTop, pageSize, {newTop});
      }
      break;
    }
    case Scroll::PageDown: {
      int newTop = std::min(top + pageSize, total - pageSize - 1);
      if (newTop <= top) {
        break;
      }
      if (newTop <= Last() - pageSize || holdsEnd) {
        top = newTop;
      } else {
        RequestWindow(newTop, pageSize, {newTop});
      }
      break;
    }
    case Scroll::Top:
      // Always asked for, even when entry 0 is loaded: the list may have
      // changed at the driver.
      RequestWindow(0, 0, {0});
      break;
    case Scroll::Bottom:
      RequestWindow(MaxTop(), visible, {MaxTop()});
      break;
  }
  changed();
}

void CBrowseList::ThumbTo(int position) {
  if (!headerOk || Blocked()) {
    return;
  }
  current = -1;
  std::int64_t wanted = static_cast<std::int64_t>(std::max(0, position)) * ScrollScale();
  if (wanted >= first && wanted < Last() && position < kScrollLimit) {
    // Stand as near the wanted entry as the loaded window allows.
    int newTop = std::min(static_cast<int>(wanted), MaxTop());
    top = std::clamp(newTop, first, std::max(first, Last() - VisibleEntries()));
  } else {
    int anchor =
        position >= kScrollLimit || wanted > MaxTop() ? MaxTop() : static_cast<int>(wanted);
    RequestWindow(anchor, VisibleEntries(), {anchor});
  }
  changed();
}

void CBrowseList::PressKey(Key key) {
  switch (key) {
    case Key::Up:
      MoveUp();
      break;
    case Key::Down:
      MoveDown();
      break;
    case Key::PageUp:
      ScrollBy(Scroll::PageUp);
      break;
    case Key::PageDown:
      ScrollBy(Scroll::PageDown);
      break;
    case Key::Home:
      ScrollBy(Scroll::Top);
      break;
    case Key::End:
      ScrollBy(Scroll::Bottom);
      break;
  }
}

// Up and Down move the caret and pick the entry under it, scrolling the
// view along; the window is refilled before the caret reaches its edge.
void CBrowseList::MoveDown() {
  if (!headerOk || Blocked() || entries.empty()) {
    return;
  }
  int pageSize = VisibleEntries();
  if (current < 0) {
    current = top;
    PickOnly(current);
    changed();
    return;
  }
  int next = current + 1;
  if (next >= Total()) {
    return;
  }
  int newTop = next >= top + pageSize ? next - pageSize + 1 : top;
  if (current < Last() - (pageSize + 2) || (Last() >= Total() && next < Last())) {
    current = next;
    top = newTop;
    PickOnly(current);
  } else {
    RequestWindow(top, pageSize, {newTop, next, true});
  }
  changed();
}

void CBrowseList::MoveUp() {
  if (!headerOk || Blocked() || entries.empty()) {
    return;
  }
  int pageSize = VisibleEntries();
  if (current < 0) {
    current = std::min({top + pageSize - 1, Last() - 1, Total() - 1});
    PickOnly(current);
    changed();
    return;
  }
  if (current <= 0) {
    return;
  }
  int previous = current - 1;
  if (current > first) {
    current = previous;
    top = std::min(top, previous);
    PickOnly(current);
  } else {
    RequestWindow(first, pageSize, {std::max(0, top - 1), previous, true});
  }
  changed();
}

// ---- the jump ----

void CBrowseList::TypeText(const std::string& text) {
  typedText = text;
  StopJumpTimer();
  jumpTimer = loop.StartTimer(kJumpDelayMs, false, [this] {
    jumpTimer = 0;
    JumpNow();
  });
}

void CBrowseList::JumpNow() {
  StopJumpTimer();
  // One character goes as typed, even a blank; longer texts lose their
  // leading blanks.
  std::string argument = typedText;
  if (argument.size() > 1) {
    argument.erase(0, argument.find_first_not_of(' '));
  }
  if (argument.empty() || !headerOk || Blocked()) {
    return;
  }
  Request(RequestKind::Jump, 'C', argument, VisibleEntries() / 3, {});
  changed();
}

void CBrowseList::StopJumpTimer() {
  if (jumpTimer != 0) {
    loop.StopTimer(jumpTimer);
    jumpTimer = 0;
  }
}

// ---- picking ----

void CBrowseList::PickOnly(int entry) {
  const CBrowseReply::Entry* loaded = EntryAt(entry);
  selection.clear();
  if (loaded != nullptr) {
    selection.push_back({entry, loaded->pick});
  }
}

void CBrowseList::Click(int entry, bool ctrl) {
  const CBrowseReply::Entry* loaded = EntryAt(entry);
  if (loaded == nullptr) {
    return;
  }
  current = entry;
  if (ctrl) {
    auto found = std::find_if(selection.begin(), selection.end(),
                              [entry](const Pick& p) { return p.entry == entry; });
    if (found != selection.end()) {
      selection.erase(found);
    } else {
      selection.push_back({entry, loaded->pick});
    }
  } else if (!selection.empty() && selection.front().entry == entry) {
    selection.clear();
  } else {
    PickOnly(entry);
  }
  // The first loaded entry of a later window: fetch the one before it, so
  // the view can go on upwards.
  if (entry == first && first > 0 && !Blocked()) {
    RequestWindow(first, VisibleEntries(), {top, entry, false});
  }
  changed();
}

void CBrowseList::DoubleClick(int entry) {
  if (EntryAt(entry) == nullptr) {
    return;
  }
  current = entry;
  if (!(IsSelected(entry) && selection.size() > 1)) {
    PickOnly(entry);
  }
  changed();
}

std::string CBrowseList::ResultText(bool quote) const {
  std::string result;
  if (outstanding) {
    return result;
  }
  for (const Pick& pick : selection) {
    // An empty value would leave a dangling " OR ".
    if (pick.value.empty()) {
      continue;
    }
    if (!result.empty()) {
      result += " OR ";
    }
    bool wrap = quote && pick.value.find(' ') != std::string::npos &&
                pick.value.find('"') == std::string::npos;
    result += wrap ? "\"" + pick.value + "\"" : pick.value;
  }
  return result;
}
