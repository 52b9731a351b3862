// The on-balance line against its plain rule, to the bit, on closes that
// often repeat and volumes that include both zeros: a level close must leave
// the line's bits alone, a rise add the volume, a fall subtract it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "indicators/testing.hpp"

namespace fendro {
namespace {

using testing::bits;
using testing::SplitMix;
using testing::tied_value;

TEST(ObvTies, MatchesThePlainRuleToTheBit) {
  static constexpr double kVolumes[] = {0.0, -0.0, 1.0, 2.5, 0.1, 1e300};
  for (std::uint64_t seed : {1, 2, 3}) {
    SplitMix rng(seed);
    std::vector<Candle> candles;
    for (int i = 0; i < 2000; ++i) {
      Candle c = testing::flat(tied_value(rng));
      c.volume = kVolumes[rng.next() % std::size(kVolumes)];
      candles.push_back(c);
    }
    const testing::Values got = testing::key_values("Obv", {}, candles);
    ASSERT_EQ(got.size(), candles.size());
    double line = 0.0;
    for (std::size_t i = 0; i < candles.size(); ++i) {
      if (i > 0) {
        const double close = candles[i].close, prev = candles[i - 1].close;
        if (close > prev) line = candles[i].volume + line;
        if (close < prev) line = line - candles[i].volume;
      }
      ASSERT_TRUE(got[i]) << "seed " << seed << " bar " << i;
      ASSERT_EQ(bits(*got[i]), bits(line)) << "seed " << seed << " bar " << i;
    }
  }
}

}  // namespace
}  // namespace fendro
