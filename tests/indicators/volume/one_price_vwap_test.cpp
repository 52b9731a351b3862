// A sum of price times volume over a sum of volume, where every price is a
// copy, reads the price exactly.
#include <gtest/gtest.h>

#include "indicators/one_price.hpp"

namespace fendro::testing {
namespace {

TEST(OnePriceVwap, EveryVwapReadsThePrice) {
  expect_one_price_reads({
      {"Vwap", {}},
      {"AnchoredVwap", {}},
      {"RollingVwap", {20}},
      {"SessionVwap", {0}},
  });
}

}  // namespace
}  // namespace fendro::testing
