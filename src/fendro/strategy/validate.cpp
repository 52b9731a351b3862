#include "fendro/strategy/validate.hpp"

#include <string>
#include <string_view>

#include "fendro/registry/registry.hpp"
#include "fendro/strategy/tree_pacing.hpp"
#include "fendro/util/number_format.hpp"
#include "fendro/util/paced_copy.hpp"

namespace fendro {

namespace {

// The runs of blanks inside these two texts are part of them.
constexpr std::string_view kRiskPerTradeNeedsStop =
    "sizing risk_per_trade requires risk.stop_loss_pct: the position size is"
    "                  "
    "derived from the distance to the stop";
constexpr std::string_view kStopLimitNeedsOffsets =
    "stop_limit order_type requires both execution.stop_offset_pct and"
    "                      "
    "execution.limit_offset_pct";

StrategyError invalid(std::string_view text) { return StrategyError::invalid_spec(std::string(text)); }

// What a check told to stop gives: never shown, as the caller finds the
// thread's scope stopped and ends the command as stopped.
StrategyError stopped() { return invalid("stopped"); }

Status<StrategyError> check_rules(const StrategySpec& spec) {
  FENDRO_CHECK(check_condition_refs(spec.entry, spec.indicators));
  FENDRO_CHECK(check_condition_refs(spec.exit, spec.indicators));
  if (spec.short_entry) FENDRO_CHECK(check_condition_refs(*spec.short_entry, spec.indicators));
  if (spec.short_exit) FENDRO_CHECK(check_condition_refs(*spec.short_exit, spec.indicators));
  return Unit{};
}

Status<StrategyError> check_version(std::uint32_t version) {
  if (version == SPEC_VERSION_MAX) return Unit{};
  std::string text = "spec_version ";
  append_u64(text, version);
  text += " is not supported; this build reads 1..=";
  append_u64(text, SPEC_VERSION_MAX);
  return err(StrategyError::invalid_spec(std::move(text)));
}

Status<StrategyError> check_feeds(const IndicatorMap& indicators) {
  for (const auto& [id, ind] : indicators) {
    // Millions of entries take tens of milliseconds to walk.
    if (pass_stop_after(kEntrySteps)) return err(stopped());
    if (!ind.feed) continue;
    const Feed consumed = feed_of_indicator(ind.type);
    if (consumed == Feed::None || consumed == *ind.feed) continue;
    std::string text = "indicator '";
    // An id may be very long.
    if (!append_paced(text, id)) return err(stopped());
    text += "' (";
    text += ind.type;
    text += ") declares feed ";
    text += feed_display_name(*ind.feed);
    text += " but consumes ";
    text += feed_display_name(consumed);
    return err(StrategyError::invalid_spec(std::move(text)));
  }
  return Unit{};
}

Status<StrategyError> check_execution(const Execution& ex) {
  switch (ex.order_type) {
    case OrderType::Market:
      break;
    case OrderType::Limit:
      if (!ex.limit_offset_pct) return err(invalid("limit order_type requires execution.limit_offset_pct"));
      break;
    case OrderType::Stop:
      if (!ex.stop_offset_pct) return err(invalid("stop order_type requires execution.stop_offset_pct"));
      break;
    case OrderType::StopLimit:
      if (!ex.stop_offset_pct || !ex.limit_offset_pct) return err(invalid(kStopLimitNeedsOffsets));
      break;
  }
  if (ex.partial_fills && !ex.max_participation) {
    return err(invalid("partial_fills requires execution.max_participation"));
  }
  if (ex.fill_timing == FillTiming::Close) {
    if (ex.order_type != OrderType::Market) {
      return err(invalid("fill_timing close requires a market order_type"));
    }
    if (ex.latency_bars != 0) return err(invalid("fill_timing close is incompatible with latency_bars"));
  }
  return Unit{};
}

}  // namespace

Status<StrategyError> check_operand_refs(const Operand& o, const IndicatorMap& declared) {
  if (pass_stop_after(kCheckNodeSteps)) return err(stopped());
  if (o.kind == Operand::Kind::Reference) {
    const std::string_view ref = o.reference;
    // A long reference is searched and compared in stretches, asking between them.
    const Interrupt interrupt = scope_interrupt();
    const std::size_t dot = find_char_paced(ref, '.');
    const std::string_view base = ref.substr(0, dot);
    const auto found = find_paced(declared, base, interrupt);
    if (!found || pass_stopped()) return err(stopped());
    if (*found != declared.end()) return Unit{};
    // The text quotes the reference whole, copied in stretches too.
    StrategyError undeclared = StrategyError::undeclared_indicator(ref);
    if (pass_stopped()) return err(stopped());
    return err(std::move(undeclared));
  }
  for (const Operand& child : o.children) FENDRO_CHECK(check_operand_refs(child, declared));
  return Unit{};
}

Status<StrategyError> check_condition_refs(const Condition& c, const IndicatorMap& declared) {
  if (pass_stop_after(kCheckNodeSteps)) return err(stopped());
  // Operands come first in every variant that has them; the two kinds of
  // children never meet in one condition.
  for (const Operand& o : c.operands) FENDRO_CHECK(check_operand_refs(o, declared));
  for (const Condition& child : c.children) FENDRO_CHECK(check_condition_refs(child, declared));
  return Unit{};
}

Status<StrategyError> validate_spec(const StrategySpec& spec) {
  FENDRO_CHECK(check_rules(spec));
  FENDRO_CHECK(check_version(spec.spec_version));
  if (std::holds_alternative<Sizing::RiskPerTrade>(spec.sizing.method) && !spec.risk.stop_loss_pct) {
    return err(invalid(kRiskPerTradeNeedsStop));
  }
  FENDRO_CHECK(check_feeds(spec.indicators));
  FENDRO_CHECK(check_execution(spec.execution));
  return Unit{};
}

}  // namespace fendro
