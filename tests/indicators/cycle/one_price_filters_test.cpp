// Filters whose gain at rest is 1, fed one-price candles, read the price
// exactly while their recursions keep their arithmetic.
#include <gtest/gtest.h>

#include "indicators/one_price.hpp"

namespace fendro::testing {
namespace {

TEST(OnePriceFilters, EveryFilterReadsThePrice) {
  expect_one_price_reads({
      {"SuperSmoother", {10}},
      {"InstantaneousTrendline", {20}},
      {"Mama", {0.5, 0.05}, false, true},
      {"Fama", {0.5, 0.05}},
  });
}

}  // namespace
}  // namespace fendro::testing
