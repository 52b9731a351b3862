// A rule of thousands of nodes evaluated on a bar asks the command's
// interrupt through the thread's scope every so many nodes, and gives up
// once told to stop; its answer is the same as without a scope. A rule of a
// usual size never asks: the bar loop's evaluation is left as it was.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "fendro/strategy/eval.hpp"
#include "strategy/json_text.hpp"
#include "strategy/long_rules.hpp"
#include "strategy/scope_asks.hpp"

namespace fendro {
namespace {

using testing::any_false;
using testing::expect_asks_all_through;
using testing::repeated;
using testing::run_in_scope;

// A rule compiled, and a window of three bars on which "a" is 1, "b" 2.
struct Compiled {
  explicit Compiled(const std::string& json)
      : rule(testing::read_ok(read_condition, json)), root(rules.add(rule)), window(8, rules.keys().size()) {
    for (int bar = 0; bar < 3; ++bar) {
      for (const char* key : {"a", "b"}) {
        if (auto k = rules.find_key(key)) window.next_values()[*k] = key[0] == 'a' ? 1.0 : 2.0;
      }
      window.push(Candle{bar, 9.0, 12.0, 8.0, 10.0, 100.0});
    }
  }
  bool holds() const { return eval_condition(rules, root, window, window.size() - 1, PositionFlags{}); }

  Condition rule;
  RuleSet rules;
  RuleSet::Id root;
  RuleWindow window;
};

struct Row {
  const char* what;
  std::string rule;
  bool holds;
};

std::vector<Row> heavy_rules() {
  const std::string many_true = repeated(R"({"lt": ["a", "b"]})", 10'000);
  return {
      {"any of many that never hold", any_false(10'000), false},
      {"any whose last holds", R"({"any": [)" + repeated(R"({"gt": ["a", 1e308]})", 10'000) + R"(, {"lt": ["a", 2]}]})",
       true},
      {"all of many that hold", R"({"all": [)" + many_true + "]}", true},
      {"not of any of many", R"({"not": )" + any_false(10'000) + "}", true},
      {"groups of groups", R"({"all": [)" + repeated(R"({"any": [)" + repeated(R"({"gt": ["a", 5]})", 500) +
                                                         R"(, {"lt": ["a", "b"]}]})",
                                                     40) +
                               "]}",
       true},
      {"a crossing of a deep sum", R"({"cross_above": [)" + testing::sum_tree(13) + R"(, 100]})", false},
      {"a deep sum over bars", R"({"rising": [{"sub": [)" + testing::sum_tree(13) + R"(, {"prev": ["b", 1]}]}, 2]})",
       false},
      {"between of deep sums", R"({"between": [)" + testing::sum_tree(12) + ", " + testing::sum_tree(11) + ", " +
                                   testing::sum_tree(13) + "]}",
       true},
  };
}

TEST(HeavyRuleEval, SameAnswerAskingAllThrough) {
  for (const Row& row : heavy_rules()) {
    const Compiled c(row.rule);
    ASSERT_TRUE(c.rules.has_heavy()) << row.what;
    EXPECT_EQ(c.holds(), row.holds) << row.what;
    // Each row evaluates nearly all of its ten thousand nodes or more; a
    // light part (under RuleSet::kHeavyNodes) is evaluated whole between
    // two notes, so a sum of two such parts asks but a few times.
    expect_asks_all_through([&] { return c.holds() == row.holds && !RunScope::current()->stopped(); }, 3,
                            row.what);
  }
}

// Every condition of a long rule that never holds is evaluated on each bar:
// the scope is asked at least once every few hundred of them.
TEST(HeavyRuleEval, AskedAtLeastEverySoManyConditions) {
  constexpr std::size_t kConditions = 30'000;
  const Compiled c(any_false(kConditions));
  const auto run = run_in_scope([&] { return !c.holds(); });
  ASSERT_TRUE(run.finished);
  // Three nodes a condition, noted a thousand nodes at a time, each note
  // an ask with these scopes: an ask every 341 conditions.
  EXPECT_GE(run.asked, kConditions / 350);
  // Once told to stop, a bar's evaluation gives up at its next note.
  const auto stopped = run_in_scope([&] { return !c.holds(); }, 1);
  EXPECT_TRUE(stopped.stopped);
  EXPECT_EQ(stopped.asked, 1u);
}

// Rules below RuleSet::kHeavyNodes, however many bars they are evaluated on,
// never ask.
TEST(HeavyRuleEval, UsualRulesNeverAsk) {
  const std::vector<std::string> usual = {
      any_false(1'000),
      R"({"cross_above": ["a", "b"]})",
      R"({"gt": [)" + testing::sum_tree(10) + R"(, 1]})",
      R"({"all": [)" + repeated(R"({"rising": [{"prev": ["a", 2]}, 3]})", 500) + "]}",
  };
  for (const std::string& rule : usual) {
    const Compiled c(rule);
    EXPECT_FALSE(c.rules.has_heavy()) << rule.substr(0, 60);
    const auto run = run_in_scope(
        [&] {
          for (int bar = 0; bar < 200; ++bar) c.holds();
          return true;
        },
        0, 1);
    EXPECT_EQ(run.asked, 0u) << rule.substr(0, 60);
  }
}

TEST(HeavyRuleEval, AHeavyOperandAsksAlone) {
  const Compiled c(R"({"gt": [)" + testing::sum_tree(13) + R"(, 1]})");
  const RuleSet::Id sum = c.rules.condition(c.root).ops[0];
  ASSERT_TRUE(c.rules.operand(sum).heavy);
  const auto value = [&] { return eval_operand(c.rules, sum, c.window, c.window.size() - 1); };
  EXPECT_EQ(value(), std::optional<double>(8192.0));
  expect_asks_all_through([&] { return value() == std::optional<double>(8192.0) && !RunScope::current()->stopped(); },
                          3, "a deep sum alone");
}

}  // namespace
}  // namespace fendro
