// One-price candles at prices whose copies do not sum exactly: every type
// that averages them reads the price itself, and every distance from that
// average reads 0, as exact arithmetic gives.
#pragma once

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "testing.hpp"

namespace fendro::testing {

inline constexpr double kOnePrices[] = {0.3, 7.77, 123.456, 30000.17, 0.00103};

struct OnePriceCase {
  std::string_view key;
  std::vector<double> params;
  bool reads_zero = false;    // a distance from the average: 0, else the price
  bool every_output = false;  // each named output reads the same
};

// Every value from the first on, at each price and at volumes 1.7 and 0,
// for `bars` candles: exactly the expected value, not within a few ulps.
inline void expect_one_price_reads(const std::vector<OnePriceCase>& cases, std::size_t bars = 120) {
  for (const OnePriceCase& c : cases) {
    for (const double volume : {1.7, 0.0}) {
      for (const double p : kOnePrices) {
        IndicatorPtr ind = make(c.key, c.params);
        ASSERT_TRUE(ind) << c.key;
        const double want = c.reads_zero ? 0.0 : p;
        std::size_t values = 0;
        for (std::size_t i = 0; i < bars; ++i) {
          const std::optional<double> v = step(*ind, Candle{0, p, p, p, p, volume});
          if (!v) continue;
          ++values;
          EXPECT_EQ(*v, want) << c.key << " at " << p << ", volume " << volume << ", bar " << i;
          if (!c.every_output) continue;
          for (const auto& [name, x] : ind->outputs()) {
            EXPECT_EQ(x, want) << c.key << "." << name << " at " << p << ", bar " << i;
          }
        }
        // A volume-weighted price has none while no volume was traded.
        if (volume > 0.0) {
          EXPECT_GT(values, 0u) << c.key << " at " << p;
        }
      }
    }
  }
}

}  // namespace fendro::testing
