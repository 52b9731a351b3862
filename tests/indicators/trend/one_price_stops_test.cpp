// Stops set at an average of one-price candles sit at the price exactly.
#include <gtest/gtest.h>

#include "indicators/one_price.hpp"

namespace fendro::testing {
namespace {

TEST(OnePriceStops, EveryAverageStopSitsAtThePrice) {
  expect_one_price_reads({
      {"ModifiedMaStop", {14}},
      {"HiLoActivator", {3}},
      {"HiLoActivator", {1}},
  });
}

}  // namespace
}  // namespace fendro::testing
