#include "fendro/strategy/account.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace fendro {
namespace {

constexpr double kNone = -12345.0;  // "no trade" in the tables below

double sized(const Sizing& s, const Risk& r, std::optional<double> vol, double equity, double price) {
  auto q = size_position(s, r, vol, equity, price);
  EXPECT_TRUE(q.ok());
  return q.ok() && q->has_value() ? **q : kNone;
}

Sizing fraction(double f) { return Sizing{Sizing::FixedFraction{f}}; }
Sizing fixed_qty(double q) { return Sizing{Sizing::FixedQty{q}}; }

TEST(SizePosition, Table) {
  Risk plain;
  Risk capped;
  capped.max_leverage = 3.0;
  capped.max_position_pct = 50.0;
  Risk stop2;
  stop2.stop_loss_pct = 2.0;
  Risk stop0;
  stop0.stop_loss_pct = 0.0;
  Risk no_leverage;
  no_leverage.max_leverage = 0.0;
  const struct {
    const char* name;
    Sizing sizing;
    Risk risk;
    std::optional<double> vol;
    double equity, price, expected;
  } cases[] = {
      {"fixed qty capped at equity", fixed_qty(1000), plain, {}, 10000, 100, 100},
      {"leverage and position caps", fixed_qty(1000), capped, {}, 10000, 100, 50},
      {"fixed fraction", fraction(0.5), plain, {}, 10000, 100, 50},
      {"fixed cash", Sizing{Sizing::FixedCash{500}}, plain, {}, 10000, 100, 5},
      {"risk per trade", Sizing{Sizing::RiskPerTrade{1}}, stop2, {}, 10000, 100, 50},
      {"risk per trade, stop 0", Sizing{Sizing::RiskPerTrade{1}}, stop0, {}, 10000, 100, kNone},
      {"vol target, no estimate", Sizing{Sizing::VolTarget{0.02, 20}}, plain, {}, 10000, 100, kNone},
      {"vol target under cap", Sizing{Sizing::VolTarget{0.002, 20}}, plain, 0.01, 10000, 100, 20},
      {"vol target capped", Sizing{Sizing::VolTarget{0.02, 20}}, plain, 0.01, 10000, 100, 100},
      {"equity zero", fraction(0.5), plain, {}, 0, 100, kNone},
      {"price negative", fraction(0.5), plain, {}, 10000, -1, kNone},
      {"negative raw quantity", fixed_qty(-5), plain, {}, 10000, 100, kNone},
      {"zero fraction", fraction(0), plain, {}, 10000, 100, kNone},
      {"zero leverage sizes to zero", fixed_qty(5), no_leverage, {}, 10000, 100, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(sized(c.sizing, c.risk, c.vol, c.equity, c.price), c.expected) << c.name;
}

TEST(VolatilityEstimate, Table) {
  const struct {
    std::vector<double> closes;
    std::uint32_t lookback;
    double expected;  // kNone: no estimate
  } cases[] = {
      {{100, 110, 99}, 3, 0.1},
      {{50, 100, 110, 99}, 3, 0.1},     // only the last three closes
      {{100, 101}, 2, kNone},           // one return: variance 0
      {{100, 100, 100, 100}, 4, kNone}, // constant closes
      {{100, 110, 99}, 1, kNone},       // lookback below 2
      {{100, 110}, 3, kNone},           // fewer records than the lookback
      {{0, 100, 110}, 3, kNone},        // the pair from a zero close is skipped
      {{100, 0, 50}, 3, kNone},         // one usable return left
  };
  for (const auto& c : cases) {
    RuleWindow window(c.closes.size(), 0);
    for (double close : c.closes) window.push(Candle{0, close, close, close, close, 1});
    const auto vol = volatility_estimate(window, c.lookback);
    if (c.expected == kNone) {
      EXPECT_FALSE(vol.has_value()) << c.lookback;
    } else {
      ASSERT_TRUE(vol.has_value());
      EXPECT_DOUBLE_EQ(*vol, c.expected);
    }
  }
}

// A fill context over one candle, with a strategy the test tunes.
struct Fixture {
  StrategySpec spec;
  Candle candle{1000, 100, 100, 100, 100, 1000};
  RuleWindow window{8, 0};
  Account account;
  std::optional<std::uint64_t> entry_bar;
  double trail_ref = 0.0;

  Fixture() {
    account.cash = 10000.0;
    spec.sizing = fraction(0.5);
  }
  FillContext ctx() const {
    return FillContext{&spec, &candle, &window, nullptr, spec.costs.maker_bps / 10000.0,
                       spec.costs.taker_bps / 10000.0, 7};
  }
  void enter(Side side, double price, bool maker = false) {
    ASSERT_TRUE(entry_fill(side, maker, ctx(), account, entry_bar, trail_ref, price).ok());
  }
  void exit(double price) { exit_fill("signal", ctx(), account, entry_bar, price); }
};

TEST(Fills, FixedBpsSlippageBothSides) {
  const struct {
    Side side;
    double entry_fill, exit_fill;
  } cases[] = {{Side::Long, 100.2, 109.78}, {Side::Short, 99.8, 110.22}};
  for (const auto& c : cases) {
    Fixture f;
    f.spec.costs.slippage.model = Slippage::FixedBps{20};
    f.enter(c.side, 100);
    EXPECT_DOUBLE_EQ(f.account.entry_price, c.entry_fill);
    f.exit(110);
    ASSERT_EQ(f.account.closed.size(), 1u);
    EXPECT_DOUBLE_EQ(f.account.closed[0].exit_price, c.exit_fill);
    EXPECT_FALSE(f.entry_bar.has_value());
  }
}

TEST(Fills, VolumeImpactSlippage) {
  const struct {
    double volume, fill;
  } cases[] = {{1000, 101}, {0, 100}, {-5, 100}};
  for (const auto& c : cases) {
    Fixture f;
    f.spec.sizing = fixed_qty(10);
    f.spec.costs.slippage.model = Slippage::VolumeImpact{1};
    f.candle.volume = c.volume;
    f.enter(Side::Long, 100);  // preliminary size 10: s = 10 / volume
    EXPECT_DOUBLE_EQ(f.account.entry_price, c.fill) << c.volume;
    EXPECT_DOUBLE_EQ(f.account.qty, 10);
  }
}

TEST(Fills, ParticipationCap) {
  const struct {
    std::optional<double> max_participation;
    double volume, qty;
  } cases[] = {{0.1, 200, 20}, {0.1, 10000, 50}, {0.0, 200, 0}, {std::nullopt, 200, 0}};
  for (const auto& c : cases) {
    Fixture f;
    f.spec.execution.partial_fills = true;
    f.spec.execution.max_participation = c.max_participation;
    f.candle.volume = c.volume;
    f.enter(Side::Long, 100);
    EXPECT_EQ(f.account.qty, c.qty);
    EXPECT_EQ(f.account.cash, 10000 - 100 * c.qty);
  }
}

TEST(Fills, RoundTripPnlIncludesBothFees) {
  const struct {
    Side side;
    bool maker;
    double taker_bps, exit, qty, cash_open, pnl, return_pct, cash, fees;
  } cases[] = {
      {Side::Short, false, 0, 90, -50, 15000, 500, 10, 10500, 0},
      // 50 units, entry fee 5, exit fee 0.001 * (50 * 120) = 6
      {Side::Long, false, 10, 120, 50, 4995, 989, 19.78, 10989, 11},
      // A maker entry pays 2 bps (1); the exit pays the taker's 6.
      {Side::Long, true, 10, 120, 50, 4999, 993, 19.86, 10993, 7},
  };
  for (const auto& c : cases) {
    Fixture f;
    f.spec.costs.taker_bps = c.taker_bps;
    f.spec.costs.maker_bps = 2;
    f.enter(c.side, 100, c.maker);
    EXPECT_EQ(f.account.qty, c.qty);
    EXPECT_DOUBLE_EQ(f.account.cash, c.cash_open);
    EXPECT_EQ(f.entry_bar, 7u);
    EXPECT_EQ(f.trail_ref, 100);
    f.exit(c.exit);
    const ClosedTrade& t = f.account.closed.at(0);
    EXPECT_EQ(t.qty, c.qty);
    EXPECT_DOUBLE_EQ(t.pnl, c.pnl);
    EXPECT_DOUBLE_EQ(t.return_pct, c.return_pct);
    EXPECT_EQ(t.reason, "signal");
    EXPECT_EQ(t.entry_time, 1000);
    EXPECT_DOUBLE_EQ(f.account.cash, c.cash);
    EXPECT_DOUBLE_EQ(f.account.fees_paid, c.fees);
    EXPECT_EQ(f.account.qty, 0);
    EXPECT_EQ(f.account.entry_fees, 0);
    // The opening's price and time stay until the next opening.
    EXPECT_EQ(f.account.entry_price, 100);
    EXPECT_EQ(f.account.entry_time, 1000);
  }
}

TEST(Fills, VolTargetSizesFromTheWindowElseNoTrade) {
  const struct {
    const char* name;
    Sizing sizing;
    std::vector<double> closes;
    double qty;
  } cases[] = {
      // vol 0.1: ((0.001 * 10000) / 0.1) / 100 = 1 unit
      {"vol target on a varying window", Sizing{Sizing::VolTarget{0.001, 3}}, {100, 110, 99}, 1},
      {"vol target, lookback 1", Sizing{Sizing::VolTarget{0.1, 1}}, {100, 101, 102, 103, 104, 105, 106, 107}, 0},
      {"vol target, too few bars", Sizing{Sizing::VolTarget{0.1, 5}}, {100, 101, 102}, 0},
      {"zero fraction", fraction(0), {100, 101, 102, 103, 104, 105, 106, 107}, 0},
  };
  for (const auto& c : cases) {
    Fixture f;
    f.spec.sizing = c.sizing;
    for (double close : c.closes) f.window.push(Candle{0, 1, 1, 1, close, 1});
    f.enter(Side::Long, 100);
    EXPECT_DOUBLE_EQ(f.account.qty, c.qty) << c.name;
    EXPECT_DOUBLE_EQ(f.account.cash, 10000 - 100 * c.qty) << c.name;
    EXPECT_EQ(f.entry_bar.has_value(), c.qty != 0) << c.name;
  }
}

TEST(Fills, SizingErrorLeavesTheAccountUnchanged) {
  Fixture f;
  f.spec.sizing = Sizing{Sizing::RiskPerTrade{1}};
  auto r = entry_fill(Side::Long, false, f.ctx(), f.account, f.entry_bar, f.trail_ref, 100);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().display(), "invalid strategy spec: risk_per_trade sizing requires risk.stop_loss_pct");
  EXPECT_EQ(f.account.cash, 10000);
  EXPECT_EQ(f.account.qty, 0);
}

TEST(ClosePosition, TinyNotionalGivesZeroReturn) {
  Account a;
  a.qty = 1e-10;
  a.entry_price = 1e-10;
  close_position(a, 5, "end", 2e-10, 0);
  ASSERT_EQ(a.closed.size(), 1u);
  EXPECT_EQ(a.closed[0].return_pct, 0);
  EXPECT_EQ(a.closed[0].exit_time, 5);
  EXPECT_EQ(a.qty, 0);
}

}  // namespace
}  // namespace fendro
