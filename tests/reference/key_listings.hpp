// The hand-kept lists of the generated checks: rows of a key and a reason.
#pragma once

#include <algorithm>
#include <span>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "fendro/registry/key_table.hpp"

namespace fendro::reference {

// The row of `table` that names `key`, or null.
template <class Listing>
const Listing* listing_named(std::span<const Listing> table, std::string_view key) {
  for (const Listing& l : table) {
    if (l.key == key) return &l;
  }
  return nullptr;
}

// Every row names a key, once, with a reason; with `candles_only`, a
// candle-fed key.
template <class Listing>
void expect_keys_once(std::span<const Listing> table, bool candles_only = false) {
  std::vector<std::string_view> seen;
  for (const Listing& l : table) {
    const auto slot = registry::key_slot(l.key);
    ASSERT_TRUE(slot.has_value()) << l.key;
    if (candles_only) {
      EXPECT_EQ(registry::key_rows()[*slot].feed, Feed::Kline) << l.key;
    }
    EXPECT_FALSE(l.reason.empty()) << l.key;
    EXPECT_EQ(std::count(seen.begin(), seen.end(), l.key), 0) << l.key << " is listed twice";
    seen.push_back(l.key);
  }
}

// Every row names a candle-fed key, once, with a reason.
template <class Listing>
void expect_candle_keys_once(std::span<const Listing> table) {
  expect_keys_once(table, true);
}

}  // namespace fendro::reference
