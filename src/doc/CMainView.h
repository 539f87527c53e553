#pragma once

#include "doc/CTabView.h"

// The tab view of a document window with its four pages.
class CMainView : public CTabView {
 public:
  enum Page { PAGE_CRITERIA = 0, PAGE_BASIC = 1, PAGE_SUMMARY = 2, PAGE_RECORD = 3 };

  // Adds the four pages, the search criteria form in front.
  void AddPages();
};
