#include "fendro/strategy/rules.hpp"

#include <utility>

#include "fendro/strategy/tree_pacing.hpp"

namespace fendro {

namespace {

// A vector owning exactly the given records.
template <class T, class... Ts>
std::vector<T> owned(Ts&&... xs) {
  std::vector<T> v;
  v.reserve(sizeof...(xs));
  (v.push_back(std::forward<Ts>(xs)), ...);
  return v;
}

}  // namespace

Operand Operand::make_reference(std::string ref) {
  Operand o;
  o.kind = Kind::Reference;
  o.reference = std::move(ref);
  return o;
}

Operand Operand::make_constant(double x) {
  Operand o;
  o.kind = Kind::Constant;
  o.constant = x;
  return o;
}

Operand Operand::make_price(PriceField f) {
  Operand o;
  o.kind = Kind::Price;
  o.price = f;
  return o;
}

Operand Operand::make_prev(Operand inner, std::uint32_t bars) {
  Operand o;
  o.kind = Kind::Prev;
  o.n = bars;
  o.children = owned<Operand>(std::move(inner));
  return o;
}

Operand Operand::make_binary(Kind k, Operand a, Operand b) {
  Operand o;
  o.kind = k;
  o.children = owned<Operand>(std::move(a), std::move(b));
  return o;
}

Condition Condition::make_compare(Kind k, Operand a, Operand b) {
  Condition c;
  c.kind = k;
  c.operands = owned<Operand>(std::move(a), std::move(b));
  return c;
}

Condition Condition::make_between(Operand x, Operand lo, Operand hi) {
  Condition c;
  c.kind = Kind::Between;
  c.operands = owned<Operand>(std::move(x), std::move(lo), std::move(hi));
  return c;
}

Condition Condition::make_trend(Kind k, Operand x, std::uint32_t bars) {
  Condition c;
  c.kind = k;
  c.n = bars;
  c.operands = owned<Operand>(std::move(x));
  return c;
}

Condition Condition::make_group(Kind k, std::vector<Condition> cs) {
  Condition c;
  c.kind = k;
  c.children = std::move(cs);
  return c;
}

Condition Condition::make_not(Condition inner) {
  Condition c;
  c.kind = Kind::Not;
  c.children = owned<Condition>(std::move(inner));
  return c;
}

Condition Condition::make_in_position(bool want) {
  Condition c;
  c.kind = Kind::InPosition;
  c.in_position = want;
  return c;
}

Condition Condition::make_bars_since_entry(BarsCmp cmp, std::uint32_t bars) {
  Condition c;
  c.kind = Kind::BarsSinceEntry;
  c.cmp = cmp;
  c.n = bars;
  return c;
}

bool release_paced(Operand& o) {
  for (Operand& child : o.children) {
    if (!release_paced(child)) return false;
  }
  o.children = {};
  // A long reference takes long to free.
  std::uint64_t left = 0;
  if (!give_back_paced(o.reference.data(), o.reference.capacity(), left)) return false;
  std::string().swap(o.reference);
  return !pass_stop_after(kFreeNodeSteps + left / kFreedBytesPerStep);
}

bool release_paced(std::vector<Condition>& cs) {
  SmallFrees small;
  while (!cs.empty()) {
    if (!release_paced(cs.back())) return false;
    cs.pop_back();
    small.freed();
  }
  // The children of a long group are tens of megabytes.
  return !free_and_note(cs);
}

bool release_paced(Condition& c) {
  for (Operand& o : c.operands) {
    if (!release_paced(o)) return false;
  }
  c.operands = {};
  if (!release_paced(c.children)) return false;
  return !pass_stop_after(kFreeNodeSteps);
}

}  // namespace fendro
