#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fendro/market/indicator_error.hpp"
#include "fendro/market/records.hpp"

namespace fendro {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The display text of a failed check, or "" when the record passes.
std::string candle_failure(const Candle& c) {
  auto r = validate_candle(c);
  return r.ok() ? "" : r.error().display();
}

std::string trade_failure(const Trade& t) {
  auto r = validate_trade(t);
  return r.ok() ? "" : r.error().display();
}

TEST(CandleCheck, FirstFailingTestGivesTheReason) {
  struct Case {
    Candle c;  // time, open, high, low, close, volume
    std::string want;
  };
  const std::vector<Case> cases = {
      {{0, 1, 2, 0.5, 1.5, 10}, ""},
      {{0, 3, 3, 3, 3, 0}, ""},
      {{0, 3, 3, 3, 3, -0.0}, ""},
      {{0, -5, -1, -9, -2, 1}, ""},  // positive prices are not required
      {{0, kNaN, 2, 1, 1.5, -1}, "invalid candle: open, high, low, close must all be finite"},
      {{0, 1, kInf, 1, 1, 1}, "invalid candle: open, high, low, close must all be finite"},
      {{0, 1, 1, -kInf, 1, 1}, "invalid candle: open, high, low, close must all be finite"},
      {{0, 1, 1, 1, kNaN, 1}, "invalid candle: open, high, low, close must all be finite"},
      {{0, 1, 0.5, 2, 1, kInf}, "invalid candle: volume must be finite"},
      {{0, 1, 1, 1, 1, kNaN}, "invalid candle: volume must be finite"},
      {{0, 1, 1, 1, 1, -1e-300}, "invalid candle: volume must be non-negative"},
      {{0, 1, 0.5, 2, 3, 1}, "invalid candle: high must be >= low"},
      {{0, 2.5, 2, 1, 1.5, 1}, "invalid candle: high must be >= open and >= close"},
      {{0, 1.5, 2, 1, 2.5, 1}, "invalid candle: high must be >= open and >= close"},
      {{0, 0.5, 2, 1, 1.5, 1}, "invalid candle: low must be <= open and <= close"},
      {{0, 1.5, 2, 1, 0.5, 1}, "invalid candle: low must be <= open and <= close"},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(candle_failure(k.c), k.want)
        << k.c.open << " " << k.c.high << " " << k.c.low << " " << k.c.close << " " << k.c.volume;
  }
}

TEST(TradeCheck, PriceFirstThenSize) {
  struct Case {
    Trade t;  // price, size, time, side
    std::string want;
  };
  const std::vector<Case> cases = {
      {{1, 0, 0, 0}, ""},
      {{1, -0.0, 0, 1}, ""},
      {{4.9e-324, 1, 0, 0}, ""},  // a positive subnormal price passes
      {{0, 1, 0, 0}, "invalid trade: trade price must be finite and positive"},
      {{-0.0, 1, 0, 0}, "invalid trade: trade price must be finite and positive"},
      {{-1, 1, 0, 0}, "invalid trade: trade price must be finite and positive"},
      {{kInf, 1, 0, 0}, "invalid trade: trade price must be finite and positive"},
      {{kNaN, -1, 0, 0}, "invalid trade: trade price must be finite and positive"},
      {{1, -1e-300, 0, 0}, "invalid trade: trade size must be finite and non-negative"},
      {{1, kInf, 0, 0}, "invalid trade: trade size must be finite and non-negative"},
      {{1, kNaN, 0, 0}, "invalid trade: trade size must be finite and non-negative"},
  };
  for (const Case& k : cases) EXPECT_EQ(trade_failure(k.t), k.want) << k.t.price << " " << k.t.size;
}

std::vector<double> valid_prices(const std::vector<Trade>& raw) {
  std::vector<double> out;
  std::size_t pos = 0;
  while (const Trade* t = next_valid_trade(raw, pos)) out.push_back(t->price);
  return out;
}

TEST(NextValidTrade, KeepsValidPrintsInOrder) {
  EXPECT_TRUE(valid_prices({}).empty());
  EXPECT_TRUE(valid_prices({{0, 1, 0, 0}, {kNaN, 1, 0, 0}}).empty());
  const std::vector<Trade> raw = {
      {0, 1, 0, 0}, {5, 1, 0, 0}, {6, -1, 0, 0}, {7, 0, 0, 1}, {kNaN, 1, 0, 0}, {8, 2, 0, 0}};
  EXPECT_EQ(valid_prices(raw), (std::vector<double>{5, 7, 8}));
}

TEST(IndicatorErrorDisplay, FixedTextsAndPrefixes) {
  using K = IndicatorError::Kind;
  struct Case {
    IndicatorError e;
    std::string want;
  };
  const std::vector<Case> cases = {
      {IndicatorError::zero_period(), "period must be greater than zero"},
      {IndicatorError::invalid_period(kMaxPeriodReason),
       "invalid period: period exceeds the maximum supported window length (see MAX_PERIOD)"},
      {{K::NonFiniteInput, {}}, "input value must be finite (got NaN or infinity)"},
      {IndicatorError::invalid_candle("high must be >= low"), "invalid candle: high must be >= low"},
      {{K::InvalidTick, "r"}, "invalid tick: r"},
      {IndicatorError::non_positive_multiplier(), "multiplier must be greater than zero"},
      {{K::InvalidOrderBook, "r"}, "invalid order book: r"},
      {IndicatorError::invalid_trade("r"), "invalid trade: r"},
      {{K::InvalidDerivativesTick, "r"}, "invalid derivatives tick: r"},
      {{K::InvalidCrossSection, "r"}, "invalid cross-section: r"},
      {IndicatorError::invalid_parameter("r"), "invalid parameter: r"},
  };
  for (const Case& k : cases) EXPECT_EQ(k.e.display(), k.want);
}

}  // namespace
}  // namespace fendro
