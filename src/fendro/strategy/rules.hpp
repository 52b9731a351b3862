// The rule language: conditions over operands, as read from a strategy.
//
// Both records are small owned trees. Indicator references stay text here
// ("rsi", "macd.signal"); the engine resolves them to value slots once per run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fendro/json/value.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// A field of the bar's candle, or a price derived from it.
enum class PriceField : std::uint8_t { Open, High, Low, Close, Volume, Hlc3, Ohlc4 };

// The comparator of "bars_since_entry".
enum class BarsCmp : std::uint8_t { Gt, Lt, Ge, Le, Eq };

// A number a rule compares: an indicator value, a constant, or an expression.
struct Operand {
  enum class Kind : std::uint8_t {
    Reference,  // `reference`: indicator id, or id "." output name
    Constant,   // `constant`
    Price,      // `price` of the bar
    Prev,       // children[0] evaluated `n` bars earlier
    Add,        // children[0] + children[1]
    Sub,        // children[0] - children[1]
    Mul,        // children[0] * children[1]
    Div,        // children[0] / children[1]
  };

  Kind kind = Kind::Constant;
  PriceField price = PriceField::Close;
  std::uint32_t n = 0;
  double constant = 0.0;
  std::string reference;
  std::vector<Operand> children;  // one for Prev, two for the arithmetic kinds

  static Operand make_reference(std::string ref);
  static Operand make_constant(double x);
  static Operand make_price(PriceField f);
  static Operand make_prev(Operand inner, std::uint32_t bars);
  static Operand make_binary(Kind k, Operand a, Operand b);

  bool operator==(const Operand&) const = default;
};

// A boolean test. The kind's numeric value is its code in the rule language.
struct Condition {
  enum class Kind : std::uint8_t {
    Gt,
    Lt,
    Ge,
    Le,
    Eq,
    Ne,
    CrossAbove,
    CrossBelow,
    Between,         // operands: value, lower, upper
    Rising,          // operands[0] over `n` bars
    Falling,         // operands[0] over `n` bars
    All,             // children, possibly none
    Any,             // children, possibly none
    Not,             // children[0]
    InPosition,      // `in_position`
    BarsSinceEntry,  // `cmp` against `n`
  };

  Kind kind = Kind::All;
  std::vector<Operand> operands;    // two for Gt..CrossBelow, three for Between, one for Rising/Falling
  std::vector<Condition> children;  // All / Any / Not
  std::uint32_t n = 0;
  BarsCmp cmp = BarsCmp::Gt;
  bool in_position = false;

  static Condition make_compare(Kind k, Operand a, Operand b);  // Gt .. CrossBelow
  static Condition make_between(Operand x, Operand lo, Operand hi);
  static Condition make_trend(Kind k, Operand x, std::uint32_t bars);  // Rising / Falling
  static Condition make_group(Kind k, std::vector<Condition> cs);      // All / Any
  static Condition make_not(Condition c);
  static Condition make_in_position(bool want);
  static Condition make_bars_since_entry(BarsCmp c, std::uint32_t bars);

  bool operator==(const Condition&) const = default;
};

// Reading failures are texts without line or column. Every node read is
// noted with the thread's scope (tree_pacing.hpp); once it says stop the
// reading fails, and its caller finds the scope stopped.
Result<Condition, std::string> read_condition(const json::Value& v);
Result<Operand, std::string> read_operand(const json::Value& v);

// Frees a tree's nodes, deepest first, each noted with the thread's scope: a
// tree of millions of nodes takes tens of milliseconds to free, so it goes
// in stretches with the command's interrupt asked between them. The records
// are left empty. False once told to stop: what is left then goes with the
// records as usual.
bool release_paced(Condition& c);
bool release_paced(Operand& o);
bool release_paced(std::vector<Condition>& cs);

}  // namespace fendro
