// Every pass over what a strategy declares (reading, checking, measuring,
// compiling, freeing) asks the command's interrupt through the thread's
// scope as it goes, however the strategy is long: a rule of many conditions,
// a deep expression, many entries or members, a long text. A stop said at
// any ask ends the pass there, and a scope that never stops changes nothing.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "fendro/strategy/engine.hpp"
#include "fendro/strategy/eval.hpp"
#include "fendro/strategy/spec.hpp"
#include "fendro/strategy/validate.hpp"
#include "fendro/util/paced_copy.hpp"
#include "strategy/json_text.hpp"
#include "strategy/long_rules.hpp"
#include "module/counting_interrupt.hpp"
#include "strategy/scope_asks.hpp"

namespace fendro {
namespace {

using testing::any_false;
using testing::expect_asks_all_through;
using testing::repeated;
using testing::run_in_scope;
using testing::StrategyText;
using testing::unread_members;

// Longer than a copy's stretch: copied in three.
const std::string& long_text() {
  static const std::string text(2 * kCopyStretchBytes + 100, 'x');
  return text;
}

struct Row {
  const char* what;
  std::string text;
  std::size_t least;  // asks at the least while it is read
};

std::vector<Row> long_strategies() {
  std::vector<Row> rows;
  const auto add = [&](const char* what, StrategyText s, std::size_t least) { rows.push_back({what, s.text(), least}); };
  StrategyText s;
  s.entry = any_false(20'000);
  add("an entry of many conditions", s, 100);
  s.entry = R"({"any": [)" + repeated(R"({"not": {"bars_since_entry": {"gt": 3}}})", 20'000) + "]}";
  add("an entry of many conditions without operands", s, 100);
  s = {};
  s.exit = R"({"all": [)" + repeated(R"({"all": [)" + repeated(R"({"lt": ["a", 1]})", 200) + "]}", 100) + "]}";
  add("an exit of groups of groups", s, 100);
  s = {};
  s.extra = R"(, "short_entry": {"gt": [)" + testing::sum_tree(14) + R"(, 1]})";
  add("a short entry of a deep sum", s, 100);
  s = {};
  s.extra = R"(, "short_exit": {"not": )" + any_false(20'000) + "}";
  add("a short exit of many conditions", s, 100);
  s = {};
  std::string ids;
  for (int k = 0; k < 20'000; ++k) ids += ",\"i" + std::to_string(k) + R"(": ["Sma", [3]])";
  s.indicators = R"({"a": {"type": "Sma", "params": [3]})" + ids + "}";
  add("many indicators", s, 50);
  s = {};
  s.indicators = R"({"a": {"type": "Sma", "params": [3, )" + repeated("1", 300'000) + "]}}";
  add("a long list of parameters", s, 50);
  s = {};
  s.indicators = R"({"a": {"type": "Sma", "params": [3], )" + unread_members(20'000) + "}}";
  add("an indicator of many members", s, 20);
  s = {};
  s.extra = R"(, "costs": {)" + unread_members(20'000, R"("slippage": {"type": "fixed_bps", "bps": 1, )" +
                                                         unread_members(20'000) + "}") + "}";
  add("costs and slippage of many members", s, 40);
  s = {};
  s.extra = R"(, "risk": {)" + unread_members(20'000) + R"(}, "execution": {)" + unread_members(20'000) + "}";
  add("risk and execution of many members", s, 40);
  s = {};
  s.sizing = R"({"type": "vol_target", "target_vol": 0.1, "lookback": 5, )" + unread_members(20'000) + "}";
  add("a sizing of many members", s, 20);
  s = {};
  s.extra = ", " + unread_members(20'000);
  add("many members nobody reads", s, 20);
  s = {};
  s.timeframe = long_text();
  add("a long timeframe", s, 3);
  s = {};
  s.extra = R"(, "ref_symbol": ")" + long_text() + "\"";
  add("a long reference symbol", s, 3);
  s = {};
  s.indicators = R"({"a": {"type": ")" + long_text() + R"("}})";
  add("a long indicator type", s, 3);
  s = {};
  s.indicators = R"({")" + long_text() + R"(": {"type": "Sma"}, "a": {"type": "Sma", "params": [3]}})";
  add("a long indicator id", s, 3);
  s = {};
  s.entry = R"({"gt": ["a.)" + long_text() + R"(", 1]})";
  add("a long reference", s, 3);
  return rows;
}

TEST(RuleTreePacing, ReadingAsksAllThroughAndChangesNothing) {
  for (const Row& row : long_strategies()) {
    const json::Document doc = testing::parse_json(row.text);
    const StrategySpec plain = testing::read_ok(read_strategy_spec, row.text);
    StrategySpec read;
    const auto work = [&] {
      bool stopped = false;
      auto r = read_strategy_spec_paced(doc.root, Interrupt{}, stopped);
      if (!r.ok() || stopped) return false;
      read = std::move(r).value();
      return true;
    };
    expect_asks_all_through(work, row.least, row.what);
    run_in_scope(work);
    EXPECT_TRUE(read == plain) << row.what;
  }
}

// A fault found after a long rule was read, or at the end of a long group,
// frees what was read in stretches too, and is told as it is.
TEST(RuleTreePacing, AFaultAfterALongRuleFreesItAsking) {
  // The asks of reading the long rule alone (members are read in key
  // order: the entry first, and nothing after the fault).
  const std::string entry = any_false(20'000);
  const json::Document entry_doc = testing::parse_json(entry);
  const std::size_t reading = run_in_scope([&] { return read_condition(entry_doc.root).ok(); }).asked;
  for (const bool in_the_group : {false, true}) {
    StrategyText s;
    s.entry = entry;
    s.exit = "5";
    if (in_the_group) s.entry.insert(s.entry.size() - 2, ", 5");
    const std::string text = s.text();
    const json::Document doc = testing::parse_json(text);
    const auto read = [&] {
      bool stopped = false;
      auto r = read_strategy_spec_paced(doc.root, Interrupt{}, stopped);
      return !r.ok() && !stopped && r.error() == "invalid type: integer `5`, expected string or map";
    };
    // Freeing 60 000 nodes asks some 360 times on top of the reading.
    expect_asks_all_through(read, reading + 200, in_the_group ? "a fault in a long group" : "a fault after a long entry");
  }
}

StrategySpec spec_of(const StrategyText& s) { return testing::read_ok(read_strategy_spec, s.text()); }

TEST(RuleTreePacing, CheckingAsksAllThroughAndChangesNothing) {
  struct Check {
    const char* what;
    StrategySpec spec;
    std::size_t least;
  };
  std::vector<Check> checks;
  StrategyText s;
  s.entry = any_false(20'000);
  checks.push_back({"a rule of many conditions", spec_of(s), 50});
  s.entry = R"({"all": [)" + repeated(R"({"in_position": false})", 20'000) + "]}";
  checks.push_back({"a rule of many conditions without operands", spec_of(s), 50});
  s.entry = R"({"gt": [)" + testing::sum_tree(14) + R"(, 1]})";
  checks.push_back({"a deep sum", spec_of(s), 50});
  s = {};
  s.indicators = R"({")" + long_text() + R"(": {"type": "Sma"}, "a": {"type": "Sma", "params": [3]}})";
  s.entry = R"({"gt": [")" + long_text() + R"(.x", 1]})";
  checks.push_back({"a long reference to a long id", spec_of(s), 4});
  s = {};
  std::string ids;
  for (int k = 0; k < 20'000; ++k) ids += ",\"i" + std::to_string(k) + R"(": {"type": "Sma", "feed": "kline"})";
  s.indicators = R"({"a": {"type": "Sma", "params": [3]})" + ids + "}";
  checks.push_back({"many entries of declared feeds", spec_of(s), 50});
  for (const Check& c : checks) {
    ASSERT_TRUE(validate_spec(c.spec).ok()) << c.what;
    expect_asks_all_through([&] { return validate_spec(c.spec).ok() && !RunScope::current()->stopped(); }, c.least,
                            c.what);
  }
}

// The text of an undeclared long reference quotes it whole, copied asking.
TEST(RuleTreePacing, AnUndeclaredLongReferenceIsToldWhole) {
  StrategyText s;
  s.entry = R"({"gt": [")" + long_text() + R"(", 1]})";
  const StrategySpec spec = spec_of(s);
  const StrategyError want = StrategyError::undeclared_indicator(long_text());
  const auto told_whole = [&] {
    const auto v = validate_spec(spec);
    return !RunScope::current()->stopped() && !v.ok() && v.error() == want;
  };
  expect_asks_all_through(told_whole, 3, "an undeclared long reference");
}

// Each kind of node is noted on its own: conditions without operands, and
// an expression of a single condition.
TEST(RuleTreePacing, MeasuringAndCompilingNoteEachKindOfNode) {
  StrategyText s;
  s.entry = R"({"all": [)" + repeated(R"({"in_position": false})", 20'000) + "]}";
  s.exit = R"({"gt": [)" + testing::sum_tree(14) + R"(, 1]})";
  const StrategySpec spec = spec_of(s);
  for (const Condition* rule : {&spec.entry, &spec.exit}) {
    const char* what = rule == &spec.entry ? "conditions alone" : "a deep sum";
    // 20 000 or 32 767 nodes of 40 steps each.
    expect_asks_all_through([&] { return condition_lookback(*rule) == 0 && !RunScope::current()->stopped(); }, 30,
                            std::string("measuring ") + what);
    // Counted ahead, then compiled at 400 steps a node.
    expect_asks_all_through(
        [&] {
          RuleSet rules;
          rules.add(*rule);
          return !RunScope::current()->stopped();
        },
        400, std::string("compiling ") + what);
  }
}

// Adding a rule to a set that holds megabytes of nodes makes room for it
// first, copying what is held in stretches with the interrupt asked between
// them: a compile never grows its storage, all at once, as it goes.
TEST(RuleTreePacing, CompilingMakesRoomInStretches) {
  const Condition held = testing::read_ok(read_condition, any_false(40'000));
  const Condition more = testing::read_ok(read_condition, any_false(10));
  // Asked only by the copies: the nodes compiled never add up to an ask.
  constexpr std::uint64_t kNever = std::uint64_t{1} << 60;
  testing::CountingInterrupt never;
  {
    RuleSet rules;
    rules.add(held);
    RunScope scope(never.interrupt(), kNever);
    rules.add(more);
  }
  // 80 000 operand nodes: 2.5 MB.
  EXPECT_GE(never.asked, 1u);
  testing::CountingInterrupt stop{.stop_at = 1};
  RuleSet rules;
  rules.add(held);
  RunScope scope(stop.interrupt(), kNever);
  rules.add(more);
  EXPECT_TRUE(scope.stopped());
  EXPECT_EQ(stop.asked, 1u);
}

TEST(RuleTreePacing, MeasuringAndCompilingAskAllThrough) {
  StrategyText s;
  s.entry = any_false(20'000);
  s.extra = R"(, "short_entry": {"gt": [)" + testing::sum_tree(14) + R"(, {"prev": ["a", 7]}]})";
  const StrategySpec spec = spec_of(s);
  const std::uint64_t capacity = window_capacity_for(spec);
  EXPECT_EQ(capacity, 8u);
  expect_asks_all_through([&] { return window_capacity_for(spec) == capacity; }, 20, "measuring");
  RuleSet plain;
  const RuleSet::Id plain_root = plain.add(spec.short_entry.value());
  expect_asks_all_through(
      [&] {
        RuleSet rules;
        rules.add(spec.entry);
        const RuleSet::Id root = rules.add(spec.short_entry.value());
        return !RunScope::current()->stopped() && rules.keys().size() == 1 &&
               rules.condition_weight(root) == plain.condition_weight(plain_root);
      },
      // 100 000 nodes: counted ahead (150 asks), then compiled (2400).
      1'000, "compiling");
}

// A long reference is looked up and interned in stretches; the key is the
// reference whole.
TEST(RuleTreePacing, ALongReferenceIsInternedAsking) {
  const Condition c = Condition::make_compare(Condition::Kind::Gt, Operand::make_reference(long_text()),
                                              Operand::make_constant(1));
  expect_asks_all_through(
      [&] {
        RuleSet rules;
        rules.add(c);
        rules.add(c);  // found again, compared in stretches
        return !RunScope::current()->stopped() && rules.keys().size() == 1 && rules.keys()[0] == long_text() &&
               rules.find_key(long_text()) == std::optional<std::size_t>(0);
      },
      6, "a long reference interned twice and found");
}

TEST(RuleTreePacing, FreeingAsksAllThroughAndEmptiesTheTree) {
  struct Freed {
    const char* what;
    StrategyText text;
    std::size_t least;
  };
  std::vector<Freed> rows(4);
  rows[0].what = "conditions alone";
  rows[0].text.entry = R"({"all": [)" + repeated(R"({"in_position": false})", 20'000) + "]}";
  rows[0].least = 50;
  rows[1].what = "a deep sum";
  rows[1].text.exit = R"({"gt": [)" + testing::sum_tree(14) + R"(, 1]})";
  rows[1].least = 50;
  rows[2].what = "a long reference";
  rows[2].text.extra = R"(, "short_entry": {"gt": ["a.)" + long_text() + R"(", 1]})";
  // Freed at once, and noted as one long stretch: an ask right after it.
  rows[2].least = 1;
  rows[3].what = "many indicators";
  std::string ids;
  for (int k = 0; k < 20'000; ++k) ids += ",\"i" + std::to_string(k) + R"(": {"type": "Sma"})";
  rows[3].text.indicators = R"({"a": {"type": "Sma", "params": [3]})" + ids + "}";
  rows[3].least = 200;
  for (const Freed& row : rows) {
    const StrategySpec whole = spec_of(row.text);
    StrategySpec spec;
    expect_asks_all_through(
        [&] {
          spec = whole;
          return release_paced(spec);
        },
        row.least, row.what);
    spec = whole;
    ASSERT_TRUE(run_in_scope([&] { return release_paced(spec); }).finished);
    EXPECT_TRUE(spec.entry.children.empty() && spec.entry.operands.empty()) << row.what;
    EXPECT_TRUE(spec.exit.children.empty() && spec.exit.operands.empty()) << row.what;
    EXPECT_TRUE(!spec.short_entry || spec.short_entry->operands.empty()) << row.what;
    EXPECT_TRUE(spec.indicators.empty()) << row.what;
  }
}

}  // namespace
}  // namespace fendro
