#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/Signal.h"
#include "search/CBrowseReply.h"

class BrowseRequester;
class EventLoop;
class Ui;

// A driver's browse list seen through a window: the list can hold millions of
// headings, so only a window of at most P = 3V entries is loaded at a time
// (V entries fit in the view) and scrolling fetches the next window when the
// view leaves the loaded one. Used by the List Browser and the basic mode
// page alike; views draw Entries() from Top() and call the operations below.
class CBrowseList {
 public:
  static constexpr int kScrollLimit = 32000;
  static constexpr int kRequestEscapeMs = 5000;
  static constexpr int kJumpDelayMs = 500;
  static constexpr int kExtentPixelsPerChar = 6;
  static constexpr int kDefaultVisibleCount = 10;

  enum class RequestKind { None, Header, Window, Jump };
  // Scroll bar commands (Page Up/Down, Home and End keys do the same).
  enum class Scroll { LineUp, LineDown, PageUp, PageDown, Top, Bottom };
  // Keys typed in the text box above the list.
  enum class Key { Up, Down, PageUp, PageDown, Home, End };

  // A picked entry: its number in the whole list and its pick value.
  struct Pick {
    int entry = 0;
    std::string value;
  };

  CBrowseList(BrowseRequester& requester, EventLoop& loop, Ui& ui);
  ~CBrowseList();
  CBrowseList(const CBrowseList&) = delete;
  CBrowseList& operator=(const CBrowseList&) = delete;

  // V: the entries the view shows (its height over the height of one
  // entry, minus one). The view sets it when it is measured, at the latest
  // from a headerRead slot.
  void SetVisibleCount(int visible);

  // Starts over on `listName`: asks for the list header, then the first
  // window.
  void Open(const std::string& listName);
  // Forgets the list.
  void Reset();
  // A browse reply for this list: the header's anchor (negative: no data)
  // and the body text.
  void ReplyArrived(int anchor, const std::string& text);

  void ScrollBy(Scroll command);
  // The scroll bar's thumb dropped at `position` (0 .. ScrollRange()).
  void ThumbTo(int position);
  void PressKey(Key key);
  // Text typed into the box above the list: the jump follows once typing
  // pauses for kJumpDelayMs.
  void TypeText(const std::string& text);
  // The jump timer's work, also for front ends that don't wait for it.
  void JumpNow();
  void Click(int entry, bool ctrl);
  // Picks the entry unless it is part of a multiple selection already; the
  // caller then does OK or Search.
  void DoubleClick(int entry);

  // The picked values in the order they were picked, joined with " OR ";
  // `quote` puts a value holding a blank (and no double quote) in quotes.
  // Empty while a request is outstanding.
  std::string ResultText(bool quote) const;

  const std::string& ListName() const { return listName; }
  bool HeaderRead() const { return headerOk; }
  const CBrowseReply::Header& ListHeader() const { return header; }
  int Total() const { return headerOk ? header.total : 0; }
  // The loaded window: entries First() .. First() + Count() - 1.
  int First() const { return first; }
  int Count() const { return static_cast<int>(entries.size()); }
  const std::vector<CBrowseReply::Entry>& Entries() const { return entries; }
  // The entry with that number, when it is loaded.
  const CBrowseReply::Entry* EntryAt(int entry) const;
  int Top() const { return top; }
  // The entry with the caret, -1 for none.
  int Current() const { return current; }
  const std::vector<Pick>& Selection() const { return selection; }
  bool IsSelected(int entry) const;
  bool Outstanding() const { return outstanding; }
  RequestKind OutstandingKind() const { return outstanding ? kind : RequestKind::None; }
  const std::string& TypedText() const { return typedText; }

  int VisibleCount() const { return visible; }
  int WindowSize() const { return 3 * visible; }
  // E: the entries one page scrolls by.
  int VisibleEntries() const;

  // The scroll bar: position p stands for entry p times the scale.
  int ScrollScale() const;
  int ScrollRange() const;
  int ScrollPosition() const { return top / ScrollScale(); }
  // The heading line, or " " when entries have several lines.
  std::string HeadingLabel() const;
  int HorizontalExtent() const;

  // Something shown changed.
  Signal<> changed;
  // The list header is in; the view measures itself (SetVisibleCount)
  // before the first window is asked for.
  Signal<> headerRead;
  // The driver has no data for the request; its message has been shown.
  Signal<> noData;
  // The reply broke the format; the connection can't be trusted.
  Signal<> protocolError;
  // The request could not be sent: there is no connection.
  Signal<> notConnected;

 private:
  struct Target {
    int top = 0;
    int current = -1;
    bool pick = false;
  };

  bool Blocked() const;
  int MaxTop() const;
  int Last() const { return first + Count(); }
  void Request(RequestKind requestKind, char command, const std::string& argument, int count2,
               Target target);
  void RequestWindow(int anchor, int count2, Target target);
  void ApplyHeader(const std::string& text);
  void ApplyEntries(RequestKind replyKind, int anchor, const std::string& text);
  void PickOnly(int entry);
  void MoveDown();
  void MoveUp();
  void StopJumpTimer();

  BrowseRequester& requester;
  EventLoop& loop;
  Ui& ui;

  std::string listName;
  int visible = kDefaultVisibleCount;
  bool headerOk = false;
  CBrowseReply::Header header;
  int first = 0;
  std::vector<CBrowseReply::Entry> entries;
  int top = 0;
  int current = -1;
  std::vector<Pick> selection;
  std::string typedText;
  int jumpTimer = 0;

  bool outstanding = false;
  RequestKind kind = RequestKind::None;
  std::int64_t sentAtMs = 0;
  int sentCount2 = 0;
  Target target;
  // Requests under way (the requester waits in place); a header reply seen
  // meanwhile asks for the first window once the wait is over.
  int requestDepth = 0;
  bool firstWindowDue = false;
};
