#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fendro/json/parse.hpp"
#include "fendro/market/read_market_data.hpp"

namespace fendro {
namespace {

Result<MarketData, std::string> read(std::string_view text) {
  auto doc = json::parse(text);
  if (!doc.ok()) return err("unparsable test input: " + doc.error().display());
  return read_market_data(doc->root);
}

void expect_candle(const Candle& c, std::int64_t t, double o, double h, double l, double cl, double v) {
  EXPECT_EQ(c.time, t);
  EXPECT_EQ(c.open, o);
  EXPECT_EQ(c.high, h);
  EXPECT_EQ(c.low, l);
  EXPECT_EQ(c.close, cl);
  EXPECT_EQ(c.volume, v);
}

TEST(ReadMarketData, AcceptedForms) {
  auto r = read(R"({
    "b": [[-5, 1, 2, 0.5, 1.5, 7], [6, 1, 2, 0.5, 1.5]],
    "a": [{"time": 1, "open": 1, "high": 2, "low": -3, "close": 1.25, "extra": [{}]},
          {"time": -9223372036854775808, "open": 18446744073709551615, "high": 1e300,
           "low": -1, "close": 0, "volume": 2}],
    "": [],
    "c": [{"time": 1, "open": 1, "high": 1, "low": 1, "close": 1, "volume": -4}]
  })");
  ASSERT_TRUE(r.ok()) << r.error();
  const MarketData& m = *r;
  std::vector<std::string> symbols;
  for (const auto& [s, _] : m) symbols.push_back(s);
  EXPECT_EQ(symbols, (std::vector<std::string>{"", "a", "b", "c"}));
  EXPECT_TRUE(m.at("").empty());
  ASSERT_EQ(m.at("a").size(), 2u);
  expect_candle(m.at("a")[0], 1, 1, 2, -3, 1.25, 0.0);
  expect_candle(m.at("a")[1], INT64_MIN, 18446744073709551615.0, 1e300, -1, 0, 2);
  ASSERT_EQ(m.at("b").size(), 2u);
  expect_candle(m.at("b")[0], -5, 1, 2, 0.5, 1.5, 7);
  expect_candle(m.at("b")[1], 6, 1, 2, 0.5, 1.5, 0.0);
  // The reader checks shapes, not candle values.
  expect_candle(m.at("c")[0], 1, 1, 1, 1, 1, -4);
  EXPECT_TRUE(read("{}")->empty());
}

}  // namespace
}  // namespace fendro
