// Volume-weighted averages: weights by volume and the zero-volume fallbacks.
#include "indicators/testing.hpp"

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
  for (const Case& c : cases) expect_values(key_values(c.key, {c.period}, priced(c.bars)), c.want, c.key);
}

// Once the last traded bar has left the window, the running volume sum may
// keep a rounding residue (here about 1e-12 with a price-volume residue of 0,
// which would give 0). The window traded nothing: the plain mean it is.
TEST(VolumeWeighted, VwmaFallsBackOnceTheVolumeHasLeft) {
  const auto cs = priced({{94.30684778009012, 4888.480662137524},
                          {107.5892631861241, 4937.482879695097},
                          {105.58185756469061, 0},
                          {101.0623074327822, 0},
                          {109.08674439093943, 0}});
  const Values v = key_values("Vwma", {3}, cs);
  ASSERT_TRUE(v.back());
  EXPECT_NEAR(*v.back(), (105.58185756469061 + 101.0623074327822 + 109.08674439093943) / 3, 1e-9);
}

}  // namespace
}  // namespace fendro::testing
