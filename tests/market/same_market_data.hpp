// Two readings of candle data agree: the same failure text, or the same
// symbols with the same candles bit for bit.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

#include "fendro/json/parse.hpp"
#include "fendro/market/read_market_data.hpp"

namespace fendro {

// Candles compared bit for bit (-0.0 is not 0.0).
inline bool same_candle(const Candle& a, const Candle& b) {
  const auto bits = [](double x) { return std::bit_cast<std::uint64_t>(x); };
  return a.time == b.time && bits(a.open) == bits(b.open) && bits(a.high) == bits(b.high) &&
         bits(a.low) == bits(b.low) && bits(a.close) == bits(b.close) &&
         bits(a.volume) == bits(b.volume);
}

// The tree reader on the parsed text, or the parse failure's text.
inline Result<MarketData, std::string> tree_reading(std::string_view text) {
  const auto doc = json::parse(text);
  if (!doc) return err(doc.error().display());
  return read_market_data(doc->root);
}

inline void expect_same_result(const Result<MarketData, std::string>& from_text,
                               const Result<MarketData, std::string>& from_tree) {
  ASSERT_EQ(from_text.ok(), from_tree.ok())
      << (from_tree.ok() ? from_text.error() : from_tree.error());
  if (!from_tree.ok()) {
    EXPECT_EQ(from_text.error(), from_tree.error());
    return;
  }
  ASSERT_EQ(from_text->size(), from_tree->size());
  for (auto t = from_text->begin(), w = from_tree->begin(); w != from_tree->end(); ++t, ++w) {
    EXPECT_EQ(t->first, w->first);
    ASSERT_EQ(t->second.size(), w->second.size()) << w->first;
    for (std::size_t i = 0; i < w->second.size(); ++i) {
      EXPECT_TRUE(same_candle(t->second[i], w->second[i])) << w->first << " candle " << i;
    }
  }
}

}  // namespace fendro
