#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fendro/util/run_scope.hpp"
#include "fendro/strategy/spec.hpp"
#include "fendro/util/free_later.hpp"
#include "fendro/util/paced_copy.hpp"
#include "module/counting_interrupt.hpp"
#include "strategy/json_text.hpp"

namespace fendro {
namespace {

using testing::read_failure;
using testing::read_ok;

auto spec = [](const json::Value& v) { return read_strategy_spec(v); };

// Everything required, nothing else; `extra` is spliced in front of it.
std::string minimal(const std::string& extra = "") {
  return "{" + extra +
         R"("symbol": "BTC", "timeframe": "1h", "indicators": {}, "entry": {"all": []},
            "exit": {"any": []}, "sizing": {"type": "fixed_qty", "qty": 1}})";
}

// The indicators member set to `indicators`.
std::string with_indicators(const std::string& indicators) {
  return R"({"symbol": "BTC", "timeframe": "1h", "entry": {"all": []}, "exit": {"any": []},
            "sizing": {"type": "fixed_qty", "qty": 1}, "indicators": )" +
         indicators + "}";
}

// The first `n` required members in declaration order, then `extra`.
std::string leading(std::size_t n, const std::string& extra = "") {
  static const char* const kRequired[] = {R"("symbol": "BTC")", R"("timeframe": "1h")", R"("indicators": {})",
                                          R"("entry": {"all": []})", R"("exit": {"all": []})"};
  std::string out = "{";
  for (std::size_t k = 0; k < n; ++k) out.append(k ? ", " : "").append(kRequired[k]);
  return out + extra + "}";
}

struct Case {
  std::string json;
  std::string message;
};

constexpr const char* kFeeds =
    "expected one of `kline`, `trade`, `orderbook`, `trade_quote`, `derivatives`, `cross_section`";

TEST(ReadStrategySpec, ReportsTheFirstFault) {
  const Case cases[] = {
      // absent required fields, in declaration order
      {"{}", "missing field `symbol`"},
      {R"({"timeframe": "1h", "indicators": {}, "entry": {"all": []}, "exit": {"all": []}})",
       "missing field `symbol`"},
      {leading(1), "missing field `timeframe`"},
      {leading(2), "missing field `indicators`"},
      {leading(3), "missing field `entry`"},
      {leading(4), "missing field `exit`"},
      {leading(5), "missing field `sizing`"},
      // a present member's fault beats an absent field
      {leading(5, R"(, "costs": 5)"), "invalid type: integer `5`, expected struct Costs"},
      // members in key order: "costs" before "entry" before "exit" before "indicators"
      {R"({"indicators": 1, "costs": null})", "invalid type: null, expected struct Costs"},
      {R"({"exit": 5, "entry": "x", "symbol": 1})",
       "unknown variant `x`, expected one of `gt`, `lt`, `ge`, `le`, `eq`, `ne`, `cross_above`, "
       "`cross_below`, `between`, `rising`, `falling`, `all`, `any`, `not`, `in_position`, "
       "`bars_since_entry`"},
      // field readers
      {minimal(R"("spec_version": null, )"), "invalid type: null, expected u32"},
      {R"({"symbol": 5})", "invalid type: integer `5`, expected a string"},
      {leading(1, R"(, "timeframe": null)"), "invalid type: null, expected a string"},
      {minimal(R"("ref_symbol": 5, )"), "invalid type: integer `5`, expected a string"},
      {minimal(R"("short_entry": 5, )"), "invalid type: integer `5`, expected string or map"},
      {minimal(R"("short_exit": "any", )"), "invalid type: unit variant, expected newtype variant"},
      {minimal(R"("warmup": -1, )"), "invalid value: integer `-1`, expected u32"},
      {minimal(R"("warmup": 2.5, )"), "invalid type: floating point `2.5`, expected u32"},
      {minimal(R"("risk": [1, 2, 3, 4, 5, false, 7], )"), "invalid length 7, expected fewer elements in array"},
      {leading(3, R"(, "entry": null)"), "invalid type: null, expected string or map"},
      {leading(5, R"(, "sizing": {"type": "fixed_qty"})"), "missing field `qty`"},
      // other kinds
      {"5", "invalid type: integer `5`, expected struct StrategySpec"},
      {"null", "invalid type: null, expected struct StrategySpec"},
      {R"("spec")", "invalid type: string \"spec\", expected struct StrategySpec"},
      // array form
      {"[]", "invalid length 1, expected struct StrategySpec with 14 elements"},
      {R"([1, "BTC"])", "invalid length 3, expected struct StrategySpec with 14 elements"},
      {R"([1, "BTC", null, "1h"])", "invalid length 4, expected struct StrategySpec with 14 elements"},
      {R"([1, "BTC", null, "1h", {}])", "invalid length 5, expected struct StrategySpec with 14 elements"},
      {R"([1, "BTC", null, "1h", {}, {"all": []}])",
       "invalid length 6, expected struct StrategySpec with 14 elements"},
      {R"([1, "BTC", null, "1h", {}, {"all": []}, {"all": []}, null])",
       "invalid length 9, expected struct StrategySpec with 14 elements"},
      {R"([1, "BTC", null, "1h", {}, {"all": []}, {"all": []}, null, null, ["fixed_qty", 1],
           {}, {}, {}, null, 0])",
       "invalid length 15, expected fewer elements in array"},
      {R"([1, "BTC", null, "1h", {}, {"all": []}, {"all": []}, null, null, ["fixed_qty", 1],
           {}, {}, {}, -1, 0])",
       "invalid value: integer `-1`, expected u32"},
      {R"([null])", "invalid type: null, expected u32"},
  };
  for (const Case& c : cases) EXPECT_EQ(read_failure(spec, c.json), c.message) << c.json;
}

TEST(ReadStrategySpec, ReportsIndicatorFaults) {
  const std::string kline = std::string("unknown variant `Kline`, ") + kFeeds;
  const Case cases[] = {
      {"[]", "invalid type: sequence, expected a map"},
      {"null", "invalid type: null, expected a map"},
      {R"({"a": {"params": [14]}})", "missing field `type`"},
      {R"({"a": 5})", "invalid type: integer `5`, expected struct IndicatorSpec"},
      {R"({"a": {"type": 5}})", "invalid type: integer `5`, expected a string"},
      {R"({"a": {"type": "Sma", "params": 14}})", "invalid type: integer `14`, expected a sequence"},
      {R"({"a": {"type": "Sma", "params": [14, "x"]}})", "invalid type: string \"x\", expected f64"},
      {R"({"a": {"type": "Sma", "params": [null]}})", "invalid type: null, expected f64"},
      {R"({"a": {"type": "Sma", "params": null}})", "invalid type: null, expected a sequence"},
      {R"({"a": []})", "invalid length 0, expected struct IndicatorSpec with 3 elements"},
      {R"({"a": ["Sma", [1], null, 4]})", "invalid length 4, expected fewer elements in array"},
      {R"({"a": [5]})", "invalid type: integer `5`, expected a string"},
      {R"({"a": {"type": "Sma", "feed": "Kline"}})", kline},
      {R"({"a": {"type": "Sma", "feed": {"trade": 1}}})", "invalid type: integer `1`, expected unit"},
      {R"({"a": {"type": "Sma", "feed": {}}})", "invalid value: map, expected map with a single key"},
      {R"({"a": {"type": "Sma", "feed": 3}})", "invalid type: integer `3`, expected string or map"},
      {R"({"a": {"type": "Sma", "feed": ["kline"]}})", "invalid type: sequence, expected string or map"},
      {R"({"a": {"type": "Sma", "feed": true}})", "invalid type: boolean `true`, expected string or map"},
      // members in key order inside an indicator, then indicators in id order
      {R"({"a": {"type": 1, "params": "x"}})", "invalid type: string \"x\", expected a sequence"},
      {R"({"b": {"type": 1}, "a": {"type": 2}})", "invalid type: integer `2`, expected a string"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(read_failure(spec, with_indicators(c.json)), c.message) << c.json;
  }
}

TEST(ReadStrategySpec, MinimalSpecTakesTheDefaults) {
  const StrategySpec s = read_ok(spec, minimal());
  EXPECT_EQ(s.spec_version, 1u);
  EXPECT_EQ(s.symbol, "BTC");
  EXPECT_EQ(s.timeframe, "1h");
  EXPECT_FALSE(s.ref_symbol.has_value());
  EXPECT_TRUE(s.indicators.empty());
  EXPECT_EQ(s.entry, Condition::make_group(Condition::Kind::All, {}));
  EXPECT_EQ(s.exit, Condition::make_group(Condition::Kind::Any, {}));
  EXPECT_FALSE(s.short_entry.has_value());
  EXPECT_FALSE(s.short_exit.has_value());
  EXPECT_EQ(s.sizing, Sizing{Sizing::FixedQty{1.0}});
  EXPECT_EQ(s.costs, Costs{});
  EXPECT_EQ(s.risk, Risk{});
  EXPECT_EQ(s.execution, Execution{});
  EXPECT_FALSE(s.warmup.has_value());

  // null optional members are absent; 0 and 2 are values
  EXPECT_EQ(read_ok(spec, minimal(R"("warmup": null, "short_entry": null, "ref_symbol": null, )")), s);
  EXPECT_EQ(read_ok(spec, minimal(R"("warmup": 0, )")).warmup, std::optional<std::uint32_t>(0));
  EXPECT_EQ(read_ok(spec, minimal(R"("spec_version": 2, )")).spec_version, 2u);
  EXPECT_EQ(read_ok(spec, minimal(R"("unknown": [1, {"x": null}], )")), s);
}

TEST(ReadStrategySpec, ArrayFormMatchesObjectForm) {
  const std::string object = R"({"spec_version": 3, "symbol": "BTC", "ref_symbol": "ETH",
      "timeframe": "1h", "indicators": {"fast": {"type": "Sma", "params": [5]}},
      "entry": {"gt": ["fast", 1]}, "exit": {"lt": ["fast", 1]}, "short_entry": {"in_position": false},
      "short_exit": {"in_position": true}, "sizing": {"type": "fixed_fraction", "fraction": 0.5},
      "costs": {"taker_bps": 10}, "risk": {"stop_loss_pct": 2}, "execution": {"latency_bars": 1},
      "warmup": 7})";
  const std::string array = R"([3, "BTC", "ETH", "1h", {"fast": ["Sma", [5]]}, {"gt": ["fast", 1]},
      {"lt": ["fast", 1]}, {"in_position": false}, {"in_position": true}, ["fixed_fraction", 0.5],
      [0, 10], [2], ["market", "next_open", null, null, 1], 7])";
  const StrategySpec from_object = read_ok(spec, object);
  EXPECT_EQ(read_ok(spec, array), from_object);
  EXPECT_EQ(from_object.warmup, std::optional<std::uint32_t>(7));
  EXPECT_EQ(from_object.ref_symbol, std::optional<std::string>("ETH"));
  EXPECT_EQ(from_object.execution.latency_bars, 1u);

  // ten elements ending with the sizing are complete
  const StrategySpec ten =
      read_ok(spec, R"([1, "BTC", null, "1h", {}, {"all": []}, {"any": []}, null, null, ["fixed_qty", 1]])");
  EXPECT_EQ(ten, read_ok(spec, minimal()));
}

TEST(ReadStrategySpec, IndicatorsInIdByteOrder) {
  const StrategySpec s = read_ok(spec, with_indicators(R"({
      "b": {"type": "Sma", "params": [14]},
      "B": ["Ema", [3, 2.5], "kline"],
      "a": {"type": "Rsi", "feed": {"trade": null}, "note": 1},
      "": {"type": "X", "params": [], "feed": null}})"));
  std::vector<std::string> ids;
  for (const auto& [id, ind] : s.indicators) ids.push_back(id);
  EXPECT_EQ(ids, (std::vector<std::string>{"", "B", "a", "b"}));
  EXPECT_EQ(s.indicators.at("b"), (IndicatorSpec{"Sma", {14.0}, std::nullopt}));
  EXPECT_EQ(s.indicators.at("B"), (IndicatorSpec{"Ema", {3.0, 2.5}, Feed::Kline}));
  EXPECT_EQ(s.indicators.at("a"), (IndicatorSpec{"Rsi", {}, Feed::Trade}));
  EXPECT_EQ(s.indicators.at(""), (IndicatorSpec{"X", {}, std::nullopt}));
}

// A long symbol is copied out of the tree in stretches, in either form of
// the record: the same spec when never stopped, one ask per stretch, and a
// stop at any of them ends the reading as stopped, not as a fault.
TEST(ReadStrategySpec, LongSymbolCopiedInStretchesAskingBetween) {
  const std::string symbol = std::string(3 * kCopyStretchBytes + 7, 'S') + "\u00e9";
  const std::string forms[] = {
      minimal().replace(minimal().find("BTC"), 3, symbol),
      R"([1, ")" + symbol + R"(", null, "1h", {}, {"all": []}, {"any": []}, null, null, ["fixed_qty", 1]])",
  };
  for (const std::string& text : forms) {
    const json::Document doc = testing::parse_json(text);
    const StrategySpec whole = read_ok(spec, text);
    EXPECT_EQ(whole.symbol.size(), 3 * kCopyStretchBytes + 9);
    fendro::testing::CountingInterrupt never;
    bool stopped = false;
    const auto read = read_strategy_spec_paced(doc.root, never.interrupt(), stopped);
    ASSERT_TRUE(read.ok()) << text.substr(0, 80);
    EXPECT_FALSE(stopped);
    EXPECT_EQ(*read, whole);
    EXPECT_EQ(never.asked, 3u);
    for (std::size_t k = 1; k <= never.asked; ++k) {
      fendro::testing::CountingInterrupt stop{.stop_at = k};
      EXPECT_FALSE(read_strategy_spec_paced(doc.root, stop.interrupt(), stopped).ok());
      EXPECT_TRUE(stopped) << k;
      EXPECT_EQ(stop.asked, k);
      stopped = false;
    }
  }
  // A fault is the strategy's, whatever the symbol's length.
  bool stopped = false;
  const std::string bad_text = R"({"symbol": ")" + symbol + R"(", "timeframe": 5})";
  const json::Document bad = testing::parse_json(bad_text);
  fendro::testing::CountingInterrupt never;
  const auto read = read_strategy_spec_paced(bad.root, never.interrupt(), stopped);
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.error(), "invalid type: integer `5`, expected a string");
  EXPECT_FALSE(stopped);
}

// Very many indicators are read telling the command's scope of each: it
// asks as they go, and a stop there ends the reading as stopped, what was
// read handed to the freeing thread.
TEST(ReadStrategySpec, ManyIndicatorsAskThroughTheCommandsScope) {
  std::string inds;
  for (int k = 0; k < 50'000; ++k) {
    inds.append(k ? "," : "").append("\"i").append(std::to_string(k)).append(R"(":{"type":"Sma"})");
  }
  std::string text = minimal();
  text.replace(text.find("{}"), 2, "{" + inds + "}");
  const json::Document doc = testing::parse_json(text);
  fendro::testing::CountingInterrupt never;
  {
    RunScope scope(never.interrupt());
    bool stopped = false;
    const auto read = read_strategy_spec_paced(doc.root, Interrupt{}, stopped);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read->indicators.size(), 50'000u);
    EXPECT_FALSE(stopped);
  }
  EXPECT_GE(never.asked, 2u);
  for (std::size_t k = 1; k <= never.asked; ++k) {
    fendro::testing::CountingInterrupt stop{.stop_at = k};
    RunScope scope(stop.interrupt());
    bool stopped = false;
    const std::uint64_t before = handed_over();
    EXPECT_FALSE(read_strategy_spec_paced(doc.root, Interrupt{}, stopped).ok());
    EXPECT_TRUE(stopped) << k;
    EXPECT_EQ(stop.asked, k);
    // The indicators read so far, then the rest of the spec.
    EXPECT_EQ(handed_over() - before, 2u) << k;
  }
  wait_until_freed();
}

}  // namespace
}  // namespace fendro
