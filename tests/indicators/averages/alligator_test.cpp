// Alligator: three smoothed lines of the median price, reported together.
#include "fendro/indicators/averages/alligator.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

// Candles whose median price is m.
std::vector<Candle> medians(const std::vector<double>& ms) {
  std::vector<Candle> out;
  for (double m : ms) out.push_back(hlc(m + 1, m - 1, m));
  return out;
}

TEST(Alligator, LinesInTheirOrder) {
  struct Case {
    std::vector<double> lengths;
    std::vector<double> medians;
    std::vector<Values> want;  // jaw, teeth, lips
  };
  const Case cases[] = {
      // jaw 3 seeds on bar 3 (mean 2), teeth 2 on bar 2, lips 1 is the median.
      {{3, 2, 1},
       {1, 2, 3, 4},
       {{kNone, kNone, 2.0, 8.0 / 3}, {kNone, kNone, 2.25, 3.125}, {kNone, kNone, 3.0, 4.0}}},
      // The order of the lengths is free.
      {{1, 2, 3},
       {1, 2, 3, 4},
       {{kNone, kNone, 3.0, 4.0}, {kNone, kNone, 2.25, 3.125}, {kNone, kNone, 2.0, 8.0 / 3}}},
      {{1, 1, 1}, {5, -2}, {{5.0, -2.0}, {5.0, -2.0}, {5.0, -2.0}}},
  };
  for (const Case& c : cases) {
    for (std::size_t k = 0; k < 3; ++k) {
      IndicatorPtr ind = make("Alligator", c.lengths);
      expect_values(run_output(*ind, medians(c.medians), k), c.want[k], "Alligator output");
    }
  }
}

}  // namespace
}  // namespace fendro::testing
