#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <optional>

#include "fendro/indicators/trend/aroon.hpp"
#include "fendro/indicators/trend/parabolic_sar.hpp"
#include "indicators/testing.hpp"

namespace fendro::testing {
namespace {

std::vector<Candle> highs_lows(std::vector<double> highs, std::vector<double> lows) {
  std::vector<Candle> out;
  for (std::size_t i = 0; i < highs.size(); ++i) out.push_back(hlc(highs[i], lows[i], lows[i]));
  return out;
}

TEST(Aroon, PositionsOfTheExtremes) {
  struct Case {
    const char* name;
    std::uint64_t n;
    std::vector<Candle> bars;
    Values up, down;
  };
  const Case cases[] = {
      {"n=1 higher high", 1, highs_lows({10, 11}, {8, 9}), {kNone, 100.0}, {kNone, 0.0}},
      {"n=1 lower low", 1, highs_lows({10, 9}, {8, 7}), {kNone, 0.0}, {kNone, 100.0}},
      // Ties go to the newest candle.
      {"identical", 2, std::vector<Candle>(4, hlc(10, 8, 9)), {kNone, kNone, 100.0, 100.0},
       {kNone, kNone, 100.0, 100.0}},
      {"highest 3 bars back", 4, highs_lows({5, 9, 6, 7, 8}, {1, 2, 3, 4, 5}),
       {kNone, kNone, kNone, kNone, 25.0}, {kNone, kNone, kNone, kNone, 0.0}},
      // The window slides: the old extreme leaves it.
      {"sliding", 2, highs_lows({9, 5, 6, 7}, {1, 3, 2, 2.5}), {kNone, kNone, 0.0, 100.0},
       {kNone, kNone, 0.0, 50.0}},
  };
  for (const Case& c : cases) {
    auto a = Aroon::create(c.n).value();
    expect_values(run(a, c.bars), c.up, c.name);
    auto b = Aroon::create(c.n).value();
    expect_values(run_output(b, c.bars, 1), c.down, c.name);
    auto osc = AroonOscillator::create(c.n).value();
    Values diff;
    for (std::size_t i = 0; i < c.up.size(); ++i) {
      diff.push_back(c.up[i] ? std::optional<double>(*c.up[i] - *c.down[i]) : kNone);
    }
    expect_values(run(osc, c.bars), diff, c.name);
  }
}

TEST(ParabolicSar, StartsReversesAndAccelerates) {
  struct Case {
    const char* name;
    bool extended;
    std::vector<double> params;
    std::vector<Candle> bars;
    Values want;
  };
  const std::vector<double> psar = {0.02, 0.02, 0.2};
  const std::vector<double> ext = {0, 0, 0.02, 0.02, 0.2, 0.02, 0.02, 0.2};
  const std::vector<double> ext_offset = {0, 0.1, 0.02, 0.02, 0.2, 0.02, 0.02, 0.2};
  const auto rise = highs_lows({10, 11, 12, 13, 12.5}, {9, 10, 11, 12, 9});
  const Case cases[] = {
      // A higher high with an equal low starts long at the low and reverses
      // on the same bar.
      {"equal low", false, psar, highs_lows({10, 11}, {8, 8}), {kNone, 11.0}},
      {"equal low, offset", true, ext_offset, highs_lows({10, 11}, {8, 8}), {kNone, -12.1}},
      // A bigger drop than rise starts short at the previous high, and the
      // bar's own high reverses it at once.
      {"outside bar", false, psar, highs_lows({10, 11}, {8, 6}), {kNone, 6.0}},
      // New highs raise the factor by the step; a low under the stop flips.
      {"rise then break", false, psar, rise, {kNone, 9.0, 9.04, 9.1584, 13.0}},
      {"rise then break, signed", true, ext, rise, {kNone, 9.0, 9.04, 9.1584, -13.0}},
      {"fixed short start", true, {-100, 0, 0.02, 0.02, 0.2, 0.02, 0.02, 0.2},
       highs_lows({50, 60}, {40, 45}), {kNone, -100.0}},
      {"fixed short start hit", true, {-100, 0, 0.02, 0.02, 0.2, 0.03, 0.02, 0.2},
       highs_lows({50, 100}, {40, 45}), {kNone, 45.0}},
  };
  for (const Case& c : cases) {
    const auto& p = c.params;
    if (c.extended) {
      auto s = SarExt::create(p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]).value();
      expect_values(run(s, c.bars), c.want, c.name);
    } else {
      auto s = Psar::create(p[0], p[1], p[2]).value();
      expect_values(run(s, c.bars), c.want, c.name);
    }
  }
}

TEST(ParabolicSar, FactorSettlesAtItsCeiling) {
  // With start = max the factor never changes: each step closes a fixed
  // share of the gap to the extreme.
  auto s = Psar::create(0.5, 0.5, 0.5).value();
  step(s, hlc(10, 9, 9.5));
  EXPECT_EQ(*step(s, hlc(11, 10, 10.5)), 9.0);   // EP 11
  EXPECT_EQ(*step(s, hlc(11, 10.5, 11)), 10.0);  // 9 + 0.5 * 2, no new high
  EXPECT_EQ(*step(s, hlc(11, 10.8, 11)), 10.0);  // 10.5, capped by the low two bars back
}

// A digest of the bits Psar and SarExt give over many short random series of
// signed zeros and small integers, where every minimum and maximum of the
// stop meets ties.
inline std::uint64_t sar_zero_ties_digest(int trials) {
  std::uint64_t state = 7;
  auto next = [&state] {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  };
  const double prices[] = {-0.0, 0.0, -0.0, 0.0, 1.0, -1.0, 2.0};
  const std::vector<std::vector<double>> params = {
      {0.02, 0.02, 0.2}, {0.5, 0.5, 0.5}, {0, 0, 0.02, 0.02, 0.2, 0.02, 0.02, 0.2},
      {0, 0.1, 0.02, 0.02, 0.2, 0.02, 0.02, 0.2}, {-1, 0, 0.02, 0.02, 0.2, 0.02, 0.02, 0.2},
      {1, 0, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5}};
  std::uint64_t h = 14695981039346656037ULL;  // FNV-1a over every value's bytes
  auto mix = [&h](std::uint64_t word) {
    for (int b = 0; b < 8; ++b) h = (h ^ ((word >> (8 * b)) & 0xff)) * 1099511628211ULL;
  };
  for (int trial = 0; trial < trials; ++trial) {
    const std::vector<double>& p = params[static_cast<std::size_t>(trial) % params.size()];
    auto ind = std::move(build_indicator(p.size() == 3 ? "Psar" : "SarExt", p)).value();
    const int bars = 2 + static_cast<int>(next() % 12);
    for (int i = 0; i < bars; ++i) {
      const double a = prices[next() % 7], b = prices[next() % 7];
      const double lo = a < b ? a : b, hi = a < b ? b : a;
      const double high = hi == 0.0 && (next() & 1) ? -hi : hi;
      const double low = lo == 0.0 && (next() & 1) ? -lo : lo;
      const Candle c{0, a, high, low, b, 1.0};
      BarSnapshot snap;
      snap.candle = &c;
      const std::optional<double> v = ind->update(snap);
      mix(v ? std::bit_cast<std::uint64_t>(*v) : 0x6e6f6e65ULL);
    }
  }
  return h;
}

// The zeros that the released module gave wherever the stop's minimum and
// maximum met ties, pinned over 30,000 short series: a digest of its values.
TEST(ParabolicSar, TiedZerosAsReleased) {
  EXPECT_EQ(sar_zero_ties_digest(30000), 0xdc8c9a1f54b73f05ULL);
}

// Where +0.0 and -0.0 meet in the stop's min and max, the first operand
// stays, as in the released module; rules never see a zero's sign, but the
// values are the indicator's output.
TEST(ParabolicSar, EqualZerosKeepTheFirstOperand) {
  const auto bits = [](std::optional<double> v) {
    return v ? std::optional<std::uint64_t>(std::bit_cast<std::uint64_t>(*v)) : std::nullopt;
  };
  const auto flat = [](double p) { return Candle{0, p, p, p, p, 1.0}; };
  // Short at once (bar 1); bar 2 flips long at min(-0, -0, -0); on bar 3 the
  // stop +0 = -0 + 0.02 * 0 meets the lows -0 and flips short at
  // max(max(EP -0, H1 -0), H +0) = -0; bar 4 flips long at +0.
  const Values psar = key_values("Psar", {0.02, 0.02, 0.2},
                                 {flat(-0.0), flat(-0.0), flat(-0.0), flat(0.0), flat(0.0)});
  const Values want = {kNone, -0.0, -0.0, -0.0, 0.0};
  ASSERT_EQ(psar.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) EXPECT_EQ(bits(psar[i]), bits(want[i])) << "bar " << i;

  // A short trend whose extreme is a -0.0 low, the previous low +0.0, then a
  // bar far above the stop: the long stop is min(min(EP, L1), L) = -0.0, and
  // the signed output of a long is the stop itself.
  const std::vector<Candle> bars = {hlc(10, 5, 5), hlc(9, -0.0, -0.0), hlc(8, 0.0, 0.0),
                                    hlc(100, 98.75, 99)};
  const Values ext = key_values("SarExt", {0, 0, 0.02, 0.02, 0.2, 0.02, 0.02, 0.2}, bars);
  ASSERT_EQ(ext.size(), 4u);
  EXPECT_EQ(bits(ext[1]), bits(std::optional<double>(-10.0)));
  EXPECT_EQ(bits(ext[3]), bits(std::optional<double>(-0.0)));
}

}  // namespace
}  // namespace fendro::testing
