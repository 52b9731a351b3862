#include "fendro/strategy/eval.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/strategy/tiny.hpp"
#include "fendro/strategy/tree_pacing.hpp"
#include "fendro/util/paced_copy.hpp"
#include "fendro/util/paced_grow.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro {

// ---------------------------------------------------------------- lookback

std::uint64_t operand_lookback(const Operand& o) {
  if (pass_stop_after(kMeasureNodeSteps)) return 0;
  switch (o.kind) {
    case Operand::Kind::Reference:
    case Operand::Kind::Constant:
    case Operand::Kind::Price:
      return 0;
    case Operand::Kind::Prev:
      return sat_add(o.n, operand_lookback(o.children[0]));
    case Operand::Kind::Add:
    case Operand::Kind::Sub:
    case Operand::Kind::Mul:
    case Operand::Kind::Div:
      return std::max(operand_lookback(o.children[0]), operand_lookback(o.children[1]));
  }
  return 0;
}

std::uint64_t condition_lookback(const Condition& c) {
  if (pass_stop_after(kMeasureNodeSteps)) return 0;
  const Condition* node = &c;
  while (node->kind == Condition::Kind::Not) node = &node->children[0];
  std::uint64_t most = 0;
  switch (node->kind) {
    case Condition::Kind::Gt:
    case Condition::Kind::Lt:
    case Condition::Kind::Ge:
    case Condition::Kind::Le:
    case Condition::Kind::Eq:
    case Condition::Kind::Ne:
    case Condition::Kind::Between:
      for (const Operand& o : node->operands) most = std::max(most, operand_lookback(o));
      return most;
    case Condition::Kind::CrossAbove:
    case Condition::Kind::CrossBelow:
      for (const Operand& o : node->operands) most = std::max(most, operand_lookback(o));
      return sat_add(most, 1);
    case Condition::Kind::Rising:
    case Condition::Kind::Falling:
      return sat_add(operand_lookback(node->operands[0]), node->n);
    case Condition::Kind::All:
    case Condition::Kind::Any:
      for (const Condition& child : node->children) {
        most = std::max(most, condition_lookback(child));
        if (pass_stopped()) return 0;
      }
      return most;
    case Condition::Kind::Not:  // unwrapped above
    case Condition::Kind::InPosition:
    case Condition::Kind::BarsSinceEntry:
      return 0;
  }
  return 0;
}

// ---------------------------------------------------------------- compiling

std::optional<std::size_t> RuleSet::find_key(std::string_view text) const {
  // A long text is compared in stretches, asking between them.
  const auto found = find_paced(key_index_, text, scope_interrupt());
  if (!found || *found == key_index_.end()) return std::nullopt;
  return (*found)->second;
}

std::uint32_t RuleSet::add_key(std::map<std::string, std::uint32_t, std::less<>>::iterator at) {
  keys_.push_back(at->first);
  return at->second;
}

std::uint32_t RuleSet::intern(const std::string& text) {
  if (text.size() > kCopyStretchBytes) return intern_long(text);
  const auto [at, added] = key_index_.try_emplace(text, static_cast<std::uint32_t>(keys_.size()));
  if (added) return add_key(at);
  return at->second;
}

// A long text is looked up and copied in stretches, asking between them.
// Told to stop, it gives key 0: the set is not to be evaluated.
std::uint32_t RuleSet::intern_long(std::string_view text) {
  const Interrupt interrupt = scope_interrupt();
  const auto found = find_paced(key_index_, text, interrupt);
  if (!found) return 0;
  if (*found != key_index_.end()) return (*found)->second;
  std::string copy;
  if (!copy_paced(text, copy, interrupt)) return 0;
  return add_key(key_index_.try_emplace(std::move(copy), static_cast<std::uint32_t>(keys_.size())).first);
}

void RuleSet::count(const Operand& o, NodeCount& n) {
  if (pass_stop_after(kMeasureNodeSteps)) return;
  ++n.operands;
  for (const Operand& child : o.children) count(child, n);
}

void RuleSet::count(const Condition& c, NodeCount& n) {
  if (pass_stop_after(kMeasureNodeSteps)) return;
  const Condition* src = &c;
  while (src->kind == Condition::Kind::Not) src = &src->children[0];
  ++n.conditions;
  for (std::size_t k = 0; k < src->operands.size() && k < 3; ++k) count(src->operands[k], n);
  if (src->kind == Condition::Kind::All || src->kind == Condition::Kind::Any) {
    n.children += src->children.size();
    for (const Condition& child : src->children) {
      count(child, n);
      if (pass_stopped()) return;
    }
  }
}

bool RuleSet::make_room(const NodeCount& n) {
  const Interrupt interrupt = scope_interrupt();
  const auto room = [&](auto& v, std::uint64_t more) {
    return reserve_paced(v, static_cast<std::size_t>(v.size() + more), interrupt);
  };
  return room(operands_, n.operands) && room(operand_weights_, n.operands) && room(conditions_, n.conditions) &&
         room(condition_weights_, n.conditions) && room(child_ids_, n.children) && !pass_stopped();
}

bool RuleSet::make_room_for(std::span<const Condition* const> rules) {
  NodeCount n;
  for (const Condition* c : rules) count(*c, n);
  return !pass_stopped() && make_room(n);
}

RuleSet::Id RuleSet::add(const Condition& c) {
  const Condition* const one[] = {&c};
  if (!make_room_for(one)) return add_left_out();
  return add_condition(c);
}

RuleSet::Id RuleSet::add_operand(const Operand& o) {
  if (pass_stop_after(kCompileNodeSteps)) {
    // Never evaluated: a node already there stands for what is left out, so
    // a stopped compile grows nothing.
    if (operands_.empty()) {
      operands_.push_back(OperandNode{Operand::Kind::Constant, PriceField::Close, false, 0, 0.0, 0, 0, 0});
      operand_weights_.push_back(1);
    }
    return 0;
  }
  OperandNode node{o.kind, o.price, false, o.n, o.constant, 0, 0, 0};
  std::uint64_t weight = 1;
  switch (o.kind) {
    case Operand::Kind::Reference: node.key = intern(o.reference); break;
    case Operand::Kind::Constant:
    case Operand::Kind::Price: break;
    case Operand::Kind::Prev:
      node.a = add_operand(o.children[0]);
      weight = sat_add(weight, operand_weights_[node.a]);
      break;
    case Operand::Kind::Add:
    case Operand::Kind::Sub:
    case Operand::Kind::Mul:
    case Operand::Kind::Div:
      node.a = add_operand(o.children[0]);
      node.b = add_operand(o.children[1]);
      weight = sat_add(weight, sat_add(operand_weights_[node.a], operand_weights_[node.b]));
      break;
  }
  node.heavy = weight >= kHeavyNodes;
  has_heavy_ = has_heavy_ || node.heavy;
  operands_.push_back(node);
  operand_weights_.push_back(weight);
  return static_cast<Id>(operands_.size() - 1);
}

RuleSet::Id RuleSet::add_left_out() {
  // Never evaluated: a node already there stands for what is left out, so a
  // stopped compile grows nothing.
  if (conditions_.empty()) {
    conditions_.push_back(
        ConditionNode{Condition::Kind::All, BarsCmp::Gt, false, false, 0, {0, 0, 0}, 0, 0, false, false, {0, 0}});
    condition_weights_.push_back(1);
  }
  return 0;
}

RuleSet::Id RuleSet::add_condition(const Condition& c) {
  if (pass_stop_after(kCompileNodeSteps)) return add_left_out();
  const Condition* src = &c;
  bool invert = false;
  while (src->kind == Condition::Kind::Not) {
    src = &src->children[0];
    invert = !invert;
  }
  ConditionNode node{src->kind, src->cmp, src->in_position, invert, src->n, {0, 0, 0}, 0, 0, false, false, {0, 0}};
  std::uint64_t weight = 1;
  for (std::size_t k = 0; k < src->operands.size() && k < 3; ++k) {
    node.ops[k] = add_operand(src->operands[k]);
    weight = sat_add(weight, operand_weights_[node.ops[k]]);
  }
  if ((src->kind == Condition::Kind::CrossAbove || src->kind == Condition::Kind::CrossBelow) &&
      src->operands.size() == 2 && operands_[node.ops[0]].kind == Operand::Kind::Reference &&
      operands_[node.ops[1]].kind == Operand::Kind::Reference) {
    node.crosses_references = true;
    node.cross_keys[0] = operands_[node.ops[0]].key;
    node.cross_keys[1] = operands_[node.ops[1]].key;
  }
  if (src->kind == Condition::Kind::All || src->kind == Condition::Kind::Any) {
    std::vector<Id> kids;
    kids.reserve(src->children.size());
    for (const Condition& child : src->children) {
      kids.push_back(add_condition(child));
      weight = sat_add(weight, condition_weights_[kids.back()]);
      if (pass_stopped()) break;
    }
    node.first = static_cast<Id>(child_ids_.size());
    node.count = static_cast<Id>(kids.size());
    child_ids_.insert(child_ids_.end(), kids.begin(), kids.end());
  }
  node.heavy = weight >= kHeavyNodes;
  has_heavy_ = has_heavy_ || node.heavy;
  conditions_.push_back(node);
  condition_weights_.push_back(weight);
  return static_cast<Id>(conditions_.size() - 1);
}

bool RuleSet::release_paced() {
  // Each store of nodes may be tens of megabytes; an interned text may be
  // as long.
  return !free_and_note(operands_) && !free_and_note(operand_weights_) && !free_and_note(conditions_) &&
         !free_and_note(condition_weights_) && !free_and_note(child_ids_) && !free_and_note(keys_) &&
         erase_paced(key_index_, [](const auto& entry, std::uint64_t& left) {
           return give_back_paced(entry.first.data(), entry.first.capacity(), left);
         });
}

// ---------------------------------------------------------------- evaluation

namespace {

double price_of(const Candle& c, PriceField f) {
  switch (f) {
    case PriceField::Open: return c.open;
    case PriceField::High: return c.high;
    case PriceField::Low: return c.low;
    case PriceField::Close: return c.close;
    case PriceField::Volume: return c.volume;
    case PriceField::Hlc3: return typical_price(c);
    case PriceField::Ohlc4: return (((c.open + c.high) + c.low) + c.close) * 0.25;
  }
  return 0.0;
}

// The value of an arithmetic operand of kind `kind` over its two values.
double arithmetic(Operand::Kind kind, double a, double b) {
  switch (kind) {
    case Operand::Kind::Add: return a + b;
    case Operand::Kind::Sub: return a - b;
    case Operand::Kind::Mul: return a * b;
    default: return is_tiny(b) ? std::numeric_limits<double>::quiet_NaN() : a / b;
  }
}

std::optional<double> heavy_value(const RuleSet& rules, RuleSet::Id id, const RuleWindow& w, std::uint64_t i);
bool heavy_holds(const RuleSet& rules, RuleSet::Id id, const RuleWindow& w, std::uint64_t i,
                 const PositionFlags& flags);

bool bars_compare(BarsCmp cmp, std::uint32_t have, std::uint32_t n) {
  switch (cmp) {
    case BarsCmp::Gt: return have > n;
    case BarsCmp::Lt: return have < n;
    case BarsCmp::Ge: return have >= n;
    case BarsCmp::Le: return have <= n;
    case BarsCmp::Eq: return have == n;
  }
  return false;
}

// eval_operand's value into `out`, false when absent. An indicator's stored
// value and a constant, the commonest operands, are read in place; the
// value travels as a plain double, not an optional (copies of which through
// the stack stall on every read).
inline bool operand_at(const RuleSet& rules, RuleSet::Id id, const RuleWindow& w, std::uint64_t i,
                       double& out) {
  const RuleSet::OperandNode& node = rules.operand(id);
  if (i < w.size()) {
    if (node.kind == Operand::Kind::Reference) {
      const std::optional<double>& v = w.value(i, node.key);
      if (!v.has_value()) return false;
      out = *v;
      return true;
    }
    if (node.kind == Operand::Kind::Constant) {
      out = node.constant;
      return true;
    }
  }
  const std::optional<double> v = eval_operand(rules, id, w, i);
  if (!v.has_value()) return false;
  out = *v;
  return true;
}

bool test(const RuleSet& rules, const RuleSet::ConditionNode& node, const RuleWindow& w, std::uint64_t i,
          const PositionFlags& flags) {
  using K = Condition::Kind;
  // Operands have no side effects: whether one is read after another is
  // absent changes nothing.
  const auto at = [&](int k, std::uint64_t idx, double& out) { return operand_at(rules, node.ops[k], w, idx, out); };
  double a = 0.0, b = 0.0, c = 0.0, d = 0.0;
  switch (node.kind) {
    case K::Gt:
    case K::Lt:
    case K::Ge:
    case K::Le:
    case K::Eq:
    case K::Ne: {
      if (!at(0, i, a) || !at(1, i, b)) return false;
      switch (node.kind) {
        case K::Gt: return a > b;
        case K::Lt: return a < b;
        case K::Ge: return a >= b;
        case K::Le: return a <= b;
        case K::Eq: return std::fabs(a - b) < kTiny;
        default: return std::fabs(a - b) >= kTiny;
      }
    }
    case K::CrossAbove:
    case K::CrossBelow: {
      if (node.crosses_references) return crossing_of_references(node, w, i);
      if (i == 0) return false;
      // a, b now; c, d (their previous values) one bar before.
      if (!at(0, i, a) || !at(1, i, b) || !at(0, i - 1, c) || !at(1, i - 1, d)) return false;
      return node.kind == K::CrossAbove ? (c <= d && a > b) : (c >= d && a < b);
    }
    case K::Between: {
      // a the value, b and c the bounds.
      if (!at(0, i, a) || !at(1, i, b) || !at(2, i, c)) return false;
      return b <= a && a <= c;
    }
    case K::Rising:
    case K::Falling: {
      if (i < node.n) return false;
      // a now, b n bars before.
      if (!at(0, i, a) || !at(0, i - node.n, b)) return false;
      return node.kind == K::Rising ? a > b : a < b;
    }
    case K::All:
      for (RuleSet::Id k = 0; k < node.count; ++k) {
        if (!eval_condition(rules, rules.child(node.first + k), w, i, flags)) return false;
      }
      return true;
    case K::Any:
      for (RuleSet::Id k = 0; k < node.count; ++k) {
        if (eval_condition(rules, rules.child(node.first + k), w, i, flags)) return true;
      }
      return false;
    case K::InPosition: return flags.in_position == node.want;
    case K::BarsSinceEntry: return flags.has_entry && bars_compare(node.cmp, flags.bars_since_entry, node.n);
    case K::Not: return false;  // folded into `invert` when compiled
  }
  return false;
}

// A heavy rule's evaluation (RuleSet::kHeavyNodes) is paced: its light
// parts are evaluated as they stand and counted by the nodes under them, the
// count noted with the thread's scope a thousand nodes or so at a time; once
// told to stop, the evaluation gives up with any answer (the run ends as
// stopped). A light rule is evaluated as it stands, and never counted.
class NodeTally {
 public:
  // Nodes evaluated between two notes, and what one costs in the scope's
  // steps: a few nanoseconds alone, but a rule of millions of nodes misses
  // the caches at nearly every one, on a busy machine for up to 200 ns.
  static constexpr std::uint64_t kNodesPerNote = 1024;
  static constexpr std::uint64_t kStepsPerNode = 64;

  NodeTally() : scope_(RunScope::current()) {}
  // After `nodes` more nodes evaluated. True: stop now.
  bool add(std::uint64_t nodes) {
    unnoted_ += nodes;
    if (unnoted_ >= kNodesPerNote) flush();
    return stopped_;
  }
  bool stopped() const { return stopped_; }
  // Notes what is left, at the end of an evaluation.
  void flush() {
    if (scope_ != nullptr && unnoted_ != 0) stopped_ = scope_->stop_after(sat_mul(unnoted_, kStepsPerNode));
    unnoted_ = 0;
  }

 private:
  RunScope* scope_;
  std::uint64_t unnoted_ = 0;
  bool stopped_ = false;
};

// The tally of the heavy evaluation under way on this thread, if any: a
// heavy part met inside another is counted with the outermost one.
thread_local NodeTally* t_tally = nullptr;

// Runs `evaluate` counted with the tally under way, or with one of its own.
template <class Evaluate>
auto tallied(Evaluate&& evaluate) {
  if (t_tally != nullptr) return evaluate(*t_tally);
  NodeTally tally;
  t_tally = &tally;
  const auto result = evaluate(tally);
  tally.flush();
  t_tally = nullptr;
  return result;
}

// A heavy operand: its children evaluated one by one, a light one unpaced
// and counted.
[[gnu::noinline]] std::optional<double> heavy_value(const RuleSet& rules, RuleSet::Id id, const RuleWindow& w,
                                                    std::uint64_t i) {
  return tallied([&](NodeTally& tally) -> std::optional<double> {
    const auto child = [&](RuleSet::Id c, std::uint64_t at) -> std::optional<double> {
      if (tally.add(rules.operand(c).heavy ? 1 : rules.operand_weight(c))) return std::nullopt;
      return eval_operand(rules, c, w, at);
    };
    const RuleSet::OperandNode& node = rules.operand(id);
    // Only the kinds with children have enough nodes under them to be heavy.
    static_assert(RuleSet::kHeavyNodes > 1);
    if (node.kind == Operand::Kind::Prev) {
      if (i < node.n) return std::nullopt;
      return child(node.a, i - node.n);
    }
    const auto a = child(node.a, i);
    if (!a) return std::nullopt;
    const auto b = child(node.b, i);
    if (!b) return std::nullopt;
    return arithmetic(node.kind, *a, *b);
  });
}

// A heavy condition: a group's children evaluated one by one, a light one
// unpaced and counted; any other kind tested as it stands, its heavy
// operands paced as they are evaluated.
[[gnu::noinline]] bool heavy_holds(const RuleSet& rules, RuleSet::Id id, const RuleWindow& w, std::uint64_t i,
                                   const PositionFlags& flags) {
  const RuleSet::ConditionNode& node = rules.condition(id);
  return tallied([&](NodeTally& tally) {
    if (node.kind != Condition::Kind::All && node.kind != Condition::Kind::Any) {
      const bool holds = test(rules, node, w, i, flags) != node.invert;
      // Its light operands too (a heavy one was counted as it went).
      tally.add(rules.condition_weight(id));
      return holds;
    }
    // All: the first child that fails decides; Any: the first that holds.
    const bool decides = node.kind == Condition::Kind::Any;
    for (RuleSet::Id k = 0; k < node.count; ++k) {
      const RuleSet::Id child = rules.child(node.first + k);
      const bool light = !rules.condition(child).heavy;
      const bool holds = eval_condition(rules, child, w, i, flags);
      if (tally.add(light ? rules.condition_weight(child) : 1)) return false;
      if (holds == decides) return decides != node.invert;
    }
    return !decides != node.invert;
  });
}

}  // namespace

std::optional<double> eval_operand(const RuleSet& rules, RuleSet::Id id, const RuleWindow& w,
                                   std::uint64_t i) {
  if (i >= w.size()) return std::nullopt;
  const RuleSet::OperandNode& node = rules.operand(id);
  if (node.heavy) [[unlikely]] return heavy_value(rules, id, w, i);
  switch (node.kind) {
    case Operand::Kind::Constant: return node.constant;
    case Operand::Kind::Reference: return w.record(i).values[node.key];
    case Operand::Kind::Price: return price_of(w.record(i).candle, node.price);
    case Operand::Kind::Prev:
      if (i < node.n) return std::nullopt;
      return eval_operand(rules, node.a, w, i - node.n);
    case Operand::Kind::Add:
    case Operand::Kind::Sub:
    case Operand::Kind::Mul:
    case Operand::Kind::Div: {
      const auto a = eval_operand(rules, node.a, w, i);
      if (!a) return std::nullopt;
      const auto b = eval_operand(rules, node.b, w, i);
      if (!b) return std::nullopt;
      return arithmetic(node.kind, *a, *b);
    }
  }
  return std::nullopt;
}

bool eval_condition_general(const RuleSet& rules, RuleSet::Id id, const RuleWindow& w, std::uint64_t i,
                            const PositionFlags& flags) {
  const RuleSet::ConditionNode& node = rules.condition(id);
  if (node.heavy) [[unlikely]] return heavy_holds(rules, id, w, i, flags);
  return test(rules, node, w, i, flags) != node.invert;
}

}  // namespace fendro
