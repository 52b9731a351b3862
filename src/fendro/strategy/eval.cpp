#include "fendro/strategy/eval.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "fendro/strategy/tiny.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro {

// ---------------------------------------------------------------- lookback

std::uint64_t operand_lookback(const Operand& o) {
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
      for (const Condition& child : node->children) most = std::max(most, condition_lookback(child));
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
  const auto found = key_index_.find(text);
  if (found == key_index_.end()) return std::nullopt;
  return found->second;
}

std::uint32_t RuleSet::intern(const std::string& text) {
  const auto [at, added] = key_index_.try_emplace(text, static_cast<std::uint32_t>(keys_.size()));
  if (added) keys_.push_back(text);
  return at->second;
}

RuleSet::Id RuleSet::add_operand(const Operand& o) {
  OperandNode node{o.kind, o.price, o.n, o.constant, 0, 0, 0};
  switch (o.kind) {
    case Operand::Kind::Reference: node.key = intern(o.reference); break;
    case Operand::Kind::Constant:
    case Operand::Kind::Price: break;
    case Operand::Kind::Prev: node.a = add_operand(o.children[0]); break;
    case Operand::Kind::Add:
    case Operand::Kind::Sub:
    case Operand::Kind::Mul:
    case Operand::Kind::Div:
      node.a = add_operand(o.children[0]);
      node.b = add_operand(o.children[1]);
      break;
  }
  operands_.push_back(node);
  return static_cast<Id>(operands_.size() - 1);
}

RuleSet::Id RuleSet::add(const Condition& c) {
  const Condition* src = &c;
  bool invert = false;
  while (src->kind == Condition::Kind::Not) {
    src = &src->children[0];
    invert = !invert;
  }
  ConditionNode node{src->kind, src->cmp, src->in_position, invert, src->n, {0, 0, 0}, 0, 0, false, {0, 0}};
  for (std::size_t k = 0; k < src->operands.size() && k < 3; ++k) node.ops[k] = add_operand(src->operands[k]);
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
    for (const Condition& child : src->children) kids.push_back(add(child));
    node.first = static_cast<Id>(child_ids_.size());
    node.count = static_cast<Id>(kids.size());
    child_ids_.insert(child_ids_.end(), kids.begin(), kids.end());
  }
  conditions_.push_back(node);
  return static_cast<Id>(conditions_.size() - 1);
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
    case PriceField::Hlc3: return ((c.high + c.low) + c.close) / 3.0;
    case PriceField::Ohlc4: return (((c.open + c.high) + c.low) + c.close) * 0.25;
  }
  return 0.0;
}

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

}  // namespace

std::optional<double> eval_operand(const RuleSet& rules, RuleSet::Id id, const RuleWindow& w,
                                   std::uint64_t i) {
  if (i >= w.size()) return std::nullopt;
  const RuleSet::OperandNode& node = rules.operand(id);
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
      switch (node.kind) {
        case Operand::Kind::Add: return *a + *b;
        case Operand::Kind::Sub: return *a - *b;
        case Operand::Kind::Mul: return *a * *b;
        default: return is_tiny(*b) ? std::numeric_limits<double>::quiet_NaN() : *a / *b;
      }
    }
  }
  return std::nullopt;
}

bool eval_condition_general(const RuleSet& rules, RuleSet::Id id, const RuleWindow& w, std::uint64_t i,
                            const PositionFlags& flags) {
  const RuleSet::ConditionNode& node = rules.condition(id);
  return test(rules, node, w, i, flags) != node.invert;
}

}  // namespace fendro
