#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Signal.h"

namespace {

struct Owner {
  Signal<int> changed;
};

// Handlers may connect, disconnect and even destroy the signal's owner
// while it emits; those still connected hear each emit once, in order.
TEST(SignalTest, HandlersMayChangeTheSignalWhileItEmits) {
  std::vector<std::string> heard;
  auto owner = std::make_unique<Owner>();
  Connection second;
  Connection first = owner->changed.Connect([&](int n) {
    heard.push_back("first " + std::to_string(n));
    second.Disconnect();
  });
  second = owner->changed.Connect([&](int) { heard.push_back("second"); });
  owner->changed(1);
  EXPECT_EQ(heard, std::vector<std::string>({"first 1"}));

  // The only handler, and then one of two, ends the owner's life.
  heard.clear();
  first = owner->changed.Connect([&](int n) {
    heard.push_back("closing " + std::to_string(n));
    owner.reset();
  });
  owner->changed(2);
  EXPECT_EQ(owner, nullptr);
  owner = std::make_unique<Owner>();
  first = owner->changed.Connect([&](int) { owner.reset(); });
  Connection last = owner->changed.Connect([&](int n) { heard.push_back(std::to_string(n)); });
  owner->changed(3);
  EXPECT_EQ(heard, std::vector<std::string>({"closing 2", "3"}));
  // Connections outliving the signal disconnect quietly.
  first.Disconnect();
  last.Disconnect();
}

}  // namespace
