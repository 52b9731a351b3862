// A flat series has no correlation with anything: 0 at every shift, whatever
// residue the rounded mean of its copies would leave.
#include <gtest/gtest.h>

#include <vector>

#include "indicators/pairs/pairs_testing.hpp"

namespace fendro::testing::pairs {
namespace {

TEST(PairsCopiesWindow, LeadLagCorrelationOfCopiesIsZero) {
  for (const double p : kUnevenPrices) {
    const std::vector<double> flat(60, p);
    IndicatorPtr both_flat = make("LeadLagCrossCorrelation", {20, 5});
    const auto got = run_pair(*both_flat, flat, flat);
    for (std::size_t i = 29; i < got.size(); ++i) EXPECT_EQ(got[i], 0.0) << p << ", bar " << i;
    // One flat side alone is enough.
    std::vector<double> walk(60);
    for (std::size_t i = 0; i < walk.size(); ++i) walk[i] = 1.0 + static_cast<double>(i % 7);
    IndicatorPtr one_flat = make("LeadLagCrossCorrelation", {20, 5});
    EXPECT_EQ(run_pair(*one_flat, flat, walk).back(), 0.0) << p;
  }
}

}  // namespace
}  // namespace fendro::testing::pairs
