// Volume-weighted averages: weights by volume and the zero-volume fallbacks.
#include "indicators/averages/avg_testing.hpp"

namespace fendro::testing {
namespace {

std::vector<Candle> priced(const std::vector<std::pair<double, double>>& close_volume) {
  std::vector<Candle> out;
  for (auto [c, v] : close_volume) out.push_back(Candle{0, c, c, c, c, v});
  return out;
}

TEST(VolumeWeighted, HandValues) {
  struct Case {
    const char* key;
    double period;
    std::vector<std::pair<double, double>> bars;  // (close, volume)
    Values want;
  };
  const Case cases[] = {
      {"Vwma", 2, {{10, 1}, {20, 3}, {30, 1}}, {kNone, 17.5, 22.5}},
      {"Vwma", 1, {{10, 2}, {20, 0}}, {10.0, 20.0}},
      {"Vwma", 3, {{1, 0}, {2, 0}, {6, 0}, {7, 5}}, {kNone, kNone, 3.0, 7.0}},
      {"Vwma", 2, {{1, 0}, {2, 0}, {4, 0}, {6, 0}}, {kNone, 1.5, 3.0, 5.0}},
      {"Evwma", 2, {{10, 1}, {20, 3}, {30, 1}}, {kNone, 20.0, 22.5}},
      // Period 1: the previous value weighs nothing on a bar with volume,
      // and stays put on a bar without.
      {"Evwma", 1, {{10, 2}, {20, 0}, {30, 4}}, {10.0, 10.0, 30.0}},
      // A window without volume: the close before the first value, then the
      // previous value.
      {"Evwma", 2, {{5, 0}, {6, 0}, {8, 0}, {9, 2}}, {kNone, 6.0, 6.0, 9.0}},
  };
  for (const Case& c : cases) expect_values(run_key(c.key, {c.period}, priced(c.bars)), c.want, c.key);
}

}  // namespace
}  // namespace fendro::testing
