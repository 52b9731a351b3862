// The parser's stacks: what they hold survives growing and the giving back
// of the pages above it, which goes a stretch at a time, asking between.
#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "fendro/json/value_stack.hpp"

namespace fendro::json::detail {
namespace {

constexpr std::size_t kHeld = 1'000;
// Room for four stretches above what is held.
constexpr std::size_t kCapacity = kHeld + 4 * kGiveBackStretchBytes / sizeof(Value);

void fill(ReallocStack<Value>& stack, std::size_t n) {
  for (std::uint64_t i = stack.size(); i < n; ++i) stack.push_back(Value::uinteger(i));
}

bool holds_its_values(ReallocStack<Value>& stack) {
  for (std::size_t i = 0; i < stack.size(); ++i) {
    if (stack.data()[i].u != i) return false;
  }
  return true;
}

TEST(ReallocStack, GivingBackKeepsWhatIsHeldAndAsksAfterEachStretch) {
  ReallocStack<Value> stack;
  stack.reserve(kCapacity);
  fill(stack, kCapacity);  // every page touched
  stack.truncate(kHeld);
  std::size_t asked = 0;
  const auto go_on = [&] { return ++asked != 4; };
  EXPECT_TRUE(stack.give_back(go_on));
  // Four stretches above what is held: the lowest, no more than a stretch,
  // is left as it is.
  EXPECT_EQ(asked, 3u);
  EXPECT_TRUE(holds_its_values(stack));
  // The pages given back are there to be written again; a stop ends the
  // giving back at once.
  fill(stack, kCapacity);
  EXPECT_TRUE(holds_its_values(stack));
  stack.truncate(kHeld);
  EXPECT_FALSE(stack.give_back(go_on));
  EXPECT_EQ(asked, 4u);
  // A small stack has nothing worth giving back, and asks nothing.
  ReallocStack<std::string_view> keys;
  keys.reserve(kHeld);
  EXPECT_TRUE(keys.give_back(go_on));
  EXPECT_EQ(asked, 4u);
}

// Pushed one by one past the size where its block is mapped and then grown
// by remapping several times, it holds every value in order.
TEST(ReallocStack, HoldsItsValuesAsItGrowsIntoAMappedBlock) {
  ReallocStack<Value> stack;
  fill(stack, 8 * ReallocStack<Value>::kMappedBytes / sizeof(Value) + 3);
  EXPECT_TRUE(holds_its_values(stack));
  stack.truncate(5);
  fill(stack, 100);
  EXPECT_TRUE(holds_its_values(stack));
}

}  // namespace
}  // namespace fendro::json::detail
