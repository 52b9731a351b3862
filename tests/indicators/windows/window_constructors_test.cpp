#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fendro/indicators/averages/geometric_ma.hpp"
#include "fendro/indicators/averages/mcginley.hpp"
#include "fendro/indicators/averages/smma.hpp"
#include "fendro/indicators/momentum/fisher_transform.hpp"
#include "fendro/indicators/momentum/stochastic.hpp"
#include "fendro/indicators/orderflow/trade_liquidity.hpp"
#include "fendro/indicators/performance/return_ratios.hpp"
#include "fendro/indicators/transforms/price_transforms.hpp"
#include "fendro/indicators/volatility/extreme_channels.hpp"
#include "fendro/indicators/volatility/return_volatility.hpp"
#include "fendro/indicators/volume/money_flow.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/ring_windows.hpp"
#include "fendro/indicators/windows/rolling_variance.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/indicators/windows/sorted_window.hpp"
#include "fendro/indicators/windows/wma_window.hpp"

namespace fendro {
namespace {

// Runs a constructor and answers its error text, or "" on success.
template <class F>
std::function<std::string(std::uint64_t)> outcome(F make) {
  return [make](std::uint64_t n) {
    auto r = make(n);
    return r.ok() ? std::string() : r.error().display();
  };
}

TEST(WindowConstructors, LengthChecksInPlainOrder) {
  const std::vector<std::pair<const char*, std::function<std::string(std::uint64_t)>>> makers = {
      {"sma_window_new", outcome(sma_window_new)},
      {"zeroed_ring_new", outcome(zeroed_ring_new)},
      {"wma_window_new", outcome(wma_window_new)},
      {"ema_state_new", outcome(ema_state_new)},
      {"lag_ring_new", outcome(lag_ring_new)},
      {"ring_window_new", outcome(ring_window_new)},
      {"candle_window_new", outcome(candle_window_new)},
      {"sorted_window_new", outcome(sorted_window_new)},
      {"ring_window_sums_new", outcome(ring_window_sums_new)},
      {"pair_ring_window_new", outcome(pair_ring_window_new)},
      {"ring_window_state_new", outcome(ring_window_state_new)},
      {"anchored_ring_window_new", outcome(anchored_ring_window_new)},
      {"rolling_variance_new", outcome(rolling_variance_new)},
  };
  const std::string max_text =
      "invalid period: period exceeds the maximum supported window length (see MAX_PERIOD)";
  for (const auto& [name, make] : makers) {
    EXPECT_EQ(make(0), "period must be greater than zero") << name;
    EXPECT_EQ(make(1), "") << name;
    EXPECT_EQ(make(MAX_PERIOD), "") << name;
    EXPECT_EQ(make(MAX_PERIOD + 1), max_text) << name;
    EXPECT_EQ(make(~std::uint64_t{0}), max_text) << name;
  }
}

// The lag ring keeps one more input than its period: the value n bars back.
TEST(WindowConstructors, LagRingHoldsPeriodPlusOne) {
  auto lag = lag_ring_new(4);
  ASSERT_TRUE(lag.ok());
  EXPECT_EQ(lag->ring.capacity(), 5u);
  EXPECT_EQ(lag->period, 4u);
}

// Every shape starts empty with its period, its optional values absent and
// its running values at zero; the rings have room for n entries.
TEST(WindowConstructors, ShapesStartEmpty) {
  auto candles = candle_window_new(3);
  auto sums = ring_window_sums_new(3);
  auto state = ring_window_state_new(3);
  auto anchored = anchored_ring_window_new(3);
  ASSERT_TRUE(candles.ok() && sums.ok() && state.ok() && anchored.ok());
  struct Ring {
    const char* name;
    std::uint64_t capacity;
    std::size_t len;
    std::uint64_t period;
  };
  const Ring rings[] = {
      {"candle", candles->ring.capacity(), candles->ring.len(), candles->period},
      {"sums", sums->ring.capacity(), sums->ring.len(), sums->period},
      {"state", state->ring.capacity(), state->ring.len(), state->period},
      {"anchored", anchored->ring.capacity(), anchored->ring.len(), anchored->period},
  };
  for (const Ring& r : rings) {
    EXPECT_EQ(r.capacity, 3u) << r.name;
    EXPECT_EQ(r.len, 0u) << r.name;
    EXPECT_EQ(r.period, 3u) << r.name;
  }
  EXPECT_EQ(sums->acc_a, 0.0);
  EXPECT_EQ(sums->acc_b, 0.0);
  EXPECT_FALSE(state->last.has_value());
  EXPECT_EQ(state->state, 0.0);
  EXPECT_FALSE(anchored->prev.has_value());
  EXPECT_FALSE(anchored->last.has_value());
  EXPECT_EQ(anchored->acc, 0.0);
  EXPECT_EQ(anchored->pushes, 0u);
}

// The types built on the shared shapes answer with the shapes' length checks,
// and the longest window is built without reserving it.
template <class T>
std::function<std::string(std::uint64_t)> built(std::uint64_t& warmup) {
  return [&warmup](std::uint64_t n) {
    auto r = T::create(n);
    if (!r.ok()) return r.error().display();
    warmup = r->warmup_period();
    return std::string();
  };
}

TEST(WindowConstructors, TypesBuiltOnTheShapesShareTheirChecks) {
  std::uint64_t warmup = 0;
  struct Case {
    const char* type;
    std::function<std::string(std::uint64_t)> make;
    std::uint64_t longest_warmup;
  };
  const Case cases[] = {
      {"WilliamsR", built<WilliamsR>(warmup), MAX_PERIOD},
      {"Donchian", built<Donchian>(warmup), MAX_PERIOD},
      {"MidPrice", built<MidPrice>(warmup), MAX_PERIOD},
      {"MidPoint", built<MidPoint>(warmup), MAX_PERIOD},
      {"FisherTransform", built<FisherTransform>(warmup), MAX_PERIOD},
      {"McGinleyDynamic", built<McGinleyDynamic>(warmup), MAX_PERIOD},
      {"Smma", built<Smma>(warmup), MAX_PERIOD},
      {"Tsv", built<Tsv>(warmup), MAX_PERIOD + 1},
      {"GainToPainRatio", built<perf::GainToPainRatio>(warmup), MAX_PERIOD},
      {"GeometricMa", built<GeometricMa>(warmup), MAX_PERIOD},
      {"AmihudIlliquidity", built<AmihudIlliquidity>(warmup), MAX_PERIOD + 1},
      {"RealizedVolatility", built<RealizedVolatility>(warmup), MAX_PERIOD + 1},
  };
  const std::string max_text =
      "invalid period: period exceeds the maximum supported window length (see MAX_PERIOD)";
  for (const Case& c : cases) {
    EXPECT_EQ(c.make(0), "period must be greater than zero") << c.type;
    EXPECT_EQ(c.make(MAX_PERIOD + 1), max_text) << c.type;
    EXPECT_EQ(c.make(MAX_PERIOD), "") << c.type;
    EXPECT_EQ(warmup, c.longest_warmup) << c.type;
  }
}

}  // namespace
}  // namespace fendro
