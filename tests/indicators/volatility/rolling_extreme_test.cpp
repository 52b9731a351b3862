#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/momentum/stochastic.hpp"
#include "fendro/indicators/volatility/rolling_extreme.hpp"
#include "indicators/series.hpp"

namespace fendro {
namespace {

using testing::SplitMix;

std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }

// Few distinct values, both zeros among them: ties on almost every push.
double tied_value(SplitMix& rng) {
  static constexpr double kValues[] = {-2.0, -1.0, -0.0, 0.0, 0.0, -0.0, 1.0, 2.0, 2.0};
  return kValues[rng.next() % std::size(kValues)];
}

// The extreme of the last n values by a plain scan from the oldest, where a
// later value takes over unless the one held is better: the newest of equal
// values with a strict `Better`, the oldest with a non-strict one.
template <class Better>
double scanned(const std::vector<double>& xs, std::size_t end, std::uint64_t n) {
  const std::size_t begin = end > n ? end - n : 0;
  double best = xs[begin];
  for (std::size_t i = begin + 1; i < end; ++i) {
    if (!Better{}(best, xs[i])) best = xs[i];
  }
  return best;
}

template <class Better>
void expect_matches_scan(std::uint64_t n, std::uint64_t seed) {
  SplitMix rng(seed);
  vol::RollingExtreme<Better> window(n);
  std::vector<double> xs;
  for (int i = 0; i < 3000; ++i) {
    xs.push_back(tied_value(rng));
    window.push(xs.back());
    ASSERT_EQ(window.count(), xs.size());
    ASSERT_EQ(bits(window.value()), bits(scanned<Better>(xs, xs.size(), n)))
        << "n " << n << " push " << i;
  }
}

TEST(RollingExtreme, MatchesThePlainScanWithManyTies) {
  for (std::uint64_t n : {1, 2, 3, 7, 8, 9, 14, 16, 17, 64, 100, 5000}) {
    expect_matches_scan<std::greater<>>(n, n);
    expect_matches_scan<std::less<>>(n, n + 1);
    expect_matches_scan<std::greater_equal<>>(n, n + 2);
    expect_matches_scan<std::less_equal<>>(n, n + 3);
  }
}

// A falling series keeps every value a candidate: the ring must hold n of
// them at once (a power-of-two n fills it exactly) and still drop the oldest.
TEST(RollingExtreme, StrictlyFallingSeriesFillsTheRing) {
  for (std::uint64_t n : {1, 5, 8, 16, 33}) {
    vol::RollingMax window(n);
    for (int i = 0; i < 200; ++i) {
      window.push(-static_cast<double>(i));
      const double oldest = i + 1 > static_cast<int>(n) ? -static_cast<double>(i + 1 - n) : 0.0;
      ASSERT_EQ(window.value(), oldest) << "n " << n << " push " << i;
    }
  }
}

TEST(RollingExtreme, CopyKeepsTheCandidates) {
  vol::RollingMin a(4);
  for (double x : {5.0, 3.0, 4.0, 6.0}) a.push(x);
  vol::RollingMin b = a;
  a.push(7.0);
  b.push(7.0);
  b.push(8.0);
  EXPECT_EQ(a.value(), 3.0);  // 3, 4, 6, 7
  EXPECT_EQ(b.value(), 4.0);  // 4, 6, 7, 8
}

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

TEST(CandlePasses, AgreesWithTheCandleCheck) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const double specials[] = {std::numeric_limits<double>::quiet_NaN(), kInf, -kInf, -0.0, 0.0,
                             1.0, -1.0, 2.0, 5e-324, std::numeric_limits<double>::max()};
  SplitMix rng(5);
  auto pick = [&] { return specials[rng.next() % std::size(specials)]; };
  int accepted = 0;
  for (int i = 0; i < 200000; ++i) {
    const Candle c{0, pick(), pick(), pick(), pick(), pick()};
    const bool want = validate_candle(c).ok();
    ASSERT_EQ(candle_passes(c), want) << c.open << ' ' << c.high << ' ' << c.low << ' '
                                      << c.close << ' ' << c.volume;
    accepted += want ? 1 : 0;
  }
  EXPECT_GT(accepted, 100);
}

TEST(Returned, SameOptionalAsTheOrdinaryOne) {
  for (double v : {0.0, -0.0, 1.5, -50.0, std::numeric_limits<double>::infinity(),
                   std::numeric_limits<double>::quiet_NaN(), 5e-324}) {
    const std::optional<double> a = value_out(v);
    const std::optional<double> b = returned(std::optional<double>(v));
    ASSERT_TRUE(a.has_value() && b.has_value());
    EXPECT_EQ(bits(*a), bits(v));
    EXPECT_EQ(bits(*b), bits(v));
  }
  EXPECT_FALSE(no_value().has_value());
  EXPECT_FALSE(returned(std::nullopt).has_value());
}

}  // namespace
}  // namespace fendro
