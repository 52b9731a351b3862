// The rule the sweep checks, on the types that follow it: each window is read
// with its own length (a short window of zeros beside a longer one that still
// holds a move), and a window of -0.0 entries holds only zeros.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "indicators/testing.hpp"
#include "reference/zero_window_runs.hpp"

namespace fendro::reference {
namespace {

// Each pressure equals its range to the bit (every close at its true high),
// so the two sums of a window are the same bits and a window that still holds
// a move reads exactly 1. Adding and taking away these three moves leaves a
// residue of -3.6e-12 in the sums of the length-2 windows.
std::vector<Candle> closes_at_their_highs_then_a_halt() {
  std::vector<Candle> cs = {Candle{0, 7.52, 7.52, 7.52, 7.52, 1.0}};
  for (const double close : {7522.26, 7597.48, 28110.68}) {
    const double open = cs.back().close;
    cs.push_back(Candle{0, open, close, open, close, 1.0});
  }
  cs.insert(cs.end(), 6, Candle{0, 28110.68, 28110.68, 28110.68, 28110.68, 0.0});
  return cs;
}

TEST(ZeroWindowRule, EachWindowOfUnequalLengthsIsReadWithItsOwn) {
  const testing::Values got = testing::key_values("UltimateOscillator", {2, 2, 4}, closes_at_their_highs_then_a_halt());
  // Halt bar 1 (bar 4): every window holds a move. Halt bars 2 and 3: both
  // length-2 windows hold only zeros (0.5 each), the length-4 window still
  // holds a move (1): (4 * 0.5 + 2 * 0.5 + 1) / 7. Read with the longest
  // length, the short windows would give their residues' ratio, 1, and the
  // value 100. From halt bar 4 every window holds only zeros.
  const double all_held = 100.0;
  const double some_held = ((4.0 * 0.5 + (0.5 + 0.5)) + 1.0) * 100.0 / 7.0;
  const double none_held = ((4.0 * 0.5 + (0.5 + 0.5)) + 0.5) * 100.0 / 7.0;
  const testing::Values want = {testing::kNone, testing::kNone, testing::kNone, testing::kNone, all_held,
                                some_held,      some_held,      none_held,      none_held,      none_held};
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) EXPECT_TRUE(testing::same_value(got[i], want[i])) << "bar " << i;
}

std::string parting_at(const std::optional<Parting>& p) {
  if (!p) return "";
  const auto show = [](std::optional<double> v) { return v ? ::testing::PrintToString(*v) : std::string("none"); };
  return "bar " + std::to_string(p->bar) + ": " + show(p->h) + " against " + show(p->f);
}

// The quiet stretch after a history, its volume +0.0 or -0.0.
std::vector<testing::Bar> quiet_with_volume(const testing::Bar& last, double volume) {
  std::vector<testing::Bar> bars = stretch_after(last, StretchKind::kQuietMoves, 40, 9);
  for (testing::Bar& b : bars) b.candle.volume = volume;
  return bars;
}

TEST(ZeroWindowRule, AWindowOfNegativeZerosHoldsOnlyZeros) {
  const std::vector<NamedHistory> histories = residue_histories();
  struct Case {
    const char* key;
    std::vector<double> params;
  };
  const Case cases[] = {{"ChaikinMoneyFlow", {5}}, {"Mfi", {5}}};
  for (const Case& c : cases) {
    for (const NamedHistory& h : histories) {
      SCOPED_TRACE(std::string(c.key) + " after " + h.name);
      const std::span<const testing::Bar> past(h.bars.end() - 200, h.bars.end());
      const auto build = [&] { return std::move(build_indicator(c.key, c.params)).value(); };
      const Trace negative = trace_over(*build(), past, quiet_with_volume(past.back(), -0.0));
      const Trace positive = trace_over(*build(), past, quiet_with_volume(past.back(), 0.0));
      const Trace fresh = trace_over(*build(), {}, quiet_with_volume(past.back(), 0.0));
      // From the bar whose window holds stretch bars only.
      const std::size_t from = c.params[0];
      EXPECT_EQ(parting_at(first_parting(negative, positive, from, Closeness{})), "");
      EXPECT_EQ(parting_at(first_parting(negative, fresh, from, Closeness{})), "");
    }
  }
}

}  // namespace
}  // namespace fendro::reference
