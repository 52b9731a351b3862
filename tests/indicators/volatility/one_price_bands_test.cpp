// Bands about the mean of one-price candles collapse onto the price: the
// mean is the price and every deviation from it is 0.
#include <gtest/gtest.h>

#include "indicators/one_price.hpp"

namespace fendro::testing {
namespace {

TEST(OnePriceBands, EveryBandIsThePrice) {
  expect_one_price_reads({
      {"BomarBands", {40, 0.85}, false, true},
  });
}

}  // namespace
}  // namespace fendro::testing
