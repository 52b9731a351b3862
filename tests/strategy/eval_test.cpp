#include "fendro/strategy/eval.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "strategy/json_text.hpp"

namespace fendro {
namespace {

using testing::read_ok;

Condition cond(std::string_view json) { return read_ok(read_condition, json); }

// The values stored under keys on each bar of a test series.
using Series = std::vector<std::map<std::string, double>>;

// Evaluates `json` at the newest record after each bar, as the bar loop does,
// with a window of 1 + the condition's lookback; "T"/"F" per bar. Every bar
// has open 9, high 12, low 8, close 10 and volume 100.
std::string run(std::string_view json, const Series& bars, PositionFlags flags = {}) {
  const Condition c = cond(json);
  RuleSet rules;
  const RuleSet::Id root = rules.add(c);
  RuleWindow window(condition_lookback(c) + 1, rules.keys().size());
  std::string out;
  for (const auto& values : bars) {
    for (const auto& [key, v] : values) {
      if (auto k = rules.find_key(key)) window.next_values()[*k] = v;
    }
    window.push(Candle{0, 9.0, 12.0, 8.0, 10.0, 100.0});
    out += eval_condition(rules, root, window, window.size() - 1, flags) ? 'T' : 'F';
  }
  return out;
}

TEST(EvalCondition, Table) {
  const double nan = std::nan("");
  const struct {
    const char* rule;
    Series bars;
    const char* expected;
  } cases[] = {
      // Absent values make tests false; a negation turns that into true.
      {R"({"gt": ["rsi", 70]})", {{}, {{"rsi", 71}}, {{"rsi", 70}}}, "FTF"},
      {R"({"not": {"gt": ["rsi", 70]}})", {{}, {{"rsi", 71}}, {{"rsi", 70}}}, "TFT"},
      {R"({"not": {"not": {"gt": ["a", "b"]}}})", {{{"a", 2}, {"b", 1}}, {{"a", 1}, {"b", 2}}, {{"a", 1}}}, "TFF"},
      {R"({"ge": ["a", 1]})", {{{"a", 1}}, {{"a", 0.5}}}, "TF"},
      {R"({"le": ["a", 1]})", {{{"a", 1}}, {{"a", 1.5}}}, "TF"},
      {R"({"lt": ["a", 1]})", {{{"a", 1}}, {{"a", 0.5}}}, "FT"},
      // A stored NaN is a value, and every comparison with it is false.
      {R"({"lt": ["a", 1]})", {{{"a", nan}}}, "F"},
      {R"({"ne": ["a", 1]})", {{{"a", nan}}, {{"a", 1}}, {{"a", 1.5}}}, "FFT"},
      // Division by (nearly) zero is NaN, not absent.
      {R"({"gt": [{"div": [1, 0]}, 0]})", {{}}, "F"},
      {R"({"lt": [{"div": [1, 0]}, 0]})", {{}}, "F"},
      {R"({"ge": [{"div": [1, 1e-17]}, 0]})", {{}}, "F"},
      {R"({"le": [{"div": [1, 0]}, 0]})", {{}}, "F"},
      {R"({"eq": [{"div": [1, 0]}, {"div": [1, 0]}]})", {{}}, "F"},
      {R"({"ne": [{"div": [1, 0]}, 0]})", {{}}, "F"},
      {R"({"not": {"gt": [{"div": [1, 0]}, 0]}})", {{}}, "T"},
      {R"({"eq": [{"div": [1, 3]}, {"div": [2, 6]}]})", {{}}, "T"},
      {R"({"eq": [0.1, {"add": [0.05, 0.05]}]})", {{}}, "T"},
      {R"({"eq": [1, 1.0000000000000004]})", {{}}, "F"},
      // Arithmetic: an absent side makes the whole expression absent.
      {R"({"gt": [{"add": ["x", 1]}, 0]})", {{}, {{"x", 0}}}, "FT"},
      {R"({"gt": [{"sub": [1, "x"]}, 0]})", {{}, {{"x", 0}}}, "FT"},
      {R"({"eq": [{"mul": ["x", 3]}, 6]})", {{{"x", 2}}}, "T"},
      // Crosses need the previous record and all four values.
      {R"({"cross_above": ["fast", "slow"]})",
       {{{"fast", 11}, {"slow", 10}}, {{"fast", 9}, {"slow", 10}}, {{"fast", 11}, {"slow", 10}}}, "FFT"},
      {R"({"cross_above": ["fast", "slow"]})", {{{"fast", 10}, {"slow", 10}}, {{"fast", 11}, {"slow", 10}}}, "FT"},
      {R"({"cross_above": ["fast", "slow"]})", {{{"fast", 10}, {"slow", 10}}, {{"fast", 10}, {"slow", 10}}}, "FF"},
      {R"({"cross_above": ["fast", "slow"]})", {{{"fast", 9}}, {{"fast", 11}, {"slow", 10}}}, "FF"},
      {R"({"cross_below": ["fast", "slow"]})",
       {{{"fast", 10}, {"slow", 10}}, {{"fast", 9}, {"slow", 10}}, {{"fast", 8}, {"slow", 10}}}, "FTF"},
      // Each of the four values may be the one missing, or a NaN.
      {R"({"cross_below": ["fast", "slow"]})",
       {{{"fast", 11}, {"slow", 10}}, {{"slow", 10}}, {{"fast", 11}, {"slow", 10}}, {{"fast", 9}}}, "FFFF"},
      {R"({"cross_above": ["fast", "slow"]})", {{{"fast", 9}, {"slow", 10}}, {{"fast", 11}}}, "FF"},
      {R"({"cross_above": ["fast", "slow"]})", {{{"fast", 9}, {"slow", nan}}, {{"fast", 11}, {"slow", 10}}}, "FF"},
      {R"({"cross_above": ["fast", "slow"]})", {{{"fast", 9}, {"slow", 10}}, {{"fast", nan}, {"slow", 10}}}, "FF"},
      {R"({"not": {"cross_above": ["fast", "slow"]}})", {{{"fast", 9}, {"slow", 10}}, {{"fast", 11}}}, "TT"},
      // One key on both sides never crosses; a key against a constant does.
      {R"({"cross_above": ["fast", "fast"]})", {{{"fast", 9}}, {{"fast", 11}}}, "FF"},
      {R"({"cross_above": ["fast", 10]})", {{{"fast", 9}}, {{"fast", 11}}, {{"fast", 12}}}, "FTF"},
      // Between is inclusive at both ends.
      {R"({"between": ["x", 1, 2]})", {{{"x", 1}}, {{"x", 2}}, {{"x", 2.5}}, {}}, "TTFF"},
      // Rising / falling compare with the value n records back.
      {R"({"rising": ["x", 3]})", {{{"x", 1}}, {{"x", 2}}, {{"x", 3}}, {{"x", 4}}, {{"x", 0}}}, "FFFTF"},
      {R"({"rising": ["x", 0]})", {{{"x", 1}}, {{"x", 2}}}, "FF"},
      {R"({"falling": ["x", 1]})", {{{"x", 2}}, {{"x", 1}}, {{"x", 1}}, {{"x", 0}}}, "FTFT"},
      {R"({"rising": ["x", 1]})", {{{"x", 1}}, {}, {{"x", 3}}}, "FFF"},
      // prev reaches back; before the window's start it is absent.
      {R"({"gt": ["x", {"prev": ["x", 2]}]})", {{{"x", 1}}, {{"x", 0}}, {{"x", 2}}, {{"x", 3}}}, "FFTT"},
      {R"({"not": {"gt": ["x", {"prev": ["x", 2]}]}})", {{{"x", 1}}, {{"x", 0}}, {{"x", 2}}}, "TTF"},
      {R"({"gt": [{"prev": [{"prev": ["x", 1]}, 1]}, 0]})", {{{"x", 1}}, {{"x", 0}}, {{"x", 0}}}, "FFT"},
      // Groups.
      {R"({"all": []})", {{}, {}}, "TT"},
      {R"({"any": []})", {{}, {}}, "FF"},
      {R"({"all": [{"gt": ["a", 0]}, {"not": {"gt": ["b", 0]}}]})", {{{"a", 1}}, {{"a", 1}, {"b", 1}}, {}}, "TFF"},
      {R"({"any": [{"gt": ["a", 0]}, {"gt": ["b", 0]}]})", {{{"b", 1}}, {{"a", -1}}, {}}, "TFF"},
      {R"({"not": {"any": [{"gt": ["a", 0]}]}})", {{{"a", 1}}, {}}, "FT"},
      // Prices of the default bar: open 9, high 12, low 8, close 10, volume 100.
      {R"({"all": [{"eq": [{"price": "hlc3"}, 10]}, {"eq": [{"price": "ohlc4"}, 9.75]}]})", {{}}, "T"},
      {R"({"all": [{"eq": [{"price": "open"}, 9]}, {"eq": [{"price": "high"}, 12]}, {"eq": [{"price": "low"}, 8]},
          {"eq": [{"price": "close"}, 10]}, {"eq": [{"price": "volume"}, 100]}]})", {{}}, "T"},
      // A reference is the whole text, dots included.
      {R"({"gt": ["bb.upper", "bb"]})", {{{"bb", 1}, {"bb.upper", 2}}, {{"bb", 1}}}, "TF"},
  };
  for (const auto& c : cases) EXPECT_EQ(run(c.rule, c.bars), c.expected) << c.rule;
}

TEST(EvalCondition, PositionFlags) {
  const Series one(1);
  const PositionFlags flat{};
  const PositionFlags entered_now{true, 0, true};
  const PositionFlags three_after{true, 3, true};
  const PositionFlags closed_since{true, 5, false};
  const struct {
    const char* rule;
    PositionFlags flags;
    bool expected;
  } cases[] = {
      {R"({"in_position": true})", flat, false},
      {R"({"in_position": false})", flat, true},
      {R"({"in_position": true})", entered_now, true},
      {R"({"bars_since_entry": {"ge": 3}})", flat, false},
      {R"({"bars_since_entry": {"ge": 3}})", entered_now, false},
      {R"({"bars_since_entry": {"ge": 3}})", three_after, true},
      {R"({"bars_since_entry": {"gt": 3}})", three_after, false},
      {R"({"bars_since_entry": {"lt": 3}})", entered_now, true},
      {R"({"bars_since_entry": {"le": 3}})", three_after, true},
      {R"({"bars_since_entry": {"eq": 5}})", closed_since, true},
      {R"({"not": {"bars_since_entry": {"eq": 0}}})", flat, true},
  };
  for (const auto& c : cases) EXPECT_EQ(run(c.rule, one, c.flags), c.expected ? "T" : "F") << c.rule;
}

TEST(EvalOperand, AbsentOutsideWindowAndNaNFromDivision) {
  RuleSet rules;
  const Condition c = cond(R"({"gt": [{"div": ["x", 0]}, 0]})");
  rules.add(c);
  RuleWindow window(2, rules.keys().size());
  window.next_values()[0] = 1.0;
  window.push(Candle{});
  // Operand 0 is "x", operand 2 the division (children are compiled first).
  EXPECT_EQ(eval_operand(rules, 0, window, 0), 1.0);
  EXPECT_FALSE(eval_operand(rules, 0, window, 1).has_value());
  const auto q = eval_operand(rules, 2, window, 0);
  ASSERT_TRUE(q.has_value());
  EXPECT_TRUE(std::isnan(*q));
}

// The typical price of a one-price candle is its price: the adds and the
// division by 3 would round 3.3 down to 3.2999999999999994, and the close
// would stand above its own typical price. Rule: gt [close, hlc3].
TEST(EvalOperand, TypicalPriceOfAOnePriceCandleIsItsPrice) {
  for (const double p : {3.3, 0.3, 7.77, 123.456, 30000.17, 0.00103}) {
    RuleSet rules;
    rules.add(cond(R"({"gt": [{"price": "close"}, {"price": "hlc3"}]})"));
    RuleWindow window(1, rules.keys().size());
    window.push(Candle{0, p, p, p, p, 1.0});
    const auto typical = eval_operand(rules, 1, window, 0);
    ASSERT_TRUE(typical.has_value()) << p;
    EXPECT_EQ(*typical, p) << p;
  }
}

TEST(Lookback, Table) {
  const struct {
    const char* rule;
    std::uint64_t lookback;
  } cases[] = {
      {R"({"cross_above": [{"prev": ["a", 2]}, "b"]})", 3},
      {R"({"rising": [{"prev": ["a", 1]}, 5]})", 6},
      {R"({"between": ["x", {"prev": ["lo", 4]}, 0]})", 4},
      {R"({"in_position": true})", 0},
      {R"({"bars_since_entry": {"ge": 9}})", 0},
      {R"({"gt": [{"add": [{"prev": ["a", 3]}, {"prev": ["b", 7]}]}, 0]})", 7},
      {R"({"not": {"not": {"falling": ["a", 2]}}})", 2},
      {R"({"all": [{"rising": ["a", 2]}, {"any": [{"cross_below": ["a", {"prev": ["b", 8]}]}]}]})", 9},
      {R"({"any": []})", 0},
      // Counts of 2^32 - 1 add up in 64 bits: nothing wraps.
      {R"({"rising": ["a", 4294967295]})", 4294967295ULL},
      {R"({"cross_above": [{"prev": ["a", 4294967295]}, 0]})", 4294967296ULL},
      {R"({"falling": [{"prev": [{"prev": ["a", 4294967295]}, 4294967295]}, 4294967295]})", 3 * 4294967295ULL},
  };
  for (const auto& c : cases) EXPECT_EQ(condition_lookback(cond(c.rule)), c.lookback) << c.rule;
}

TEST(CrossingShortcut, TakenForTwoReferencesOnly) {
  const struct {
    const char* rule;
    bool shortcut;
  } cases[] = {
      {R"({"cross_above": ["a", "b"]})", true},
      {R"({"cross_below": ["a", "b"]})", true},
      {R"({"not": {"cross_above": ["a", "b"]}})", true},
      {R"({"cross_above": ["a", 3]})", false},
      {R"({"cross_below": [{"prev": ["a", 1]}, "b"]})", false},
      {R"({"gt": ["a", "b"]})", false},
  };
  for (const auto& c : cases) {
    RuleSet rules;
    const RuleSet::Id root = rules.add(cond(c.rule));
    EXPECT_EQ(rules.condition(root).crosses_references, c.shortcut) << c.rule;
  }
}

// A deterministic series over values chosen to tie, cross, go missing and be NaN.
Series mixed_series(std::size_t bars) {
  const double pool[] = {1.0, 2.0, 2.0, -0.0, 0.0, std::numeric_limits<double>::quiet_NaN(), 3.5, -1.0, std::numeric_limits<double>::infinity()};
  std::uint64_t s = 12345;
  const auto next = [&s] {
    s = s * 6364136223846793005ULL + 1442695040888963407ULL;
    return s >> 33;
  };
  Series out(bars);
  for (auto& bar : out) {
    for (const char* key : {"a", "b"}) {
      const std::uint64_t r = next() % 11;
      if (r < 9) bar[key] = pool[r];  // else absent on this bar
    }
  }
  return out;
}

TEST(CrossingShortcut, AgreesWithTheGeneralOperands) {
  // Adding 0 sends each operand the general way without changing how it compares.
  const auto series = mixed_series(400);
  for (const char* kind : {"cross_above", "cross_below"}) {
    for (const bool negated : {false, true}) {
      const std::string direct = std::string(R"({")") + kind + R"(": ["a", "b"]})";
      const std::string general = std::string(R"({")") + kind + R"(": [{"add": ["a", 0]}, {"add": ["b", 0]}]})";
      const auto wrap = [&](const std::string& r) { return negated ? R"({"not": )" + r + "}" : r; };
      const std::string got = run(wrap(direct), series);
      EXPECT_EQ(got, run(wrap(general), series)) << kind << (negated ? " negated" : "");
      EXPECT_NE(got.find(negated ? 'F' : 'T'), std::string::npos) << "the series never crosses";
    }
  }
}

TEST(RuleWindow, KeepsTheNewestRecordsOnly) {
  RuleWindow window(3, 1);
  for (int k = 0; k < 7; ++k) {
    window.next_values()[0] = k;
    window.push(Candle{k, 0, 0, 0, static_cast<double>(k), 0});
    ASSERT_EQ(window.size(), static_cast<std::uint64_t>(std::min(k + 1, 3)));
    EXPECT_EQ(window.record(window.size() - 1).candle.time, k);
  }
  for (std::uint64_t i = 0; i < 3; ++i) {
    EXPECT_EQ(window.record(i).candle.time, static_cast<std::int64_t>(4 + i));
    EXPECT_EQ(window.record(i).values[0], static_cast<double>(4 + i));
  }
  // Values not written for a bar are absent on it.
  window.push(Candle{7, 0, 0, 0, 0, 0});
  EXPECT_FALSE(window.record(2).values[0].has_value());
}

TEST(RuleWindow, HugeCapacityIsSizedByTheBarsHeld) {
  // A capacity of 2^64 - 1 would never fit in memory; storage follows the bars.
  RuleWindow window(~std::uint64_t{0}, 4);
  for (int k = 0; k < 5; ++k) window.push(Candle{k, 0, 0, 0, 0, 0});
  EXPECT_EQ(window.size(), 5u);
  EXPECT_EQ(window.record(0).candle.time, 0);
  EXPECT_LE(window.reserved(), 16u);
  // Growth never passes the capacity.
  RuleWindow small(3, 1);
  for (int k = 0; k < 10; ++k) small.push(Candle{});
  EXPECT_EQ(small.reserved(), 3u);
}

}  // namespace
}  // namespace fendro
