// Reading conditions and operands from the value tree.
#include <array>
#include <optional>
#include <string_view>

#include "fendro/strategy/reading.hpp"
#include "fendro/strategy/rules.hpp"

namespace fendro {

namespace {

using reading::Read;
using reading::Step;

constexpr std::array<std::string_view, 16> kConditionKeys = {
    "gt",          "lt",      "ge",     "le",  "eq",  "ne",  "cross_above", "cross_below",
    "between",     "rising",  "falling", "all", "any", "not", "in_position", "bars_since_entry"};

constexpr std::array<std::string_view, 5> kBarsCmpKeys = {"gt", "lt", "ge", "le", "eq"};

constexpr std::array<std::string_view, 7> kPriceFields = {"open",   "high", "low",  "close",
                                                          "volume", "hlc3", "ohlc4"};

constexpr std::array<std::string_view, 6> kExpressionKeys = {"price", "prev", "add",
                                                             "sub",   "mul",  "div"};

constexpr std::string_view kOperandMismatch =
    "data did not match any variant of untagged enum Operand";

// Operands are untagged: a form either fits or not, and a misfit anywhere
// inside reports only the one untagged message. Recursion depth is bounded by
// the parser's nesting limit; the number of nodes is not, so each one is
// noted with the thread's scope (tree_pacing.hpp), and a stop there makes
// the form not fit: the reader's caller finds the scope stopped.
bool fit_operand(const json::Value& v, Operand& out);

bool fit_pair(const json::Value& v, Operand& a, Operand& b) {
  if (!v.is_array() || v.size != 2) return false;
  return fit_operand(v.as_array()[0], a) && fit_operand(v.as_array()[1], b);
}

bool fit_expression(const json::Value& v, Operand& out) {
  if (v.size != 1) return false;
  const json::Member& m = v.as_object()[0];
  std::size_t key = 0;
  while (key < kExpressionKeys.size() && kExpressionKeys[key] != m.key) ++key;
  const json::Value& p = m.value;
  switch (key) {
    case 0: {  // price
      if (!p.is_string()) return false;
      for (std::size_t f = 0; f < kPriceFields.size(); ++f) {
        if (kPriceFields[f] == p.as_string()) {
          out = Operand::make_price(static_cast<PriceField>(f));
          return true;
        }
      }
      return false;
    }
    case 1: {  // prev
      if (!p.is_array() || p.size != 2) return false;
      Operand inner;
      if (!fit_operand(p.as_array()[0], inner)) return false;
      auto bars = reading::read_u32(p.as_array()[1]);
      if (!bars.ok()) return false;
      out = Operand::make_prev(std::move(inner), *bars);
      return true;
    }
    case 2:
    case 3:
    case 4:
    case 5: {
      Operand a;
      Operand b;
      if (!fit_pair(p, a, b)) return false;
      constexpr Operand::Kind kArithmetic[] = {Operand::Kind::Add, Operand::Kind::Sub,
                                               Operand::Kind::Mul, Operand::Kind::Div};
      out = Operand::make_binary(kArithmetic[key - 2], std::move(a), std::move(b));
      return true;
    }
    default:
      return false;
  }
}

bool fit_operand(const json::Value& v, Operand& out) {
  if (pass_stop_after(kReadNodeSteps)) return false;
  if (v.is_string()) {
    // A reference may be very long: copied in stretches, asking between them.
    std::string reference;
    if (!append_paced(reference, v.as_string())) return false;
    out = Operand::make_reference(std::move(reference));
    return true;
  }
  if (v.is_number()) {
    out = Operand::make_constant(v.as_f64());
    return true;
  }
  if (v.is_object()) return fit_expression(v, out);
  return false;
}

// [a, b] or [x, lo, hi] of operands.
Read<std::vector<Operand>> read_operands(const json::Value& v, std::size_t n) {
  std::vector<Operand> xs(n);
  FENDRO_CHECK(reading::read_tuple(v, n, [&](std::size_t i, const json::Value& e) -> Step {
    auto o = read_operand(e);
    if (!o.ok()) return err(std::move(o).error());
    xs[i] = std::move(o).value();
    return Unit{};
  }));
  return xs;
}

// [operand, n] of "rising" and "falling".
Read<Condition> read_trend(Condition::Kind kind, const json::Value& v) {
  Operand x;
  std::uint32_t bars = 0;
  FENDRO_CHECK(reading::read_tuple(v, 2, [&](std::size_t i, const json::Value& e) -> Step {
    if (i == 0) {
      auto o = read_operand(e);
      if (!o.ok()) return err(std::move(o).error());
      x = std::move(o).value();
    } else {
      auto u = reading::read_u32(e);
      if (!u.ok()) return err(std::move(u).error());
      bars = *u;
    }
    return Unit{};
  }));
  return Condition::make_trend(kind, std::move(x), bars);
}

Read<Condition> read_group(Condition::Kind kind, const json::Value& v) {
  if (!v.is_array()) return err(json::invalid_type(v, "a sequence"));
  std::vector<Condition> cs;
  cs.reserve(v.size);
  for (const json::Value& e : v.as_array()) {
    auto c = read_condition(e);
    if (!c) {
      // What was read of a long group goes in stretches before the fault is told.
      release_paced(cs);
      return err(std::move(c).error());
    }
    cs.push_back(std::move(c).value());
  }
  return Condition::make_group(kind, std::move(cs));
}

Read<Condition> read_bars_since_entry(const json::Value& v) {
  FENDRO_TRY(tag, reading::read_external_tag(v, kBarsCmpKeys));
  if (tag.payload == nullptr) return err(reading::unit_variant_needs_payload());
  FENDRO_TRY(bars, reading::read_u32(*tag.payload));
  return Condition::make_bars_since_entry(static_cast<BarsCmp>(tag.index), bars);
}

}  // namespace

Result<Operand, std::string> read_operand(const json::Value& v) {
  Operand out;
  if (!fit_operand(v, out)) return err(std::string(kOperandMismatch));
  return out;
}

Result<Condition, std::string> read_condition(const json::Value& v) {
  if (pass_stop_after(kReadNodeSteps)) return err(reading::stopped_reading());
  FENDRO_TRY(tag, reading::read_external_tag(v, kConditionKeys));
  if (tag.payload == nullptr) return err(reading::unit_variant_needs_payload());
  const json::Value& p = *tag.payload;
  const auto kind = static_cast<Condition::Kind>(tag.index);
  switch (kind) {
    case Condition::Kind::Gt:
    case Condition::Kind::Lt:
    case Condition::Kind::Ge:
    case Condition::Kind::Le:
    case Condition::Kind::Eq:
    case Condition::Kind::Ne:
    case Condition::Kind::CrossAbove:
    case Condition::Kind::CrossBelow: {
      FENDRO_TRY(xs, read_operands(p, 2));
      return Condition::make_compare(kind, std::move(xs[0]), std::move(xs[1]));
    }
    case Condition::Kind::Between: {
      FENDRO_TRY(xs, read_operands(p, 3));
      return Condition::make_between(std::move(xs[0]), std::move(xs[1]), std::move(xs[2]));
    }
    case Condition::Kind::Rising:
    case Condition::Kind::Falling:
      return read_trend(kind, p);
    case Condition::Kind::All:
    case Condition::Kind::Any:
      return read_group(kind, p);
    case Condition::Kind::Not: {
      FENDRO_TRY(inner, read_condition(p));
      return Condition::make_not(std::move(inner));
    }
    case Condition::Kind::InPosition: {
      FENDRO_TRY(want, reading::read_bool(p));
      return Condition::make_in_position(want);
    }
    case Condition::Kind::BarsSinceEntry:
      return read_bars_since_entry(p);
  }
  return err(reading::unknown_variant("", kConditionKeys));  // not reached: every key has a case
}

}  // namespace fendro
