// The types that keep their closes (or candle bodies) in the shared window
// shapes, built directly: they answer with the shapes' length checks, carry
// the period into their warm-up, and a window of MAX_PERIOD costs memory only
// for the bars it has actually seen.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fendro/indicators/momentum/chande.hpp"
#include "fendro/indicators/performance/drawdown_ratios.hpp"
#include "fendro/indicators/performance/return_ratios.hpp"
#include "fendro/indicators/statistics/moment_statistics.hpp"
#include "fendro/indicators/volatility/quantile_channels.hpp"
#include "fendro/registry/registry.hpp"
#include "indicators/series.hpp"

namespace fendro {
namespace {

// Bytes held by the allocator right now, small blocks and mapped ones.
std::size_t bytes_in_use() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

struct Built {
  std::string error;  // "" when built
  IndicatorPtr indicator;
};

template <class T>
std::function<Built(std::uint64_t)> direct() {
  return [](std::uint64_t n) {
    auto r = T::create(n);
    if (!r.ok()) return Built{r.error().display(), nullptr};
    return Built{"", std::make_unique<T>(std::move(r).value())};
  };
}

TEST(WindowUsers, LongestWindowFollowsTheBarsSeen) {
  struct Case {
    const char* type;
    std::function<Built(std::uint64_t)> make;
    std::uint64_t longest_warmup;
  };
  const Case cases[] = {
      {"LogReturn", direct<stats::LogReturn>(), MAX_PERIOD + 1},
      {"AverageDrawdown", direct<perf::AverageDrawdown>(), MAX_PERIOD},
      {"PainIndex", direct<perf::PainIndex>(), MAX_PERIOD},
      {"GainLossRatio", direct<perf::GainLossRatio>(), MAX_PERIOD},
      {"KellyCriterion", direct<perf::KellyCriterion>(), MAX_PERIOD},
      {"ProfitFactor", direct<perf::ProfitFactor>(), MAX_PERIOD},
      {"QuartileBands", direct<QuartileBands>(), MAX_PERIOD},
      {"IntradayMomentumIndex", direct<IntradayMomentumIndex>(), MAX_PERIOD},
  };
  const std::string max_text =
      "invalid period: period exceeds the maximum supported window length (see MAX_PERIOD)";
  const std::vector<Candle> candles = testing::random_walk(100, 7);
  // 100 values of at most 16 bytes, twice over for a sorted copy, with the
  // growth slack of a doubling buffer: far below one full window (128 MiB).
  const std::size_t bound = std::size_t{64} << 10;
  for (const Case& c : cases) {
    EXPECT_EQ(c.make(0).error, "period must be greater than zero") << c.type;
    EXPECT_EQ(c.make(MAX_PERIOD + 1).error, max_text) << c.type;
    EXPECT_EQ(c.make(~std::uint64_t{0}).error, max_text) << c.type;

    const std::size_t before = bytes_in_use();
    Built longest = c.make(MAX_PERIOD);
    ASSERT_EQ(longest.error, "") << c.type;
    EXPECT_EQ(longest.indicator->warmup_period(), c.longest_warmup) << c.type;
    for (const Candle& candle : candles) {
      EXPECT_FALSE(testing::step(*longest.indicator, candle)) << c.type;
    }
    const std::size_t after = bytes_in_use();
    EXPECT_LT(after > before ? after - before : 0, bound) << c.type;
  }
}

}  // namespace
}  // namespace fendro
