#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <iterator>
#include <limits>
#include <optional>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/market/records.hpp"
#include "indicators/series.hpp"

namespace fendro {
namespace {

using testing::SplitMix;

using testing::bits;

TEST(CandlePasses, AgreesWithTheCandleCheck) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const double specials[] = {std::numeric_limits<double>::quiet_NaN(), kInf, -kInf, -0.0, 0.0,
                             1.0, -1.0, 2.0, 5e-324, std::numeric_limits<double>::max()};
  SplitMix rng(5);
  auto pick = [&] { return specials[rng.next() % std::size(specials)]; };
  int accepted = 0;
  for (int i = 0; i < 200000; ++i) {
    const Candle c{0, pick(), pick(), pick(), pick(), pick()};
    const bool want = validate_candle(c).ok();
    ASSERT_EQ(candle_passes(c), want) << c.open << ' ' << c.high << ' ' << c.low << ' '
                                      << c.close << ' ' << c.volume;
    accepted += want ? 1 : 0;
  }
  EXPECT_GT(accepted, 100);
}

TEST(Returned, SameOptionalAsTheOrdinaryOne) {
  for (double v : {0.0, -0.0, 1.5, -50.0, std::numeric_limits<double>::infinity(),
                   std::numeric_limits<double>::quiet_NaN(), 5e-324}) {
    const std::optional<double> a = value_out(v);
    const std::optional<double> b = returned(std::optional<double>(v));
    ASSERT_TRUE(a.has_value() && b.has_value());
    EXPECT_EQ(bits(*a), bits(v));
    EXPECT_EQ(bits(*b), bits(v));
  }
  EXPECT_FALSE(no_value().has_value());
  EXPECT_FALSE(returned(std::nullopt).has_value());
}

}  // namespace
}  // namespace fendro
