// Rule evaluation over the rule window, and how far back rules can read.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fendro/strategy/rule_window.hpp"
#include "fendro/strategy/rules.hpp"

namespace fendro {

// What a rule reads of the position.
struct PositionFlags {
  bool has_entry = false;             // an opening fill is recorded
  std::uint32_t bars_since_entry = 0; // current bar index minus the entry bar, 32 bits
  bool in_position = false;           // |qty| > 2^-52
};

// Bars before the current one that an operand / condition can read. Counts of
// up to 2^32 - 1 add up through nesting, so this is 64-bit and saturating.
std::uint64_t operand_lookback(const Operand& o);
std::uint64_t condition_lookback(const Condition& c);

// Rules compiled once per run: flat nodes, negations folded into a flag, and
// every indicator reference resolved to a value key (an index into the
// window's per-record values), so evaluation never touches a string.
class RuleSet {
 public:
  using Id = std::uint32_t;

  // Compiles `c`, interning its references; returns the root to evaluate.
  Id add(const Condition& c);

  // The distinct reference texts, in order of first appearance; key k of the
  // window holds the value stored under keys()[k].
  std::span<const std::string> keys() const { return keys_; }
  std::optional<std::size_t> find_key(std::string_view text) const;

  struct OperandNode {
    Operand::Kind kind;
    PriceField price;
    std::uint32_t n;
    double constant;
    std::uint32_t key;  // Reference
    Id a, b;            // children (Prev uses a)
  };
  struct ConditionNode {
    Condition::Kind kind;
    BarsCmp cmp;
    bool want;    // InPosition payload
    bool invert;  // an odd number of "not" wrapped this test
    std::uint32_t n;
    Id ops[3];
    Id first, count;  // All / Any: children are child_ids_[first .. first + count)
    // A crossing of two stored values (both operands references): their
    // value keys, so the test reads the two records without the operands.
    bool crosses_references;
    std::uint32_t cross_keys[2];
  };

  const OperandNode& operand(Id id) const { return operands_[id]; }
  const ConditionNode& condition(Id id) const { return conditions_[id]; }
  Id child(Id k) const { return child_ids_[k]; }

 private:
  Id add_operand(const Operand& o);
  std::uint32_t intern(const std::string& text);

  std::vector<OperandNode> operands_;
  std::vector<ConditionNode> conditions_;
  std::vector<Id> child_ids_;
  std::vector<std::string> keys_;
  // Text -> position in keys_: a spec may reference many thousands of keys.
  std::map<std::string, std::uint32_t, std::less<>> key_index_;
};

// The operand's value at window record `index`; absent when the value does not
// exist (index outside the window, no value stored, a `prev` reaching before
// the window).
std::optional<double> eval_operand(const RuleSet& rules, RuleSet::Id operand, const RuleWindow& window,
                                   std::uint64_t index);
// Whether a crossing of two references (node.crosses_references) holds at
// record `index`, before any inversion: the values of records index and
// index - 1 must all be there.
inline bool crossing_of_references(const RuleSet::ConditionNode& node, const RuleWindow& window,
                                   std::uint64_t index) {
  if (index == 0 || index >= window.size()) return false;
  const std::optional<double>* now = window.values_at(index);
  const std::optional<double>* before = window.values_at(index - 1);
  const std::optional<double>& xa = now[node.cross_keys[0]];
  const std::optional<double>& yb = now[node.cross_keys[1]];
  const std::optional<double>& xc = before[node.cross_keys[0]];
  const std::optional<double>& yd = before[node.cross_keys[1]];
  if (!xa.has_value() || !yb.has_value() || !xc.has_value() || !yd.has_value()) return false;
  // a, b now; c, d (their previous values) one bar before.
  const double a = *xa, b = *yb, c = *xc, d = *yd;
  return node.kind == Condition::Kind::CrossAbove ? (c <= d && a > b) : (c >= d && a < b);
}

// Every other condition.
bool eval_condition_general(const RuleSet& rules, RuleSet::Id condition, const RuleWindow& window,
                            std::uint64_t index, const PositionFlags& flags);

// Whether the condition holds at window record `index`. The commonest rule,
// one indicator crossing another, is tested here without a call.
inline bool eval_condition(const RuleSet& rules, RuleSet::Id condition, const RuleWindow& window,
                           std::uint64_t index, const PositionFlags& flags) {
  const RuleSet::ConditionNode& node = rules.condition(condition);
  if (node.crosses_references) return crossing_of_references(node, window, index) != node.invert;
  return eval_condition_general(rules, condition, window, index, flags);
}

}  // namespace fendro
