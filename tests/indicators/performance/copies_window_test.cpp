// Copies of one return: the cumulative returns lie on a line through the
// window, so the K-ratio has no residual and reads 0.
#include <gtest/gtest.h>

#include <vector>

#include "indicators/testing.hpp"

namespace fendro::testing::performance {
namespace {

TEST(PerformanceCopiesWindow, KRatioOfCopiesIsZero) {
  for (const double p : kUnevenPrices) {
    const Values got = run_closes("KRatio", {20}, std::vector<double>(60, p));
    for (std::size_t i = 19; i < got.size(); ++i) EXPECT_EQ(got[i], 0.0) << p << ", bar " << i;
  }
}

}  // namespace
}  // namespace fendro::testing::performance
