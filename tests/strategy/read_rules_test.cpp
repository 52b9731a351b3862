#include <gtest/gtest.h>

#include <string>

#include "fendro/strategy/rules.hpp"
#include "strategy/json_text.hpp"

namespace fendro {
namespace {

using testing::read_failure;
using testing::read_ok;

auto condition = [](const json::Value& v) { return read_condition(v); };

Operand ref(const char* r) { return Operand::make_reference(r); }
Operand num(double x) { return Operand::make_constant(x); }

struct Case {
  const char* json;
  const char* message;
};

constexpr const char* kAllKeys =
    "expected one of `gt`, `lt`, `ge`, `le`, `eq`, `ne`, `cross_above`, `cross_below`, `between`, "
    "`rising`, `falling`, `all`, `any`, `not`, `in_position`, `bars_since_entry`";

constexpr const char* kNoOperand = "data did not match any variant of untagged enum Operand";

TEST(ReadCondition, ReportsTheFirstFault) {
  const std::string unknown_buy = std::string("unknown variant `buy`, ") + kAllKeys;
  const std::string unknown_gt = std::string("unknown variant `GT`, ") + kAllKeys;
  const std::string unknown_x = std::string("unknown variant `x`, ") + kAllKeys;
  const Case cases[] = {
      // shape of the condition itself
      {R"("all")", "invalid type: unit variant, expected newtype variant"},
      {R"("bars_since_entry")", "invalid type: unit variant, expected newtype variant"},
      {R"("buy")", unknown_buy.c_str()},
      {R"({"GT": [1, 2]})", unknown_gt.c_str()},
      {R"({"gt": [1, 2], "lt": [1, 2]})", "invalid value: map, expected map with a single key"},
      {R"({})", "invalid value: map, expected map with a single key"},
      {R"(5)", "invalid type: integer `5`, expected string or map"},
      {R"(null)", "invalid type: null, expected string or map"},
      {R"([{"gt": [1, 2]}])", "invalid type: sequence, expected string or map"},
      // tuples
      {R"({"gt": ["rsi"]})", "invalid length 1, expected a tuple of size 2"},
      {R"({"gt": []})", "invalid length 0, expected a tuple of size 2"},
      {R"({"gt": ["rsi", 70, 80]})", "invalid length 3, expected fewer elements in array"},
      {R"({"between": ["rsi", 30]})", "invalid length 2, expected a tuple of size 3"},
      {R"({"between": [1, 2, 3, 4]})", "invalid length 4, expected fewer elements in array"},
      {R"({"gt": 5})", "invalid type: integer `5`, expected a tuple of size 2"},
      {R"({"between": {"a": 1}})", "invalid type: map, expected a tuple of size 3"},
      // an element is read before the length is known to be short
      {R"({"gt": [true]})", kNoOperand},
      {R"({"gt": [1, 2, true]})", "invalid length 3, expected fewer elements in array"},
      // rising / falling counts
      {R"({"rising": ["sma", -1]})", "invalid value: integer `-1`, expected u32"},
      {R"({"rising": ["sma", 1.5]})", "invalid type: floating point `1.5`, expected u32"},
      {R"({"falling": ["sma", 3.0]})", "invalid type: floating point `3.0`, expected u32"},
      {R"({"rising": ["sma", 4294967296]})", "invalid value: integer `4294967296`, expected u32"},
      {R"({"rising": ["sma", "3"]})", "invalid type: string \"3\", expected u32"},
      {R"({"rising": ["sma"]})", "invalid length 1, expected a tuple of size 2"},
      {R"({"falling": [null, 1]})", kNoOperand},
      // groups and negation
      {R"({"all": 5})", "invalid type: integer `5`, expected a sequence"},
      {R"({"any": {"gt": [1, 2]}})", "invalid type: map, expected a sequence"},
      {R"({"all": [{"gt": [1, 2]}, "x"]})", unknown_x.c_str()},
      {R"({"any": [{"gt": [1]}, 5]})", "invalid length 1, expected a tuple of size 2"},
      {R"({"not": 5})", "invalid type: integer `5`, expected string or map"},
      {R"({"not": {"not": "gt"}})", "invalid type: unit variant, expected newtype variant"},
      // in_position
      {R"({"in_position": 1})", "invalid type: integer `1`, expected a boolean"},
      {R"({"in_position": "yes"})", "invalid type: string \"yes\", expected a boolean"},
      // bars_since_entry
      {R"({"bars_since_entry": {"gte": 3}})",
       "unknown variant `gte`, expected one of `gt`, `lt`, `ge`, `le`, `eq`"},
      {R"({"bars_since_entry": "ge"})", "invalid type: unit variant, expected newtype variant"},
      {R"({"bars_since_entry": "ne"})",
       "unknown variant `ne`, expected one of `gt`, `lt`, `ge`, `le`, `eq`"},
      {R"({"bars_since_entry": 3})", "invalid type: integer `3`, expected string or map"},
      {R"({"bars_since_entry": {}})", "invalid value: map, expected map with a single key"},
      {R"({"bars_since_entry": {"ge": 1, "le": 5}})",
       "invalid value: map, expected map with a single key"},
      {R"({"bars_since_entry": {"ge": -1}})", "invalid value: integer `-1`, expected u32"},
      {R"({"bars_since_entry": {"ge": null}})", "invalid type: null, expected u32"},
  };
  for (const Case& c : cases) EXPECT_EQ(read_failure(condition, c.json), c.message) << c.json;
}

TEST(ReadCondition, AnyOperandMisfitGivesTheUntaggedMessage) {
  const char* cases[] = {
      R"({"gt": [true, 1]})",
      R"({"gt": [null, 1]})",
      R"({"gt": [[1], 1]})",
      R"({"gt": [{"price": "typical"}, 1]})",
      R"({"gt": [{"price": "Close"}, 1]})",
      R"({"gt": [{"add": [1]}, 1]})",
      R"({"gt": [{"add": [1, 2, 3]}, 1]})",
      R"({"gt": [{"add": [1, 2], "sub": [1, 2]}, 1]})",
      R"({"gt": [{"pow": [1, 2]}, 1]})",
      R"({"gt": [{"prev": ["rsi", -1]}, 1]})",
      R"({"gt": [{"prev": ["rsi", 1.0]}, 1]})",
      R"({"gt": [{"prev": ["rsi", 1, 2]}, 1]})",
      R"({"gt": [1, {"div": [1, {"sub": [{"price": "hlc3"}, false]}]}]})",
      R"({"between": [1, 2, {"price": null}]})",
  };
  for (const char* c : cases) EXPECT_EQ(read_failure(condition, c), kNoOperand) << c;
}

TEST(ReadCondition, ReadsEveryVariant) {
  using K = Condition::Kind;
  struct Good {
    const char* json;
    Condition want;
  };
  const Good cases[] = {
      {R"({"gt": ["rsi", 70]})", Condition::make_compare(K::Gt, ref("rsi"), num(70))},
      {R"({"lt": [1, 2]})", Condition::make_compare(K::Lt, num(1), num(2))},
      {R"({"ge": [1, 2]})", Condition::make_compare(K::Ge, num(1), num(2))},
      {R"({"eq": [1, 2]})", Condition::make_compare(K::Eq, num(1), num(2))},
      {R"({"cross_above": ["fast", "slow"]})",
       Condition::make_compare(K::CrossAbove, ref("fast"), ref("slow"))},
      {R"({"cross_below": ["fast", "slow"]})",
       Condition::make_compare(K::CrossBelow, ref("fast"), ref("slow"))},
      {R"({"between": ["x", -1, 2.5]})", Condition::make_between(ref("x"), num(-1), num(2.5))},
      {R"({"rising": ["sma", 4294967295]})", Condition::make_trend(K::Rising, ref("sma"), 4294967295u)},
      {R"({"falling": ["sma", 0]})", Condition::make_trend(K::Falling, ref("sma"), 0)},
      {R"({"all": []})", Condition::make_group(K::All, {})},
      {R"({"any": []})", Condition::make_group(K::Any, {})},
      {R"({"any": [{"in_position": true}, {"in_position": false}]})",
       Condition::make_group(K::Any, {Condition::make_in_position(true), Condition::make_in_position(false)})},
      {R"({"not": {"not": {"gt": ["a", "b"]}}})",
       Condition::make_not(Condition::make_not(Condition::make_compare(K::Gt, ref("a"), ref("b"))))},
      {R"({"bars_since_entry": {"ge": 3}})", Condition::make_bars_since_entry(BarsCmp::Ge, 3)},
      {R"({"bars_since_entry": {"eq": 0}})", Condition::make_bars_since_entry(BarsCmp::Eq, 0)},
      // expressions nest inside comparisons
      {R"({"gt": [{"prev": ["rsi", 1]}, {"mul": [{"price": "close"}, 1.02]}]})",
       Condition::make_compare(K::Gt, Operand::make_prev(ref("rsi"), 1),
                               Operand::make_binary(Operand::Kind::Mul, Operand::make_price(PriceField::Close),
                                                    num(1.02)))},
  };
  for (const Good& c : cases) EXPECT_EQ(read_ok(condition, c.json), c.want) << c.json;
}

TEST(ReadOperand, ReadsEveryForm) {
  using K = Operand::Kind;
  auto operand = [](const json::Value& v) { return read_operand(v); };
  struct Good {
    const char* json;
    Operand want;
  };
  const Good cases[] = {
      {R"("macd.signal")", ref("macd.signal")},
      {R"("70")", ref("70")},  // a string is always a reference
      {R"("")", ref("")},
      {R"(70)", num(70)},
      {R"(-3)", num(-3)},
      {R"(1.02)", num(1.02)},
      {R"(9007199254740993)", num(9007199254740992.0)},  // nearest f64
      {R"(18446744073709551615)", num(18446744073709551616.0)},
      {R"({"price": "open"})", Operand::make_price(PriceField::Open)},
      {R"({"price": "hlc3"})", Operand::make_price(PriceField::Hlc3)},
      {R"({"price": "ohlc4"})", Operand::make_price(PriceField::Ohlc4)},
      {R"({"prev": ["rsi", 1]})", Operand::make_prev(ref("rsi"), 1)},
      {R"({"prev": [{"prev": [5, 2]}, 4294967295]})",
       Operand::make_prev(Operand::make_prev(num(5), 2), 4294967295u)},
      {R"({"add": [1, "a"]})", Operand::make_binary(K::Add, num(1), ref("a"))},
      {R"({"div": [1, "a"]})", Operand::make_binary(K::Div, num(1), ref("a"))},
  };
  for (const Good& c : cases) EXPECT_EQ(read_ok(operand, c.json), c.want) << c.json;
}

}  // namespace
}  // namespace fendro
