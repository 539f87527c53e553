#pragma once

#include <string>

// The driver link as the browse lists see it. The document implements it with
// the link's browse request, which waits in place: the reply normally reaches
// the list (CBrowseList::ReplyArrived) before Browse returns, but a reply that
// comes later is taken as well.
class BrowseRequester {
 public:
  virtual ~BrowseRequester() = default;

  // One browse request for `listName`. Returns -2 when there is no
  // connection, -1 when the list name is empty (nothing sent), else the
  // sequence number sent.
  virtual int Browse(const std::string& listName, char command, const std::string& argument,
                     int count1, int count2) = 0;

  // Where browse replies go (the basic mode page or the List Browser), and
  // whether the next search header takes the basic layout.
  virtual void SetBasicModeSearch(bool basic) = 0;
};
