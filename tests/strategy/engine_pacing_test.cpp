// The engine's own passes over what a strategy declares ask the command's
// interrupt through the thread's scope as they go: resolving the keys of
// many indicators, a volatility estimate over a long lookback, freeing
// what the run built; and a prove over a long reference asks in stretches
// all through it, where the same length of text the strategy merely
// carries asks no more than its hash does.
#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "fendro/proof/proof.hpp"
#include "fendro/registry/registry.hpp"
#include "fendro/strategy/account.hpp"
#include "fendro/strategy/engine.hpp"
#include "fendro/util/paced_copy.hpp"
#include "module/counting_interrupt.hpp"
#include "strategy/json_text.hpp"
#include "strategy/long_rules.hpp"
#include "strategy/scope_asks.hpp"

namespace fendro {
namespace {

using testing::expect_asks_all_through;
using testing::run_in_scope;
using testing::StrategyText;

// `n` entries "i0".."i{n-1}" of a plain average and a rule reading each
// one's value and, for every tenth, a named output: every key is resolved.
struct ManySlots {
  explicit ManySlots(std::size_t n) {
    StrategyText s;
    std::string ids;
    std::string reads;
    for (std::size_t k = 0; k < n; ++k) {
      const std::string id = "i" + std::to_string(k);
      ids += (k ? ",\"" : "\"") + id + R"(": {"type": "Sma", "params": [2]})";
      reads += (k ? "," : "") + (R"({"gt": [")" + id + (k % 10 == 0 ? ".x" : "") + R"(", 1e308]})");
    }
    s.indicators = "{" + ids + "}";
    s.entry = R"({"any": [)" + reads + "]}";
    spec = testing::read_ok(read_strategy_spec, s.text());
  }
  std::vector<IndicatorSlot> slots() const {
    std::vector<IndicatorSlot> out;
    for (const auto& [id, ind] : spec.indicators) out.emplace_back(id, std::move(build_indicator(ind.type, ind.params)).value());
    return out;
  }
  StrategySpec spec;
};

TEST(EnginePacing, ResolvingTheKeysOfManyIndicatorsAsks) {
  const ManySlots many(20'000);
  const auto built = [&] {
    BacktestEngine engine(many.spec, many.slots(), 0, 2, 10, 10000.0);
    if (RunScope::current()->stopped()) return false;
    // Every tenth is read by a named output, the others by their values.
    std::size_t outputs_read = 0;
    std::size_t values_read = 0;
    for (const IndicatorSlot& slot : engine.slots()) {
      outputs_read += slot.outputs_read;
      values_read += slot.id_key.has_value();
    }
    return outputs_read == 2'000 && values_read == 18'000;
  };
  expect_asks_all_through(built, 100, "20000 indicators resolved");
}

TEST(EnginePacing, FreeingWhatTheRunBuiltAsks) {
  const ManySlots many(20'000);
  const std::vector<Candle> candles(3, Candle{0, 100, 101, 99, 100, 10});
  const auto freed = [&] {
    // Built, run and freed: a stop while it is built ends it unrun.
    auto engine = std::make_unique<BacktestEngine>(many.spec, many.slots(), 0, 2, candles.size(), 10000.0);
    if (RunScope::current()->stopped() || !engine->run(candles).ok()) return false;
    return engine->release_paced(Interrupt{});
  };
  const std::size_t building = run_in_scope([&] {
                                 BacktestEngine engine(many.spec, many.slots(), 0, 2, candles.size(), 10000.0);
                                 return true;
                               }).asked;
  expect_asks_all_through(freed, building + 20, "freeing 20000 indicators and their keys");
}

// A volatility over a long lookback is worked out in two passes that ask as
// they go: the same estimate, and none once told to stop.
TEST(EnginePacing, ALongVolatilityAsks) {
  constexpr std::uint32_t kLookback = 1 << 19;
  RuleWindow window(kLookback, 0);
  for (std::uint32_t k = 0; k < kLookback; ++k) {
    const double close = 100.0 + (k % 7) - (k % 3);
    window.push(Candle{k, close, close, close, close, 1});
  }
  const std::optional<double> plain = volatility_estimate(window, kLookback);
  ASSERT_TRUE(plain.has_value());
  expect_asks_all_through([&] { return volatility_estimate(window, kLookback) == plain; }, 10,
                          "a volatility over 2^19 closes");
}

// A prove command over `strategy` and a few candles.
class ProveInput {
 public:
  explicit ProveInput(const std::string& strategy)
      : text_(R"({"dataset_ref": "d", "strategy": )" + strategy + "}"), doc_(testing::parse_json(text_)) {
    auto spec = read_proof_spec(doc_.root);
    EXPECT_TRUE(spec.ok());
    if (spec.ok()) spec_ = std::move(spec).value();
    std::vector<Candle>& candles = data_["X"];
    for (int k = 0; k < 40; ++k) candles.push_back(Candle{k, 100.0 + k % 5, 106, 99, 100.0 + k % 3, 10});
  }

  // The asks of a prove with a check that says stop at its `stop_at`-th
  // ask, and whether it ended stopped.
  struct Proved {
    std::size_t asked = 0;
    bool stopped = false;
    std::string report_symbol;
  };
  Proved prove(std::size_t stop_at = 0) const {
    testing::CountingInterrupt check{.stop_at = stop_at};
    const auto run = fendro::prove(spec_, data_, check.interrupt());
    Proved out;
    out.asked = check.asked;
    out.stopped = !run.ok() && run.error().kind == ProofError::Kind::Stopped;
    EXPECT_TRUE(run.ok() || out.stopped);
    if (run.ok()) out.report_symbol = run->report.symbol;
    return out;
  }

 private:
  std::string text_;
  json::Document doc_;
  ProofSpec spec_;
  MarketData data_;
};

// A reference of 16 MB to a named output of a declared BollingerBands is
// read, interned, resolved and freed in stretches.
TEST(EnginePacing, ALongReferenceAsksAllThroughAProve) {
  const std::string name(8 * kCopyStretchBytes, 'x');
  StrategyText referenced;
  referenced.indicators = R"({"bb": {"type": "BollingerBands", "params": [20, 2]}})";
  referenced.entry = R"({"gt": ["bb.)" + name + R"(", 1]})";
  referenced.exit = R"({"lt": [{"price": "close"}, 1]})";
  StrategyText carried = referenced;
  carried.entry = R"({"gt": ["bb", 1]})";
  carried.extra = R"(, "note": "bb.)" + name + "\"";
  const ProveInput input(referenced.text());
  const auto never = input.prove();
  ASSERT_FALSE(never.stopped);
  EXPECT_EQ(never.report_symbol, "X");
  // Read and interned, 8 stretches each; the walk's asks come with time,
  // a few more or fewer from one run to the next.
  EXPECT_GE(never.asked, ProveInput(carried.text()).prove().asked + 12);
  std::size_t stops = 0;
  const std::size_t step = never.asked / 12 + 1;
  for (std::size_t k = 1; k <= never.asked; k += step) {
    const auto stop = input.prove(k);
    if (!stop.stopped && stop.asked < k) continue;  // this run ended before ask k
    ++stops;
    EXPECT_TRUE(stop.stopped) << k;
    EXPECT_EQ(stop.asked, k);
  }
  EXPECT_GE(stops, 10u);
}

}  // namespace
}  // namespace fendro
