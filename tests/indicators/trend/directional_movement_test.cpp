#include "fendro/indicators/trend/directional_movement.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

using MakeWithPeriod = std::function<std::unique_ptr<Indicator>(std::uint64_t)>;

template <class T>
MakeWithPeriod of() {
  return [](std::uint64_t n) { return std::make_unique<T>(T::create(n).value()); };
}

// Up, down, up, then an inside bar.
const std::vector<Candle> kMoves = {hlc(10, 8, 9), hlc(12, 9, 11), hlc(11, 7, 8), hlc(13, 10, 12),
                                    hlc(12, 11, 11.5)};

struct Case {
  const char* name;
  MakeWithPeriod build;
  std::uint64_t n;
  std::vector<Candle> bars;
  std::size_t output;  // index of the named output compared, or kValue
  Values want;
};
constexpr std::size_t kValue = 99;

TEST(DirectionalMovement, HandValues) {
  const Case cases[] = {
      {"PlusDm", of<PlusDm>(), 2, kMoves, kValue, {kNone, kNone, 2.0, 3.0, 1.5}},
      {"MinusDm", of<MinusDm>(), 2, kMoves, kValue, {kNone, kNone, 2.0, 1.0, 0.5}},
      {"PlusDi", of<PlusDi>(), 2, kMoves, kValue,
       {kNone, kNone, 200.0 / 7, 300 / 8.5, 150 / 5.25}},
      {"MinusDi", of<MinusDi>(), 2, kMoves, kValue,
       {kNone, kNone, 200.0 / 7, 100 / 8.5, 50 / 5.25}},
      {"Dx", of<Dx>(), 2, kMoves, kValue, {kNone, kNone, 0.0, 50.0, 50.0}},
      // Adx returns +DI; its ADX seeds on the mean of n DX values.
      {"Adx", of<Adx>(), 2, kMoves, kValue, {kNone, kNone, kNone, 300 / 8.5, 150 / 5.25}},
      {"Adx.minus_di", of<Adx>(), 2, kMoves, 1, {kNone, kNone, kNone, 100 / 8.5, 50 / 5.25}},
      {"Adx.adx", of<Adx>(), 2, kMoves, 2, {kNone, kNone, kNone, 25.0, 37.5}},
      {"Adxr", of<Adxr>(), 2, kMoves, kValue, {kNone, kNone, kNone, kNone, 31.25}},
      // +DM 1, 2, 3 seed the sum 6; then x + (6 - 6/3).
      {"PlusDm n=3", of<PlusDm>(), 3,
       {hlc(10, 9, 9.5), hlc(11, 9.5, 10), hlc(13, 10, 12), hlc(16, 11, 15), hlc(20, 12, 19)},
       kValue, {kNone, kNone, kNone, 6.0, 8.0}},
      // n = 1: every type's first value on bar 2; ADX = DX and ADXR = ADX.
      {"Dx n=1", of<Dx>(), 1, {hlc(10, 8, 9), hlc(12, 9, 11)}, kValue, {kNone, 100.0}},
      {"Adx.adx n=1", of<Adx>(), 1, {hlc(10, 8, 9), hlc(12, 9, 11)}, 2, {kNone, 100.0}},
      {"Adxr n=1", of<Adxr>(), 1, {hlc(10, 8, 9), hlc(12, 9, 11)}, kValue, {kNone, 100.0}},
      // An outside bar with equal moves gives no directional movement.
      {"PlusDm outside", of<PlusDm>(), 1, {hlc(10, 8, 9), hlc(11, 7, 9)}, kValue,
       {kNone, 0.0}},
      {"MinusDm outside", of<MinusDm>(), 1, {hlc(10, 8, 9), hlc(11, 7, 9)}, kValue,
       {kNone, 0.0}},
      // Flat bars: zero true range gives zero indicators, not a division.
      {"PlusDi flat", of<PlusDi>(), 2, std::vector<Candle>(4, flat(5)), kValue,
       {kNone, kNone, 0.0, 0.0}},
      {"Dx flat", of<Dx>(), 2, std::vector<Candle>(4, flat(5)), kValue,
       {kNone, kNone, 0.0, 0.0}},
      {"Adx.adx flat", of<Adx>(), 2, std::vector<Candle>(5, flat(5)), 2,
       {kNone, kNone, kNone, 0.0, 0.0}},
      // A steady rise: no downward movement, DX 100.
      {"MinusDi rise", of<MinusDi>(), 2, {hlc(10, 8, 9), hlc(11, 9, 10), hlc(12, 10, 11)},
       kValue, {kNone, kNone, 0.0}},
      {"Dx rise", of<Dx>(), 2, {hlc(10, 8, 9), hlc(11, 9, 10), hlc(12, 10, 11)}, kValue,
       {kNone, kNone, 100.0}},
  };
  for (const Case& c : cases) {
    auto ind = c.build(c.n);
    if (c.output == kValue) {
      expect_values(run(*ind, c.bars), c.want, c.name);
    } else {
      expect_values(run_output(*ind, c.bars, c.output), c.want, c.name);
    }
  }
}

}  // namespace
}  // namespace fendro::testing
