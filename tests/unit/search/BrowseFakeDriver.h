#pragma once

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "search/BrowseRequester.h"
#include "search/CBrowseList.h"

// A driver's browse lists without a socket: answers each request at once,
// inside Browse, as the document's in-place wait does, and records every
// request. Its list is `total` headings "h0000000", "h0000001", ... unless
// headings are given.
struct BrowseFakeDriver : BrowseRequester {
  struct Request {
    std::string list;
    char command;
    std::string argument;
    int count1;
    int count2;
    bool operator==(const Request&) const = default;
  };

  CBrowseList* list = nullptr;
  // Finds the list that takes the replies, when it changes (a browser that
  // comes and goes).
  std::function<CBrowseList*()> route;
  int total = 1000;
  std::vector<std::string> headings;
  bool answering = true;
  bool connected = true;
  int basicModeSearch = -1;
  std::vector<Request> requests;
  // The most entries the client held after any reply.
  int mostHeld = 0;

  std::string Heading(int entry) const {
    if (!headings.empty()) {
      return headings[static_cast<size_t>(entry)];
    }
    std::string heading = "h0000000";
    for (size_t i = heading.size() - 1; entry > 0; --i, entry /= 10) {
      heading[i] = static_cast<char>('0' + entry % 10);
    }
    return heading;
  }
  int Size() const { return headings.empty() ? total : static_cast<int>(headings.size()); }

  // Reply fields written with "|" for the 0x1E that ends each.
  static std::string Fields(std::string text) {
    std::replace(text.begin(), text.end(), '|', '\x1e');
    return text;
  }
  // The sample driver's layout: the heading (the pick value) and its record
  // count, shown first.
  static std::string HeaderBody(int count) {
    return Fields(std::to_string(count) + "|2|1|Heading|0|2|01110|Records|7|1|00110|");
  }

  void SetBasicModeSearch(bool basic) override { basicModeSearch = basic ? 1 : 0; }

  int Browse(const std::string& listName, char command, const std::string& argument, int count1,
             int count2) override {
    if (!connected) {
      return -2;
    }
    if (listName.empty()) {
      return -1;
    }
    requests.push_back({listName, command, argument, count1, count2});
    if (route) {
      list = route();
    }
    if (answering && list != nullptr) {
      int anchor = 0;
      std::string body = Reply(command, argument, count1, count2, anchor);
      list->ReplyArrived(anchor, body);
      mostHeld = std::max(mostHeld, list->Count());
    }
    return static_cast<int>(requests.size());
  }

  std::string Reply(char command, const std::string& argument, int count, int before, int& anchor) {
    if (command == 'H') {
      anchor = 0;
      return HeaderBody(Size());
    }
    if (command == 'C') {
      int low = 0;
      int high = Size();
      while (low < high) {
        int mid = (low + high) / 2;
        if (Heading(mid) < argument) {
          low = mid + 1;
        } else {
          high = mid;
        }
      }
      anchor = std::min(low, Size() - 1);
    } else {
      anchor = std::clamp(std::atoi(argument.c_str()), 0, Size() - 1);
    }
    std::string body;
    body.reserve(static_cast<size_t>(std::max(count, 0)) * 12);
    for (int e = std::max(0, anchor - before);
         e < Size() && e < std::max(0, anchor - before) + count; ++e) {
      body += Heading(e) + "\x1e" + std::to_string(e % 97) + "\x1e";
    }
    return body;
  }

  Request Last() const { return requests.empty() ? Request{} : requests.back(); }
};
