#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <functional>
#include <iterator>
#include <vector>

#include "fendro/indicators/common/rolling_extreme.hpp"
#include "indicators/series.hpp"

namespace fendro {
namespace {

using testing::SplitMix;

using testing::bits;
using testing::tied_value;

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

}  // namespace
}  // namespace fendro
