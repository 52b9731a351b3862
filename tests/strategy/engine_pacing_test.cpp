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

// `n` entries "i0".."i{n-1}" of a plain average and a rule reading, for
// one in `every`, its value, and for the one after a named output.
struct ManySlots {
  ManySlots(std::size_t n, std::size_t every) {
    StrategyText s;
    std::string ids;
    std::string reads;
    for (std::size_t k = 0; k < n; ++k) {
      const std::string id = "i" + std::to_string(k);
      ids += (k ? ",\"" : "\"") + id + R"(": {"type": "Sma", "params": [2]})";
      if (k % every == 0) reads += (k ? "," : "") + (R"({"gt": [")" + id + R"(", 1e308]})");
      if (every > 1 && k % every == 1) reads += R"(, {"gt": [")" + id + R"(.x", 1e308]})";
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
  const ManySlots many(20'000, 100);
  const auto built = [&] {
    BacktestEngine engine(many.spec, many.slots(), 0, 2, 10, 10000.0);
    if (RunScope::current()->stopped()) return false;
    std::size_t outputs_read = 0;
    std::size_t values_read = 0;
    for (const IndicatorSlot& slot : engine.slots()) {
      outputs_read += slot.outputs_read;
      values_read += slot.id_key.has_value();
    }
    return outputs_read == 200 && values_read == 200;
  };
  // The rules are short: the asks are those of the slots, 120 or so for
  // resolving their keys and as many for laying out their values.
  expect_asks_all_through(built, 200, "20000 indicators resolved");
}

// Many keys of a few indicators: each key looked at asks on top of what
// compiling the rules asks.
TEST(EnginePacing, ResolvingManyKeysAsks) {
  StrategyText s;
  s.indicators = R"({"a": {"type": "Sma", "params": [2]}, "b": {"type": "Sma", "params": [3]}})";
  std::string reads;
  for (int k = 0; k < 20'000; ++k) {
    reads.append(k ? "," : "").append(R"({"gt": ["a.k)").append(std::to_string(k)).append(R"(", 1]})");
  }
  s.entry = R"({"any": [)" + reads + "]}";
  const StrategySpec spec = testing::read_ok(read_strategy_spec, s.text());
  const auto slots = [&] {
    std::vector<IndicatorSlot> out;
    out.emplace_back("a", std::move(build_indicator("Sma", std::vector<double>{2})).value());
    out.emplace_back("b", std::move(build_indicator("Sma", std::vector<double>{3})).value());
    return out;
  };
  const std::size_t compiling = run_in_scope([&] {
                                  const StrategyRules rules(spec);
                                  return true;
                                }).asked;
  const auto built = [&] {
    const BacktestEngine engine(spec, slots(), 0, 2, 10, 10000.0);
    return !RunScope::current()->stopped() && engine.slots()[0].outputs_read && !engine.slots()[1].outputs_read;
  };
  // Each key and the dot in it, 200 steps: some 240 asks.
  expect_asks_all_through(built, compiling + 180, "20000 keys of one indicator resolved");
}

TEST(EnginePacing, FreeingWhatTheRunBuiltAsks) {
  // Each one's value read: 20000 keys.
  const ManySlots many(20'000, 1);
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
  // The keys alone, 400 steps each: some 490 asks.
  expect_asks_all_through(freed, building + 300, "freeing 20000 indicators and their keys");
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
    for (int k = 0; k < 3; ++k) candles.push_back(Candle{k, 100.0 + k % 5, 106, 99, 100.0 + k % 3, 10});
  }

  // The asks of a prove with a check that says stop at its `stop_at`-th
  // ask, and whether it ended stopped.
  struct Proved {
    std::size_t asked = 0;
    bool stopped = false;
    std::string report_symbol;
    std::string failure;  // the text of a failure other than a stop
  };
  Proved prove(std::size_t stop_at = 0) const {
    testing::CountingInterrupt check{.stop_at = stop_at};
    const auto run = fendro::prove(spec_, data_, check.interrupt());
    Proved out;
    out.asked = check.asked;
    out.stopped = !run.ok() && run.error().kind == ProofError::Kind::Stopped;
    if (run.ok()) out.report_symbol = run->report.symbol;
    if (!run.ok() && !out.stopped) out.failure = run.error().display();
    return out;
  }

 private:
  std::string text_;
  json::Document doc_;
  ProofSpec spec_;
  MarketData data_;
};

// A reference of 16 MB to a named output of a declared BollingerBands, or
// to an indicator of a 16 MB id, is read, checked, interned, resolved and
// freed in stretches: far more asks than the same length of text the
// strategy merely carries, and a stop at any of them ends the prove there.
TEST(EnginePacing, ALongReferenceAsksAllThroughAProve) {
  const std::string name(8 * kCopyStretchBytes, 'x');
  const std::string longer(12 * kCopyStretchBytes, 'x');
  struct Row {
    const char* what;
    StrategyText referenced;
    StrategyText carried;
    std::size_t more;  // asks at the least on top of the carried text's
  };
  std::vector<Row> rows(2);
  rows[0].what = "a long output name";
  rows[0].referenced.indicators = R"({"bb": {"type": "BollingerBands", "params": [20, 2]}})";
  rows[0].referenced.entry = R"({"gt": ["bb.)" + name + R"(", 1]})";
  rows[0].referenced.exit = R"({"lt": [{"price": "close"}, 1]})";
  rows[0].carried = rows[0].referenced;
  rows[0].carried.entry = R"({"gt": ["bb", 1]})";
  rows[0].carried.extra = R"(, "note": "bb.)" + name + "\"";
  // Read and interned, 8 stretches each: 19 asks with three candles (whose
  // walk asks once or twice more or less as it goes slower or faster).
  rows[0].more = 15;
  rows[1].what = "a long id";
  rows[1].referenced.indicators = R"({")" + longer + R"(": {"type": "Sma", "params": [3]}})";
  rows[1].referenced.entry = R"({"gt": [")" + longer + R"(", 1]})";
  rows[1].referenced.exit = R"({"lt": [{"price": "close"}, 1]})";
  rows[1].carried = rows[1].referenced;
  rows[1].carried.indicators = R"({"a": {"type": "Sma", "params": [3]}})";
  rows[1].carried.entry = R"({"gt": ["a", 1]})";
  rows[1].carried.extra = R"(, "note": ")" + longer + longer + "\"";
  // The id read, and the reference; the reference checked against the id;
  // the id copied to its slot; the reference interned; the slot's key
  // found: 12 stretches each, 77 asks with three candles.
  rows[1].more = 72;
  rows.push_back(rows[1]);
  rows[2].what = "a long id read by its outputs";
  rows[2].referenced.indicators = R"({")" + longer + R"(": {"type": "BollingerBands", "params": [2, 2]}})";
  rows[2].referenced.entry = R"({"gt": [")" + longer + R"(.upper", 1]})";
  rows[2].carried.indicators = R"({"a": {"type": "BollingerBands", "params": [2, 2]}})";
  rows[2].carried.entry = R"({"gt": ["a.upper", 1]})";
  // As above, and the key of each of three named outputs put together and
  // found on the first bar with a value, 25 asks each: 141 asks.
  rows[2].more = 120;
  for (const Row& row : rows) {
    const ProveInput input(row.referenced.text());
    const auto never = input.prove();
    ASSERT_FALSE(never.stopped) << row.what;
    EXPECT_EQ(never.failure, "") << row.what;
    EXPECT_EQ(never.report_symbol, "X") << row.what;
    // The walk's asks come with time, a few more or fewer from one run to the next.
    const std::size_t carried = ProveInput(row.carried.text()).prove().asked;
    EXPECT_GE(never.asked, carried + row.more) << row.what;
    std::size_t stops = 0;
    const std::size_t step = never.asked / 6 + 1;
    for (std::size_t k = 1; k <= never.asked; k += step) {
      const auto stop = input.prove(k);
      if (!stop.stopped && stop.asked < k) continue;  // this run ended before ask k
      ++stops;
      EXPECT_EQ(stop.failure, "") << row.what << " " << k;
      EXPECT_TRUE(stop.stopped) << row.what << " " << k;
      EXPECT_EQ(stop.asked, k) << row.what;
    }
    EXPECT_GE(stops, 4u) << row.what;
  }
}

// A long undeclared reference is a fault of the strategy, quoted whole; a
// stop said while it is checked and quoted, or at any other ask, ends the
// prove as stopped, never as that fault.
TEST(EnginePacing, AStopWhileALongFaultIsToldEndsTheProveStopped) {
  const std::string name(4 * kCopyStretchBytes, 'u');
  StrategyText s;
  s.entry = R"({"gt": [")" + name + R"(", 1]})";
  const ProveInput input(s.text());
  const auto never = input.prove();
  EXPECT_EQ(never.failure, "backtest: rule references undeclared indicator: " + name);
  ASSERT_GE(never.asked, 5u);
  for (std::size_t k = 1; k <= never.asked; ++k) {
    const auto stop = input.prove(k);
    EXPECT_TRUE(stop.stopped) << k;
    EXPECT_EQ(stop.failure, "") << k;
    EXPECT_EQ(stop.asked, k);
  }
}

}  // namespace
}  // namespace fendro
