// The generator's check of `inf` ends, given planted claims: a claim that
// does not hold is named with the value and the refusal, one that holds
// (alone, or by raising the parameters a rule ties it to) passes, and a type
// that would fill a table as large as the value, or loop over it, fails
// within its child's bounds instead of taking the machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "bounded_child.hpp"
#include "fendro/registry/key_table.hpp"
#include "reference/unbounded_ends.hpp"

namespace fendro::reference {
namespace {

constexpr Kind I = Kind::Integer;
constexpr Kind N = Kind::Number;
constexpr const char* kWindowReason =
    "invalid period: period exceeds the maximum supported window length (see MAX_PERIOD)";

registry::Entry row_of(std::string_view key) {
  return registry::key_rows()[*registry::key_slot(key)];
}

std::vector<std::string> faults_of(const registry::Entry& row, const char* planted, std::size_t i,
                                   const std::vector<Kind>& kinds, ChildLimits limits = kBuildLimits) {
  const ParsedParams parsed = parse_params(planted);
  EXPECT_EQ(parsed.error, "");
  return unbounded_end_faults(row, i, parsed.params, kinds, limits);
}

struct Planted {
  const char* key;
  const char* params;  // the claim, as an EntryDoc writes it
  std::size_t i;       // the parameter whose ends are tried
  std::vector<Kind> kinds;
  std::vector<std::string> faults;
};

TEST(UnboundedEnds, EachPlantedClaimGivesItsFaults) {
  const std::string lag = "`max_lag` = ";
  const std::vector<Planted> cases = {
      {"Sma", "period [1, inf)", 0, {I},
       {"`period` = 16777217 is refused: " + std::string(kWindowReason),
        "`period` = 2147483648 is refused: " + std::string(kWindowReason)}},
      {"LeadLagCrossCorrelation", "window [2, MAX]; max_lag [1, inf)", 1, {I, I},
       {lag + "16777217 is refused: " + kWindowReason, lag + "2147483648 is refused: " + kWindowReason}},
      // A rule between parameters that no value of `slow` can meet.
      {"Ppo", "fast [1, inf) {below `slow`}; slow [1, MAX] {above `fast`}", 0, {I, I},
       {"`fast` = 16777217 is refused: invalid period: PPO fast period must be < slow period",
        "`fast` = 2147483648 is refused: invalid period: PPO fast period must be < slow period"}},
      // Met by raising `slow` (and `period`, unbounded too) with `fast`.
      {"Kama", "period [1, inf); fast [1, inf) {below `slow`}; slow [1, inf) {above `fast`}", 1, {I, I, I}, {}},
      // Without its note, k_inner alone cannot pass k_outer's customary 2.
      {"DoubleBollinger", "period [1, MAX]; k_inner (0, inf); k_outer (0, inf) {above `k_inner`}", 1, {I, N, N},
       {"`k_inner` = 16777217 is refused: invalid period: double bollinger requires k_outer > k_inner",
        "`k_inner` = 1.0000000000000001e+300 is refused: invalid period: double bollinger requires k_outer > "
        "k_inner"}},
      {"DoubleBollinger",
       "period [1, MAX]; k_inner (0, inf) {below `k_outer`}; k_outer (0, inf) {above `k_inner`}", 1, {I, N, N}, {}},
      // Both ends unbounded, and both hold.
      {"SarExt",
       "start_value (-inf, inf); offset_on_reverse [0, inf); af_init_long (0, inf); af_step_long (0, inf); "
       "af_max_long (0, inf); af_init_short (0, inf); af_step_short (0, inf); af_max_short (0, inf)",
       0, {N, N, N, N, N, N, N, N}, {}},
      // A -inf end planted on a parameter that refuses negatives.
      {"KalmanHedgeRatio", "delta (0, 1); observation_var (-inf, inf)", 1, {N, N},
       {"`observation_var` = -16777217 is refused: invalid parameter: kalman hedge ratio needs observation_var > 0",
        "`observation_var` = -1.0000000000000001e+300 is refused: invalid parameter: kalman hedge ratio needs "
        "observation_var > 0"}},
      // Bounded ends are check_interval's: nothing to try here.
      {"Sma", "period [1, MAX]", 0, {I}, {}},
  };
  for (const Planted& c : cases) {
    SCOPED_TRACE(std::string(c.key) + ": " + c.params);
    EXPECT_EQ(faults_of(row_of(c.key), c.params, c.i, c.kinds), c.faults);
  }
}

// Types that cost as much as the value when built: a table of one double
// per unit (at most 1 GiB of them), or a loop that never ends past the
// longest window.
BuildResult eager_table(const registry::Params& p) {
  const auto n = p.usize(0);
  if (!n) return err(n.error());
  std::vector<double> table(std::min<std::uint64_t>(*n, std::uint64_t{1} << 27), 1.0);
  const std::array<double, 1> period{table.back() + 1.0};
  return build_indicator("Sma", period);
}

BuildResult endless_loop(const registry::Params& p) {
  const auto n = p.usize(0);
  if (!n) return err(n.error());
  volatile std::uint64_t spins = 0;
  while (*n > 16777216) spins = spins + 1;
  return build_indicator("Sma", std::array{2.0});
}

TEST(UnboundedEnds, AnEagerTableFailsUnderTheAddressSpaceBound) {
  if (!testing::kAddressSpaceCanBeBounded) GTEST_SKIP() << "no address space bound under the sanitizer";
  const registry::Entry row{"EagerTable", Feed::Kline, eager_table, {2}, {}};
  const std::string refused = " is refused: not enough memory for the indicator's state";
  EXPECT_EQ(faults_of(row, "period [1, inf)", 0, {I}, {std::size_t{64} << 20, 30}),
            (std::vector<std::string>{"`period` = 16777217" + refused, "`period` = 2147483648" + refused}));
}

TEST(UnboundedEnds, AnEndlessBuildIsEndedByTheCpuBound) {
  const registry::Entry row{"EndlessLoop", Feed::Kline, endless_loop, {2}, {}};
  EXPECT_EQ(faults_of(row, "period [1, inf)", 0, {I}, {std::size_t{64} << 20, 1}),
            (std::vector<std::string>{"`period` = 16777217 takes more than 1 s of CPU to build",
                                      "`period` = 2147483648 takes more than 1 s of CPU to build"}));
}

}  // namespace
}  // namespace fendro::reference
