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
// Every node measured is noted with the thread's scope; once it says stop
// the answer is of no use.
std::uint64_t operand_lookback(const Operand& o);
std::uint64_t condition_lookback(const Condition& c);

// Rules compiled once per run: flat nodes, negations folded into a flag, and
// every indicator reference resolved to a value key (an index into the
// window's per-record values), so evaluation never touches a string.
//
// A node with kHeavyNodes or more nodes under it (itself included) is
// heavy: a rule of thousands of conditions, an expression of thousands of
// terms. Evaluating a heavy node notes the nodes evaluated with the thread's
// scope, which asks the command's interrupt every few milliseconds, and gives
// up once told to stop; the light nodes, every rule a strategy is likely to
// hold, are evaluated without a count.
class RuleSet {
 public:
  using Id = std::uint32_t;

  // Nodes under a node (itself included) from which it is heavy.
  static constexpr std::uint64_t kHeavyNodes = 4096;

  RuleSet() = default;
  // keys() views the texts key_index_ holds: moved with it, never copied.
  RuleSet(RuleSet&&) = default;
  RuleSet& operator=(RuleSet&&) = default;
  RuleSet(const RuleSet&) = delete;
  RuleSet& operator=(const RuleSet&) = delete;

  // Compiles `c`, interning its references; returns the root to evaluate.
  // Every node compiled is noted with the thread's scope; once it says stop
  // the rest of `c` is left out, and the set is not to be evaluated.
  Id add(const Condition& c);
  // Makes room for all of `rules` at once, ahead of adding them one by one:
  // the nodes of the first are then never copied to grow room for the next.
  // False once told to stop.
  bool make_room_for(std::span<const Condition* const> rules);

  // The distinct reference texts, in order of first appearance; key k of the
  // window holds the value stored under keys()[k]. They live as long as the set.
  std::span<const std::string_view> keys() const { return keys_; }
  // A long text is compared in stretches, the thread's scope asked between
  // them: nothing once told to stop.
  std::optional<std::size_t> find_key(std::string_view text) const;

  // Nodes under a node, itself included (saturating).
  std::uint64_t operand_weight(Id id) const { return operand_weights_[id]; }
  std::uint64_t condition_weight(Id id) const { return condition_weights_[id]; }
  // Whether some node is heavy.
  bool has_heavy() const { return has_heavy_; }

  // Frees the interned texts in stretches, the thread's scope asked between
  // them; the set is empty after. False once told to stop.
  bool release_paced();

  struct OperandNode {
    Operand::Kind kind;
    PriceField price;
    bool heavy;
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
    bool heavy;
    std::uint32_t cross_keys[2];
  };

  const OperandNode& operand(Id id) const { return operands_[id]; }
  const ConditionNode& condition(Id id) const { return conditions_[id]; }
  Id child(Id k) const { return child_ids_[k]; }

 private:
  // What compiling a condition adds.
  struct NodeCount {
    std::uint64_t conditions = 0;
    std::uint64_t operands = 0;
    std::uint64_t children = 0;  // of All / Any
  };
  static void count(const Condition& c, NodeCount& n);
  static void count(const Operand& o, NodeCount& n);
  // Room for `n` more nodes, what is held copied in stretches: a compile
  // never grows storage (copying all it holds at once) as it goes. False
  // once told to stop.
  bool make_room(const NodeCount& n);
  Id add_condition(const Condition& c);
  Id add_operand(const Operand& o);
  // A node standing for what a stopped compile left out.
  Id add_left_out();
  std::uint32_t intern(const std::string& text);
  std::uint32_t intern_long(std::string_view text);
  std::uint32_t add_key(std::map<std::string, std::uint32_t, std::less<>>::iterator at);

  std::vector<OperandNode> operands_;
  std::vector<ConditionNode> conditions_;
  std::vector<std::uint64_t> operand_weights_;
  std::vector<std::uint64_t> condition_weights_;
  std::vector<Id> child_ids_;
  // The texts of key_index_, in order of first appearance.
  std::vector<std::string_view> keys_;
  // Text -> position in keys_: a spec may reference many thousands of keys.
  std::map<std::string, std::uint32_t, std::less<>> key_index_;
  bool has_heavy_ = false;
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
