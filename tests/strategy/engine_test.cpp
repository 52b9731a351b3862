#include "fendro/strategy/engine.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fendro/util/paced_copy.hpp"
#include "module/counting_interrupt.hpp"
#include "strategy/json_text.hpp"

namespace fendro {
namespace {

// An indicator that replays a script: one optional value (and outputs) per bar.
class Scripted : public Indicator {
 public:
  struct Step {
    std::optional<double> value;
    std::vector<NamedOutput> outputs;
  };
  Scripted(std::vector<Step> steps, std::uint64_t warmup) : steps_(std::move(steps)), warmup_(warmup) {}
  std::optional<double> update(const BarSnapshot&) override {
    const Step& s = steps_.at(bar_++);
    if (s.value) last_ = s.outputs;
    return s.value;
  }
  std::span<const NamedOutput> outputs() const override { return last_; }
  std::uint64_t warmup_period() const override { return warmup_; }

 private:
  std::vector<Step> steps_;
  std::vector<NamedOutput> last_;
  std::size_t bar_ = 0;
  std::uint64_t warmup_;
};

// A strategy text: defaults everywhere but the rules and `extra` members.
StrategySpec strategy(std::string_view entry, std::string_view exit, std::string_view extra = "") {
  std::string text = R"({"symbol": "X", "timeframe": "1m", "indicators": {}, "sizing": {"type": "fixed_fraction",
    "fraction": 0.5}, "entry": )";
  text.append(entry).append(", \"exit\": ").append(exit);
  if (!extra.empty()) text.append(", ").append(extra);
  text.append("}");
  return testing::read_ok(read_strategy_spec, text);
}

// Flat candles at `price` (time = index), with overrides per bar.
struct Bars {
  std::vector<Candle> candles;
  Bars(std::size_t n, double price = 100.0) {
    for (std::size_t i = 0; i < n; ++i) {
      candles.push_back(Candle{static_cast<std::int64_t>(i), price, price, price, price, 1000});
    }
  }
  Bars& set(std::size_t i, double o, double h, double l, double c) {
    candles[i].open = o;
    candles[i].high = h;
    candles[i].low = l;
    candles[i].close = c;
    return *this;
  }
};

struct Backtest {
  StrategySpec spec;
  std::unique_ptr<BacktestEngine> engine;
  Status<StrategyError> status = Unit{};

  Backtest(StrategySpec s, const std::vector<Candle>& candles, std::vector<IndicatorSlot> slots = {},
      std::uint64_t warmup = 0)
      : spec(std::move(s)) {
    engine = std::make_unique<BacktestEngine>(spec, std::move(slots), warmup, window_capacity_for(spec),
                                              candles.size(), 10000.0);
    status = engine->run(candles);
  }
  // Trades closed by the loop.
  const std::vector<ClosedTrade>& trades() const { return engine->account().closed; }
  // Every trade, a position still open closed as "end"; consumes the engine.
  std::vector<ClosedTrade> finish() { return std::move(*engine).finish_report().trades; }
};

// Slots "a" and "a.b" replaying their scripts, in that order.
std::vector<IndicatorSlot> slots_a_ab(std::vector<Scripted::Step> a, std::vector<Scripted::Step> ab) {
  std::vector<IndicatorSlot> slots;
  slots.emplace_back("a", std::make_unique<Scripted>(std::move(a), 0));
  slots.emplace_back("a.b", std::make_unique<Scripted>(std::move(ab), 0));
  return slots;
}

constexpr const char* kNever = R"({"any": []})";
constexpr const char* kAlways = R"({"all": []})";

TEST(BarLoop, LatencyDelaysTheEntryAndAHeldExitIsQueuedAfreshEachBar) {
  const struct {
    std::uint32_t latency;
    std::int64_t entry_time, exit_time;
  } cases[] = {{2, 4, 16}, {0, 2, 11}};
  for (const auto& c : cases) {
    Bars bars(20);
    bars.set(1, 100, 101, 100, 101);                             // the only entry signal
    for (int i = 10; i <= 13; ++i) bars.set(i, 100, 100, 99, 99);  // exit holds on 10..13
    Backtest run(strategy(R"({"gt": [{"price": "close"}, 100.5]})", R"({"lt": [{"price": "close"}, 99.5]})",
                     R"("execution": {"latency_bars": )" + std::to_string(c.latency) + "}"),
            bars.candles);
    ASSERT_EQ(run.trades().size(), 1u);
    EXPECT_EQ(run.trades()[0].entry_time, c.entry_time) << c.latency;
    EXPECT_EQ(run.trades()[0].exit_time, c.exit_time) << c.latency;
    EXPECT_EQ(run.trades()[0].reason, "signal");
  }
}

TEST(BarLoop, TriggeredEntryPrices) {
  // The signal close is 100; bar 1 is the first bar the order is tried.
  const char* limit_below = R"({"order_type": "limit", "limit_offset_pct": -1})";
  const char* limit_above = R"({"order_type": "limit", "limit_offset_pct": 1})";
  const char* stop_above = R"({"order_type": "stop", "stop_offset_pct": 1})";
  const char* stop_below = R"({"order_type": "stop", "stop_offset_pct": -1})";
  const char* stop_limit = R"({"order_type": "stop_limit", "stop_offset_pct": 1, "limit_offset_pct": 2})";
  const char* stop_limit_short = R"({"order_type": "stop_limit", "stop_offset_pct": -1, "limit_offset_pct": -2})";
  const struct {
    const char* name;
    bool is_short;
    const char* execution;
    Candle first_try;
    std::optional<double> fill;
  } cases[] = {
      {"limit below the open", false, limit_below, {1, 98, 99, 97, 98}, 98},
      {"limit touched", false, limit_below, {1, 100, 100, 99, 99.5}, 99},
      {"limit missed", false, limit_below, {1, 100, 100, 99.5, 100}, {}},
      {"stop gapped through", false, stop_above, {1, 103, 104, 102, 103}, 103},
      {"stop touched", false, stop_above, {1, 100, 102, 99, 101}, 101},
      {"stop missed", false, stop_above, {1, 100, 100.5, 99, 100}, {}},
      {"stop limit at the stop", false, stop_limit, {1, 100, 105, 99, 100}, 101},
      {"stop limit capped", false, stop_limit, {1, 103, 104, 100, 103}, 102},
      {"stop limit above the limit", false, stop_limit, {1, 103, 104, 102.5, 103}, {}},
      {"stop limit, low at the limit", false, stop_limit, {1, 103, 104, 102, 103}, 102},
      {"short limit above the open", true, limit_above, {1, 102, 103, 101, 102}, 102},
      {"short limit touched", true, limit_above, {1, 100, 101.5, 99, 100}, 101},
      {"short stop gapped through", true, stop_below, {1, 98, 99, 97, 98}, 98},
      {"short stop limit capped", true, stop_limit_short, {1, 97, 100, 95, 97}, 98},
  };
  for (const auto& c : cases) {
    Bars bars(2);
    bars.candles[1] = c.first_try;
    const std::string extra = std::string(c.is_short ? R"("short_entry": {"all": []}, )" : "") + "\"execution\": " + c.execution;
    Backtest run(strategy(c.is_short ? kNever : kAlways, kNever, extra), bars.candles);
    const Account& account = run.engine->account();
    if (c.fill) {
      EXPECT_EQ(account.qty, (c.is_short ? -5000 : 5000) / *c.fill) << c.name;
      EXPECT_DOUBLE_EQ(account.entry_price, *c.fill) << c.name;
      EXPECT_EQ(account.entry_time, 1) << c.name;
      EXPECT_FALSE(run.engine->pending().has_value()) << c.name;
    } else {
      EXPECT_EQ(account.qty, 0) << c.name;
      ASSERT_TRUE(run.engine->pending().has_value()) << c.name;  // kept, never expires
      EXPECT_EQ(run.engine->pending()->bars_left, 0u);
    }
  }
}

TEST(BarLoop, ProtectiveExits) {
  const struct {
    const char* name;
    const char* risk;
    bool is_short;
    std::vector<Candle> after;  // bars after the entry bar (bar 1 fills at open 100)
    const char* reason;
    double price;
  } cases[] = {
      {"stop loss gapped", R"({"stop_loss_pct": 5})", false, {{2, 94, 96, 93, 95}}, "stop_loss", 94},
      {"stop loss touched", R"({"stop_loss_pct": 5})", false, {{2, 98, 99, 90, 95}}, "stop_loss", 95},
      // A long position of less than one unit is still long (the sizing rides on the risk text).
      {"stop loss of a fractional long", R"({"stop_loss_pct": 5}, "sizing": {"type": "fixed_qty", "qty": 0.5})",
       false, {{2, 98, 99, 90, 95}}, "stop_loss", 95},
      {"stop loss beats take profit", R"({"stop_loss_pct": 5, "take_profit_pct": 5})", false,
       {{2, 100, 106, 94, 100}}, "stop_loss", 95},
      {"take profit", R"({"take_profit_pct": 10})", false, {{2, 105, 112, 104, 111}}, "take_profit", 110},
      {"take profit gapped", R"({"take_profit_pct": 10})", false, {{2, 115, 116, 114, 115}}, "take_profit", 115},
      // Touching a level exactly is enough.
      {"take profit at the high", R"({"take_profit_pct": 25})", false, {{2, 110, 125, 104, 111}}, "take_profit", 125},
      {"stop loss at the low", R"({"stop_loss_pct": 25})", false, {{2, 98, 99, 75, 95}}, "stop_loss", 75},
      {"trailing stop", R"({"trailing_stop_pct": 10})", false,
       {{2, 115, 120, 110, 118}, {3, 112, 115, 107, 110}}, "trailing_stop", 108},
      {"short stop loss", R"({"stop_loss_pct": 5})", true, {{2, 104, 106, 103, 104}}, "stop_loss", 105},
      {"short take profit gapped", R"({"take_profit_pct": 10})", true, {{2, 85, 86, 84, 85}}, "take_profit", 85},
      {"short trailing stop", R"({"trailing_stop_pct": 10})", true,
       {{2, 85, 87, 80, 82}, {3, 86, 89, 85, 88}}, "trailing_stop", 88},
      {"short liquidation", R"({"liquidation": true})", true, {{2, 200, 310, 200, 300}}, "liquidation", 300},
  };
  for (const auto& c : cases) {
    std::vector<Candle> candles{{0, 100, 100, 100, 100, 1000}, {1, 100, 100, 100, 100, 1000}};
    for (Candle k : c.after) {
      k.volume = 1000;
      candles.push_back(k);
    }
    const std::string extra = std::string(c.is_short ? R"("short_entry": {"all": []}, )" : "") + "\"risk\": " + c.risk;
    // Bar 0 queues the entry, bar 1 fills it at its open of 100.
    Backtest run(strategy(c.is_short ? kNever : R"({"not": {"in_position": true}})", kNever, extra), candles);
    ASSERT_EQ(run.trades().size(), 1u) << c.name;
    const ClosedTrade& t = run.trades()[0];
    EXPECT_EQ(t.entry_price, 100) << c.name;
    EXPECT_EQ(t.reason, c.reason) << c.name;
    EXPECT_DOUBLE_EQ(t.exit_price, c.price) << c.name;
    EXPECT_EQ(t.exit_time, static_cast<std::int64_t>(candles.size()) - 1) << c.name;
  }
}

TEST(BarLoop, ValueMapKeys) {
  const auto outs = [](double b) { return std::vector<NamedOutput>{{"b", b}}; };
  // A rule that reads two bars back keeps three records.
  Backtest run(strategy(R"({"gt": [{"prev": ["a.b", 2]}, "a"]})", kNever), Bars(3).candles,
               slots_a_ab({{1.0, outs(10)}, {std::nullopt, {}}, {3.0, outs(30)}},
                          {{std::nullopt, {}}, {std::nullopt, {}}, {7.0, {}}}));
  const RuleWindow& w = run.engine->window();
  const auto ab = *run.engine->rules().find_key("a.b");
  const auto a = *run.engine->rules().find_key("a");
  ASSERT_EQ(w.size(), 3u);
  EXPECT_EQ(w.record(0).values[ab], 10.0);  // output of "a" on bar 0
  EXPECT_FALSE(w.record(1).values[ab].has_value());  // no value from either on bar 1
  EXPECT_FALSE(w.record(1).values[a].has_value());
  EXPECT_EQ(w.record(2).values[ab], 7.0);  // the later id overwrote the output
  EXPECT_TRUE(run.engine->pending().has_value());  // prev(a.b, 2) = 10 > a = 3 on bar 2
}

TEST(BarLoop, OutputKeysOfIdsHoldingPoints) {
  // "a.b.c" is both the output "b.c" of "a" and the output "c" of "a.b": every
  // point of a rule key splits off an id whose outputs must be stored, and the
  // later id's value wins. "a.b.d" is an output of "a.b" only.
  Backtest run(strategy(R"({"gt": [{"prev": ["a.b.c", 1]}, "a.b.d"]})", kNever), Bars(2).candles,
               slots_a_ab({{1.0, {{"b.c", 10}}}, {2.0, {{"b.c", 20}}}},
                          {{std::nullopt, {}}, {5.0, {{"c", 50}, {"d", 60}}}}));
  const RuleWindow& w = run.engine->window();
  const auto abc = *run.engine->rules().find_key("a.b.c");
  const auto abd = *run.engine->rules().find_key("a.b.d");
  ASSERT_EQ(w.size(), 2u);
  EXPECT_EQ(w.record(0).values[abc], 10.0);  // "a" alone gave a value
  EXPECT_FALSE(w.record(0).values[abd].has_value());
  EXPECT_EQ(w.record(1).values[abc], 50.0);  // overwritten by the later id
  EXPECT_EQ(w.record(1).values[abd], 60.0);
  const IndicatorSlot& a = run.engine->slots()[0];
  EXPECT_TRUE(a.outputs_read);
  EXPECT_FALSE(a.id_key.has_value());
}

TEST(BarLoop, StaleExitBlocksEntriesUntilItsTurn) {
  // Bar 0 queues the entry (latency 2), bar 3 fills it at 100. Bar 4's close
  // queues the exit; bar 5's stop loss closes the position first. The exit
  // stays pending through bar 6, is tried (harmlessly) at bar 7, and only then
  // is the next entry queued, to fill at bar 10.
  Bars bars(11);
  bars.set(4, 100, 100, 98, 98.5);
  bars.set(5, 96, 96, 94, 95);
  Backtest run(strategy(R"({"not": {"in_position": true}})", R"({"lt": [{"price": "close"}, 99]})",
                   R"("risk": {"stop_loss_pct": 5}, "execution": {"latency_bars": 2})"),
          bars.candles);
  const auto trades = run.finish();
  ASSERT_EQ(trades.size(), 2u);
  EXPECT_EQ(trades[0].entry_time, 3);
  EXPECT_EQ(trades[0].reason, "stop_loss");
  EXPECT_EQ(trades[0].exit_time, 5);
  EXPECT_EQ(trades[0].exit_price, 95);
  EXPECT_EQ(trades[1].entry_time, 10);
  EXPECT_EQ(trades[1].reason, "end");
}

// The report takes a copy of a long symbol in stretches, asking between
// them: each of those asks stopped ends the report as stopped, and the copy
// never stopped is the symbol.
TEST(FinishReport, LongSymbolCopiedAskingBetweenStretches) {
  StrategySpec spec = strategy(kAlways, kNever);
  spec.symbol = std::string(3 * kCopyStretchBytes + 1, 'S');
  const Bars bars(10);
  const auto finished = [&](fendro::testing::CountingInterrupt& check) {
    Backtest run(spec, bars.candles);
    EXPECT_TRUE(run.status.ok());
    return std::move(*run.engine).finish_report(check.interrupt());
  };
  fendro::testing::CountingInterrupt never;
  const auto report = finished(never);
  ASSERT_TRUE(report.ok());
  EXPECT_EQ(report->symbol, spec.symbol);
  EXPECT_GE(never.asked, 3u);
  for (std::size_t k = 1; k <= 3; ++k) {
    fendro::testing::CountingInterrupt stop{.stop_at = k};
    EXPECT_FALSE(finished(stop).ok()) << k;
    EXPECT_EQ(stop.asked, k);
  }
}

}  // namespace
}  // namespace fendro
