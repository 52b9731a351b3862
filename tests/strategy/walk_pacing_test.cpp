// A walk whose pacing is due asks after each indicator's work, and a stop
// said there ends the walk within the bar: the indicators after it are not
// stepped. A pacing that is never due, or that never stops, changes nothing.
#include "fendro/strategy/walk_pacing.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fendro/strategy/engine.hpp"
#include "module/counting_interrupt.hpp"
#include "strategy/json_text.hpp"

namespace fendro {
namespace {

using testing::CountingInterrupt;

// Counts its updates; its value and its one named output are the bar's close.
class Counted final : public Indicator {
 public:
  explicit Counted(std::size_t& updates) : updates_(updates) {}
  std::optional<double> update(const BarSnapshot& bar) override {
    ++updates_;
    out_[0].value = bar.candle->close;
    return bar.candle->close;
  }
  std::span<const NamedOutput> outputs() const override { return out_; }
  std::uint64_t warmup_period() const override { return 0; }

 private:
  std::size_t& updates_;
  NamedOutput out_[1] = {{"x", 0.0}};
};

constexpr std::int64_t kNever = std::int64_t{1} << 60;

struct Walk {
  std::vector<std::size_t> updates;
  std::size_t asks = 0;
  bool stopped = false;
  Status<StrategyError> status = Unit{};
};

// Five indicators "a".."e" over `bars` flat candles; the rules read the
// named output of each when `outputs_read` (stepping them bar by bar), else
// their values (stepping them a stretch at a time).
Walk walk(bool outputs_read, std::size_t bars, std::int64_t due_ns, bool each_bar, std::size_t stop_at) {
  const std::string ref = outputs_read ? ".x" : "";
  std::string all;
  for (const char id : std::string("abcde")) {
    all += std::string(all.empty() ? "" : ",") + R"({"gt": [")" + id + ref + R"(", 0]})";
  }
  const StrategySpec spec = testing::read_ok(
      read_strategy_spec, R"({"symbol": "X", "timeframe": "1m", "indicators": {}, "entry": {"all": [)" + all +
                              R"(]}, "exit": {"lt": [{"price": "close"}, 0]}, "sizing": {"type": "fixed_fraction",
                              "fraction": 0.5}})");
  Walk w;
  w.updates.assign(5, 0);
  std::vector<IndicatorSlot> slots;
  for (std::size_t k = 0; k < 5; ++k) {
    slots.emplace_back(std::string(1, static_cast<char>('a' + k)), std::make_unique<Counted>(w.updates[k]));
  }
  std::vector<Candle> candles(bars, Candle{0, 100, 100, 100, 100, 1});
  for (std::size_t i = 0; i < bars; ++i) candles[i].time = static_cast<std::int64_t>(i);
  BacktestEngine engine(spec, std::move(slots), 0, window_capacity_for(spec), bars, 10000.0);
  CountingInterrupt check{.stop_at = stop_at};
  RunScope scope(check.interrupt());
  WalkPacing pacing(scope, due_ns, due_ns, each_bar);
  w.status = engine.run(candles, 0, &pacing);
  w.asks = check.asked;
  w.stopped = scope.stopped();
  return w;
}

TEST(WalkPacing, DueAsksAfterEachIndicatorAndAStopEndsTheBarThere) {
  struct Row {
    const char* what;
    bool outputs_read;
    bool each_bar;
    std::size_t bars;
    std::size_t asks;  // never stopped
  };
  const Row rows[] = {
      // A stretch at a time: one ask per indicator per 128 bars.
      {"stretched", false, false, 300, 15},
      {"stretched, each bar", false, true, 3, 5},
      // Bar by bar: asked after each update only in a stretch of long bars.
      {"bar by bar", true, false, 3, 0},
      {"bar by bar, each bar", true, true, 3, 15},
  };
  for (const Row& row : rows) {
    const Walk never = walk(row.outputs_read, row.bars, 0, row.each_bar, 0);
    ASSERT_TRUE(never.status.ok()) << row.what;
    EXPECT_EQ(never.asks, row.asks) << row.what;
    EXPECT_EQ(never.updates, std::vector<std::size_t>(5, row.bars)) << row.what;
    if (row.asks == 0) continue;
    // Stopped after the second indicator's first update: the other three
    // are never stepped, and nothing is asked again.
    const Walk stopped = walk(row.outputs_read, row.bars, 0, row.each_bar, 2);
    EXPECT_TRUE(stopped.stopped) << row.what;
    EXPECT_EQ(stopped.asks, 2u) << row.what;
    const std::size_t first = row.outputs_read ? 1 : std::min<std::size_t>(row.bars, 128);
    EXPECT_EQ(stopped.updates, (std::vector<std::size_t>{first, first, 0, 0, 0})) << row.what;
  }
}

TEST(WalkPacing, NotYetDueAsksNothing) {
  for (const bool outputs_read : {false, true}) {
    const Walk w = walk(outputs_read, 300, kNever, true, 1);
    EXPECT_TRUE(w.status.ok());
    EXPECT_EQ(w.asks, 0u);
    EXPECT_FALSE(w.stopped);
    EXPECT_EQ(w.updates, std::vector<std::size_t>(5, 300));
  }
}

}  // namespace
}  // namespace fendro
