#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <iterator>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "fendro/indicators/common/candle_range.hpp"
#include "fendro/indicators/common/high_low_window.hpp"
#include "fendro/indicators/momentum/stochastic.hpp"
#include "fendro/market/bar_snapshot.hpp"
#include "fendro/market/records.hpp"
#include "indicators/series.hpp"

namespace fendro {
namespace {

using testing::SplitMix;

using testing::bits;
using testing::tied_value;

// Candles over few prices, both zeros included, with about one in six
// refused by the candle check.
std::vector<Candle> tied_candles(std::size_t n, std::uint64_t seed) {
  SplitMix rng(seed);
  std::vector<Candle> out;
  for (std::size_t i = 0; i < n; ++i) {
    double a = tied_value(rng);
    double b = tied_value(rng);
    if (a < b) std::swap(a, b);
    Candle c{0, b, a, b, tied_value(rng) < 0.0 ? b : a, 1.0};
    switch (rng.next() % 12) {
      case 0: c.high = std::numeric_limits<double>::quiet_NaN(); break;
      case 1: c.low = c.high + 1.0; break;
      default: break;
    }
    out.push_back(c);
  }
  return out;
}

struct Range {
  double hh;
  double ll;
};

// Highest high and lowest low of the last n accepted candles by strict scans
// from the infinities (older of equal values) or non-strict ones (newer).
Range scanned_range(const std::vector<Candle>& kept, std::uint64_t n, bool newest) {
  Range r{-std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
  for (std::size_t i = kept.size() - n; i < kept.size(); ++i) {
    const Candle& c = kept[i];
    if (newest ? c.high >= r.hh : c.high > r.hh) r.hh = c.high;
    if (newest ? c.low <= r.ll : c.low < r.ll) r.ll = c.low;
  }
  return r;
}

template <class Window>
void expect_window_matches_scan(std::uint64_t n, bool newest, std::uint64_t seed) {
  std::vector<Candle> kept;
  for (const Candle& c : tied_candles(3000, seed)) {
    if (validate_candle(c).ok()) kept.push_back(c);
  }
  Window window(n);
  std::vector<Candle> seen;
  for (const Candle& c : kept) {
    seen.push_back(c);
    const bool ready = window.push(c);
    ASSERT_EQ(ready, seen.size() >= n);
    if (!ready) continue;
    const Range want = scanned_range(seen, n, newest);
    ASSERT_EQ(bits(window.highest()), bits(want.hh)) << "n " << n << " candle " << seen.size();
    ASSERT_EQ(bits(window.lowest()), bits(want.ll)) << "n " << n << " candle " << seen.size();
  }
}

TEST(HighLowWindow, MatchesPlainScansWithManyTies) {
  for (std::uint64_t n : {1, 2, 3, 5, 8, 14, 16, 33, 257}) {
    expect_window_matches_scan<OldestHighLow>(n, false, n);
    expect_window_matches_scan<NewestHighLow>(n, true, n + 1);
  }
}

TEST(HighLowWindow, WilliamsRAndStochasticMatchPlainScansOverAcceptedCandles) {
  const std::vector<Candle> candles = tied_candles(4000, 11);
  for (std::uint64_t n : {1, 3, 14}) {
    auto w = WilliamsR::create(n);
    auto s = Stochastic::create(n, 1);
    ASSERT_TRUE(w.ok() && s.ok());
    std::vector<Candle> kept;
    for (const Candle& c : candles) {
      BarSnapshot bar;
      bar.candle = &c;
      const std::optional<double> wv = w.value().update(bar);
      const std::optional<double> sv = s.value().update(bar);
      if (!validate_candle(c).ok()) {
        ASSERT_FALSE(wv.has_value());
        ASSERT_FALSE(sv.has_value());
        continue;
      }
      kept.push_back(c);
      if (kept.size() < n) {
        ASSERT_FALSE(wv.has_value());
        continue;
      }
      const Range older = scanned_range(kept, n, false);
      const double wr = older.hh - older.ll;
      const double want_w = wr == 0.0 ? -50.0 : ((older.hh - c.close) * -100.0) / wr;
      ASSERT_TRUE(wv.has_value());
      ASSERT_EQ(bits(*wv), bits(want_w)) << "n " << n << " candle " << kept.size();
      const Range newer = scanned_range(kept, n, true);
      const double sr = newer.hh - newer.ll;
      const double want_k = sr == 0.0 ? 50.0 : ((c.close - newer.ll) * 100.0) / sr;
      ASSERT_TRUE(sv.has_value());
      ASSERT_EQ(bits(*sv), bits(want_k)) << "n " << n << " candle " << kept.size();
    }
  }
}

// The candle window beside its extremes: the window holds the newest n
// accepted candles oldest first, and the extremes read from it match scans.
template <bool OlderWins>
void expect_candle_range_matches_scan(std::uint64_t n, std::uint64_t seed) {
  auto made = CandleRange<OlderWins>::create(n);
  ASSERT_TRUE(made.ok());
  CandleRange<OlderWins> range = std::move(made).value();
  std::vector<Candle> seen;
  for (Candle c : tied_candles(2000, seed)) {
    if (!validate_candle(c).ok()) continue;
    c.time = static_cast<std::int64_t>(seen.size());
    seen.push_back(c);
    const bool ready = range.push(c);
    ASSERT_EQ(ready, seen.size() >= n);
    std::vector<std::int64_t> held;
    range.window().ring.for_each([&held](const Candle& k) { held.push_back(k.time); });
    const std::size_t from = seen.size() > n ? seen.size() - n : 0;
    ASSERT_EQ(held.size(), seen.size() - from) << "n " << n;
    for (std::size_t i = 0; i < held.size(); ++i) ASSERT_EQ(held[i], seen[from + i].time);
    if (!ready) continue;
    const Range want = scanned_range(seen, n, !OlderWins);
    ASSERT_EQ(bits(range.highest()), bits(want.hh)) << "n " << n << " candle " << seen.size();
    ASSERT_EQ(bits(range.lowest()), bits(want.ll)) << "n " << n << " candle " << seen.size();
  }
}

TEST(CandleRange, WindowHoldsTheNewestCandlesAndExtremesMatchScans) {
  for (std::uint64_t n : {1, 2, 3, 14, 33}) {
    expect_candle_range_matches_scan<true>(n, 3 * n);
    expect_candle_range_matches_scan<false>(n, 3 * n + 1);
  }
}

// Plain values as their own high and low, in a ring the owner keeps: the
// newer of equal extremes is reported, as by non-strict scans.
TEST(HighLowExtremes, OverARingOfValuesMatchScans) {
  for (std::uint64_t n : {1, 2, 5, 16, 40}) {
    SplitMix rng(n);
    BoundedRing<double> ring(n);
    HighLowExtremes<false> extremes(n);
    std::vector<Candle> seen;
    for (int i = 0; i < 1500; ++i) {
      const double x = tied_value(rng);
      seen.push_back(Candle{0, x, x, x, x, 1.0});
      ASSERT_EQ(extremes.push(ring, x, x, x), seen.size() >= n);
      ASSERT_EQ(bits(ring.back()), bits(x));
      if (seen.size() < n) continue;
      const Range want = scanned_range(seen, n, true);
      ASSERT_EQ(bits(extremes.highest()), bits(want.hh)) << "n " << n << " value " << i;
      ASSERT_EQ(bits(extremes.lowest()), bits(want.ll)) << "n " << n << " value " << i;
    }
  }
}

}  // namespace
}  // namespace fendro
