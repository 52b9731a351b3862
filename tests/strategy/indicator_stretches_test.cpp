// The bar loop steps most indicators a stretch of bars at a time, ahead of
// the rules. Every run must end exactly as one that steps each indicator bar
// by bar through `update` and walks the bars one call at a time: same status,
// and a report equal bit for bit (trades, equity curve, metrics, fees).
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "fendro/registry/registry.hpp"
#include "fendro/strategy/engine.hpp"
#include "strategy/json_text.hpp"

namespace fendro {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Forwards every call to `inner` but keeps the default `update_candles`, so
// the stretch is stepped through `update`, one candle at a time.
class BarByBar final : public Indicator {
 public:
  explicit BarByBar(IndicatorPtr inner) : inner_(std::move(inner)) {}
  std::optional<double> update(const BarSnapshot& bar) override { return inner_->update(bar); }
  std::span<const NamedOutput> outputs() const override { return inner_->outputs(); }
  std::uint64_t warmup_period() const override { return inner_->warmup_period(); }

 private:
  IndicatorPtr inner_;
};

// Refuses every bar whose index is 3 modulo 7 (leaving `inner` untouched),
// and from bar 1500 to 1519: an indicator that fails mid-run, again and again.
class Refusing final : public Indicator {
 public:
  explicit Refusing(IndicatorPtr inner) : inner_(std::move(inner)) {}
  std::optional<double> update(const BarSnapshot& bar) override {
    const std::size_t i = bar_++;
    if (i % 7 == 3 || (i >= 1500 && i < 1520)) return std::nullopt;
    return inner_->update(bar);
  }
  std::uint64_t warmup_period() const override { return inner_->warmup_period(); }

 private:
  IndicatorPtr inner_;
  std::size_t bar_ = 0;
};

// A random walk with wide bars (so that stops, limits and liquidations
// trigger), fixed by `seed`; `gaps` puts non-finite closes on a few bars.
std::vector<Candle> walk(std::size_t n, std::uint64_t seed, bool gaps) {
  std::vector<Candle> out;
  double price = 100.0;
  std::uint64_t s = seed;
  const auto next = [&s] {
    s = s * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(s >> 11) / 9007199254740992.0;  // [0, 1)
  };
  for (std::size_t i = 0; i < n; ++i) {
    const double open = price;
    price *= 1.0 + (next() - 0.5) * 0.04;
    const double high = std::max(open, price) * (1.0 + next() * 0.01);
    const double low = std::min(open, price) * (1.0 - next() * 0.01);
    out.push_back(Candle{static_cast<std::int64_t>(i) * 60, open, high, low, price, 500.0 + next() * 1000.0});
  }
  if (gaps) {
    for (std::size_t i : {300u, 301u, 1200u}) out[i].close = kNaN;
    out[1800].close = std::numeric_limits<double>::infinity();
  }
  return out;
}

enum class Path { Stretches, BarByBar };

// The strategy's declared indicators (and "gappy", an Sma(8) refusing bars
// now and then), wrapped for the bar-by-bar path.
std::vector<IndicatorSlot> slots_for(const StrategySpec& spec, Path path) {
  std::vector<IndicatorSlot> slots;
  for (const auto& [id, ind] : spec.indicators) {
    IndicatorPtr built = std::move(build_indicator(ind.type, ind.params)).value();
    if (path == Path::BarByBar) built = std::make_unique<BarByBar>(std::move(built));
    slots.emplace_back(id, std::move(built));
  }
  const double eight[] = {8};
  IndicatorPtr gappy = std::make_unique<Refusing>(std::move(build_indicator("Sma", eight)).value());
  if (path == Path::BarByBar) gappy = std::make_unique<BarByBar>(std::move(gappy));
  slots.emplace_back("gappy", std::move(gappy));
  return slots;
}

struct Outcome {
  std::optional<StrategyError> error;
  std::optional<Report> report;
};

// One run: the whole list in one call, in the uneven pieces `pieces` (sizes,
// repeated), or one call per bar.
Outcome run(const StrategySpec& spec, const std::vector<Candle>& candles, Path path,
            const std::vector<std::size_t>& pieces) {
  std::uint64_t warmup = 0;
  std::vector<IndicatorSlot> slots = slots_for(spec, path);
  for (const IndicatorSlot& slot : slots) warmup = std::max(warmup, slot.indicator->warmup_period());
  BacktestEngine engine(spec, std::move(slots), warmup, window_capacity_for(spec), candles.size(), 10000.0);
  Outcome out;
  std::size_t k = 0;
  for (std::size_t first = 0; first < candles.size(); ++k) {
    const std::size_t size = path == Path::BarByBar ? 1 : pieces.empty() ? candles.size() : pieces[k % pieces.size()];
    const std::size_t n = std::min(size, candles.size() - first);
    auto ran = engine.run(std::span<const Candle>(candles).subspan(first, n), first);
    if (!ran) {
      out.error = ran.error();
      return out;
    }
    first += n;
  }
  out.report = std::move(engine).finish_report();
  return out;
}

std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }

void expect_same(const Outcome& got, const Outcome& want, const std::string& what) {
  ASSERT_EQ(got.error.has_value(), want.error.has_value()) << what;
  if (want.error) {
    EXPECT_EQ(got.error->display(), want.error->display()) << what;
    return;
  }
  const Report& a = *got.report;
  const Report& b = *want.report;
  ASSERT_EQ(a.equity.size(), b.equity.size()) << what;
  for (std::size_t i = 0; i < a.equity.size(); ++i) {
    ASSERT_EQ(a.equity[i].time, b.equity[i].time) << what << " bar " << i;
    ASSERT_EQ(bits(a.equity[i].equity), bits(b.equity[i].equity)) << what << " bar " << i;
  }
  ASSERT_EQ(a.trades.size(), b.trades.size()) << what;
  for (std::size_t i = 0; i < a.trades.size(); ++i) {
    const ClosedTrade& x = a.trades[i];
    const ClosedTrade& y = b.trades[i];
    EXPECT_EQ(x.reason, y.reason) << what << " trade " << i;
    EXPECT_EQ(x.entry_time, y.entry_time) << what << " trade " << i;
    EXPECT_EQ(x.exit_time, y.exit_time) << what << " trade " << i;
    for (const auto& [p, q] : {std::pair{x.entry_price, y.entry_price}, {x.exit_price, y.exit_price}, {x.qty, y.qty},
                               {x.pnl, y.pnl}, {x.return_pct, y.return_pct}}) {
      EXPECT_EQ(bits(p), bits(q)) << what << " trade " << i;
    }
  }
  const Metrics& m = a.metrics;
  const Metrics& n = b.metrics;
  for (const auto& [p, q] : {std::pair{m.pnl, n.pnl}, {m.return_pct, n.return_pct}, {m.sharpe, n.sharpe},
                             {m.sortino, n.sortino}, {m.calmar, n.calmar}, {m.max_drawdown, n.max_drawdown},
                             {m.win_rate, n.win_rate}, {m.profit_factor, n.profit_factor},
                             {a.fees_paid, b.fees_paid}}) {
    EXPECT_EQ(bits(p), bits(q)) << what;
  }
  EXPECT_EQ(m.num_trades, n.num_trades) << what;
}

// Each rule kind, operand kind, order type, fill timing, protective exit and
// sizing appears in at least one strategy; "bb" and "macd" have their named
// outputs read (stepped bar by bar in both paths) next to indicators stepped
// a stretch at a time.
const char* const kStrategies[] = {
    R"("indicators": {"fast": {"type": "Sma", "params": [10]}, "slow": {"type": "Sma", "params": [30]}},
       "entry": {"cross_above": ["fast", "slow"]}, "exit": {"cross_below": ["fast", "slow"]},
       "sizing": {"type": "fixed_fraction", "fraction": 0.5},
       "costs": {"taker_bps": 5, "slippage": {"type": "fixed_bps", "bps": 2}}, "risk": {"stop_loss_pct": 2})",
    R"("indicators": {"fast": {"type": "Sma", "params": [5]}, "slow": {"type": "Ema", "params": [21]}},
       "entry": {"cross_above": [{"prev": ["fast", 1]}, "gappy"]},
       "exit": {"any": [{"cross_below": ["fast", {"mul": ["slow", 1.001]}]}, {"bars_since_entry": {"ge": 12}}]},
       "short_entry": {"all": [{"lt": [{"price": "close"}, "slow"]}, {"falling": ["gappy", 2]}]},
       "short_exit": {"gt": [{"price": "hlc3"}, "gappy"]},
       "sizing": {"type": "fixed_cash", "cash": 4000}, "costs": {"maker_bps": 2, "taker_bps": 6},
       "risk": {"take_profit_pct": 3, "trailing_stop_pct": 2},
       "execution": {"order_type": "limit", "limit_offset_pct": 0.5, "latency_bars": 1})",
    R"("indicators": {"bb": {"type": "BollingerBands", "params": [20, 2]}, "mid": {"type": "Sma", "params": [20]}},
       "entry": {"all": [{"lt": [{"price": "close"}, "bb.lower"]}, {"not": {"in_position": true}}]},
       "exit": {"ge": [{"price": "ohlc4"}, {"add": ["mid", {"sub": ["bb.middle", "mid"]}]}]},
       "sizing": {"type": "vol_target", "target_vol": 0.01, "lookback": 10},
       "costs": {"taker_bps": 4, "slippage": {"type": "volume_impact", "coef": 0.5}},
       "risk": {"max_leverage": 2}, "execution": {"fill_timing": "close"})",
    R"("indicators": {"macd": {"type": "MacdIndicator", "params": [12, 26, 9]}, "a": {"type": "Sma", "params": [3]},
       "b": {"type": "Ema", "params": [7]}},
       "entry": {"any": [{"between": ["a", {"div": ["b", 1.01]}, {"mul": ["b", 1.01]}]},
                         {"rising": ["macd.histogram", 3]}]},
       "exit": {"any": [{"le": ["a", "gappy"]}, {"eq": ["macd.signal", 0]}, {"ne": ["a", "a"]}]},
       "short_entry": {"gt": ["gappy", {"prev": ["gappy", 4]}]},
       "short_exit": {"not": {"lt": ["a", "b"]}},
       "sizing": {"type": "risk_per_trade", "risk_pct": 1}, "costs": {"taker_bps": 3},
       "risk": {"stop_loss_pct": 1.5, "liquidation": true, "max_leverage": 3},
       "execution": {"order_type": "stop", "stop_offset_pct": 0.2, "latency_bars": 2})",
    R"("indicators": {"s": {"type": "Sma", "params": [2]}, "l": {"type": "Sma", "params": [300]}},
       "entry": {"cross_above": ["s", "l"]}, "exit": {"cross_below": ["s", "gappy"]},
       "short_entry": {"cross_below": ["s", "l"]}, "short_exit": {"cross_above": ["s", "gappy"]},
       "sizing": {"type": "fixed_qty", "qty": 30}, "costs": {"taker_bps": 1, "maker_bps": 1},
       "risk": {"stop_loss_pct": 4, "take_profit_pct": 6},
       "execution": {"order_type": "stop_limit", "stop_offset_pct": 0.1, "limit_offset_pct": 0.6})",
};

StrategySpec strategy(const char* body) {
  const std::string text = std::string(R"({"symbol": "X", "timeframe": "1m", )") + body + "}";
  return testing::read_ok(read_strategy_spec, text);
}

TEST(IndicatorStretches, RunsEndAsWhenEveryIndicatorIsSteppedBarByBar) {
  // Uneven pieces, as an interrupt's stretches cut the bars: across and
  // inside the loop's own stretches.
  const std::vector<std::vector<std::size_t>> pieces = {{}, {1, 127, 128, 129, 2, 300}, {5, 1, 1000}};
  for (bool gaps : {false, true}) {
    const std::vector<Candle> candles = walk(3000, gaps ? 7 : 11, gaps);
    for (std::size_t s = 0; s < std::size(kStrategies); ++s) {
      const StrategySpec spec = strategy(kStrategies[s]);
      const Outcome want = run(spec, candles, Path::BarByBar, {});
      if (!gaps) {
        ASSERT_TRUE(want.report) << "strategy " << s << ": " << want.error->display();
        EXPECT_GT(want.report->trades.size(), 5u) << "strategy " << s << " hardly trades";
      }
      for (std::size_t p = 0; p < pieces.size(); ++p) {
        expect_same(run(spec, candles, Path::Stretches, pieces[p]), want,
                    "strategy " + std::to_string(s) + ", pieces " + std::to_string(p) + (gaps ? ", gaps" : ""));
      }
    }
  }
}

// The types' own loops over a stretch (Sma, Ema) and the default one (Rsi)
// against `update` one bar at a time, over stretches that start while the
// window fills or the average seeds, non-finite closes, and runs long
// enough for Sma's exact re-summation (every 16 periods) to happen.
TEST(IndicatorStretches, StretchesMatchUpdateByUpdate) {
  for (const char* type : {"Sma", "Ema", "Rsi"}) {
    for (const double period : {1.0, 2.0, 5.0, 30.0}) {
      SCOPED_TRACE(type);
      std::vector<Candle> candles = walk(1200, 3, false);
      for (std::size_t i : {0u, 3u, 4u, 40u, 41u, 600u}) {
        candles[i].close = i % 2 ? kNaN : -std::numeric_limits<double>::infinity();
      }
      candles[700].close = -0.0;
      const double params[] = {period};
      IndicatorPtr stretched = std::move(build_indicator(type, params)).value();
      IndicatorPtr single = std::move(build_indicator(type, params)).value();
      std::vector<std::optional<double>> got(candles.size());
      std::size_t first = 0;
      for (std::size_t size = 1; first < candles.size(); size = size % 97 + 13) {
        const std::size_t n = std::min(size, candles.size() - first);
        stretched->update_candles(std::span<const Candle>(candles).subspan(first, n), got.data() + first);
        first += n;
      }
      BarSnapshot snap;
      for (std::size_t i = 0; i < candles.size(); ++i) {
        snap.candle = &candles[i];
        const std::optional<double> want = single->update(snap);
        ASSERT_EQ(got[i].has_value(), want.has_value()) << "period " << period << " bar " << i;
        if (want) {
          ASSERT_EQ(bits(*got[i]), bits(*want)) << "period " << period << " bar " << i;
        }
      }
    }
  }
}

// A strategy of thousands of indicators is stepped over shorter stretches
// (their values for a whole stretch would not fit the engine's budget): it
// ends as when every indicator is stepped bar by bar, the rules reading the
// first and the last declared.
TEST(IndicatorStretches, ThousandsOfIndicatorsEndAsBarByBar) {
  std::string inds;
  for (int k = 0; k < 3000; ++k) {
    inds.append(k ? "," : "").append("\"i").append(std::to_string(1000 + k));
    inds.append(R"(": {"type": "Sma", "params": [)");
    inds.append(std::to_string(2 + k % 40)).append("]}");
  }
  const StrategySpec spec = strategy(
      (R"("indicators": {)" + inds + R"(}, "entry": {"cross_above": ["i1000", "i3999"]},
       "exit": {"cross_below": ["i1000", "gappy"]}, "sizing": {"type": "fixed_fraction", "fraction": 0.5})")
          .c_str());
  const std::vector<Candle> candles = walk(2000, 5, true);
  const Outcome want = run(spec, candles, Path::BarByBar, {});
  for (const std::vector<std::size_t>& pieces : {std::vector<std::size_t>{}, {1, 250, 7}}) {
    expect_same(run(spec, candles, Path::Stretches, pieces), want, "pieces " + std::to_string(pieces.size()));
  }
}

}  // namespace
}  // namespace fendro
