#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

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

}  // namespace
}  // namespace fendro
