#include "fendro/strategy/report.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fendro/proof/canonical.hpp"

namespace fendro {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

std::vector<EquityPoint> curve(const std::vector<double>& values) {
  std::vector<EquityPoint> out;
  for (std::size_t k = 0; k < values.size(); ++k) out.push_back({static_cast<std::int64_t>(k), values[k]});
  return out;
}

std::vector<ClosedTrade> trades_with_pnl(const std::vector<double>& pnls) {
  std::vector<ClosedTrade> out;
  for (double p : pnls) out.push_back(ClosedTrade{"signal", 0, 1, 100, 100, 1, p, 0});
  return out;
}

// The metrics as the report writes them (8-decimal canonical numbers, null
// for non-finite), so expectations read like the report.
std::string text(double x) {
  if (!std::isfinite(x)) return "null";
  std::string s;
  append_canonical_float(s, x);
  return s;
}

TEST(Metrics, EquityCurveTable) {
  const struct {
    const char* name;
    std::vector<double> equity;
    const char *pnl, *return_pct, *sharpe, *sortino, *max_drawdown, *calmar;
  } cases[] = {
      {"no points", {}, "0", "0", "0", "0", "0", "0"},
      {"single point", {10500}, "500", "5", "0", "0", "0", "null"},
      {"flat", {10000, 10000, 10000}, "0", "0", "0", "0", "0", "0"},
      {"drawdown", {10000, 11000, 9900}, "-100", "-1", "0", "0", "10", "-0.1"},
      {"rising, positive return", {10000, 10100, 10200}, "200", "2", "201", "0", "0", "null"},
      {"falling from the start", {10000, 9000}, "-1000", "-10", "0", "-1", "10", "-1"},
      {"money path", {10000, 10495, 10995, 10989}, "989", "9.89", "1.38989908", "102.1980574", "0.05457026",
       "181.23425"},
      // A zero equity gives a zero step return; a non-positive peak no drawdown.
      {"through zero", {0, -100, 10000}, "0", "0", "-1", "-0.70710678", "0", "0"},
  };
  for (const auto& c : cases) {
    const Metrics m = compute_metrics(curve(c.equity), {}, 10000);
    EXPECT_EQ(text(m.pnl), c.pnl) << c.name;
    EXPECT_EQ(text(m.return_pct), c.return_pct) << c.name;
    EXPECT_EQ(text(m.sharpe), c.sharpe) << c.name;
    EXPECT_EQ(text(m.sortino), c.sortino) << c.name;
    EXPECT_EQ(text(m.max_drawdown), c.max_drawdown) << c.name;
    EXPECT_EQ(text(m.calmar), c.calmar) << c.name;
  }
}

TEST(Metrics, NaNReturnCountsAsZeroDownside) {
  // inf / inf gives a NaN step return: the mean (hence sharpe) is NaN, while
  // the downside deviation ignores it.
  const Metrics m = compute_metrics(curve({10000, kInf, kInf}), {}, 10000);
  EXPECT_TRUE(std::isnan(m.sharpe));
  EXPECT_EQ(m.sortino, 0);
}

TEST(Metrics, TradeTable) {
  const struct {
    const char* name;
    std::vector<double> pnls;
    const char *win_rate, *profit_factor;
  } cases[] = {
      {"no trades", {}, "0", "0"},
      {"winners only", {5, 7}, "100", "null"},
      {"losers only", {-5}, "0", "0"},
      {"mixed", {30, -10, 0}, "33.33333333", "3"},
      {"break-even only", {0}, "0", "0"},
  };
  for (const auto& c : cases) {
    const auto trades = trades_with_pnl(c.pnls);
    const Metrics m = compute_metrics({}, trades, 10000);
    EXPECT_EQ(text(m.win_rate), c.win_rate) << c.name;
    EXPECT_EQ(text(m.profit_factor), c.profit_factor) << c.name;
    EXPECT_EQ(m.num_trades, c.pnls.size()) << c.name;
  }
}

}  // namespace
}  // namespace fendro
