// Reading the settings records of a strategy: costs, risk, execution, sizing.
#include <array>
#include <string_view>

#include "fendro/strategy/reading.hpp"
#include "fendro/strategy/spec.hpp"

namespace fendro {

namespace {

using reading::Field;
using reading::into;
using reading::read_bool;
using reading::read_f64;
using reading::read_optional;
using reading::read_u32;

constexpr auto read_opt_f64 = read_optional<read_f64>;

constexpr std::array<std::string_view, 4> kOrderTypes = {"market", "limit", "stop", "stop_limit"};
constexpr std::array<std::string_view, 2> kFillTimings = {"next_open", "close"};
constexpr std::array<std::string_view, 3> kSlippageTags = {"fixed_bps", "spread", "volume_impact"};
constexpr std::array<std::string_view, 5> kSizingTags = {"fixed_fraction", "fixed_qty", "fixed_cash",
                                                         "vol_target", "risk_per_trade"};

constexpr Field<Costs> kCostsFields[] = {
    {"maker_bps", false, &into<&Costs::maker_bps, read_f64>},
    {"taker_bps", false, &into<&Costs::taker_bps, read_f64>},
    {"slippage", false, &into<&Costs::slippage, read_slippage>},
    {"funding", false, &into<&Costs::funding, read_bool>},
};

constexpr Field<Risk> kRiskFields[] = {
    {"stop_loss_pct", false, &into<&Risk::stop_loss_pct, read_opt_f64>},
    {"take_profit_pct", false, &into<&Risk::take_profit_pct, read_opt_f64>},
    {"trailing_stop_pct", false, &into<&Risk::trailing_stop_pct, read_opt_f64>},
    {"max_leverage", false, &into<&Risk::max_leverage, read_opt_f64>},
    {"max_position_pct", false, &into<&Risk::max_position_pct, read_opt_f64>},
    {"liquidation", false, &into<&Risk::liquidation, read_bool>},
};

constexpr Field<Execution> kExecutionFields[] = {
    {"order_type", false, &into<&Execution::order_type, read_order_type>},
    {"fill_timing", false, &into<&Execution::fill_timing, read_fill_timing>},
    {"limit_offset_pct", false, &into<&Execution::limit_offset_pct, read_opt_f64>},
    {"stop_offset_pct", false, &into<&Execution::stop_offset_pct, read_opt_f64>},
    {"latency_bars", false, &into<&Execution::latency_bars, read_u32>},
    {"partial_fills", false, &into<&Execution::partial_fills, read_bool>},
    {"max_participation", false, &into<&Execution::max_participation, read_opt_f64>},
};

constexpr Field<Slippage::FixedBps> kFixedBpsFields[] = {
    {"bps", true, &into<&Slippage::FixedBps::bps, read_f64>}};
constexpr Field<Slippage::VolumeImpact> kVolumeImpactFields[] = {
    {"coef", true, &into<&Slippage::VolumeImpact::coef, read_f64>}};

constexpr Field<Sizing::FixedFraction> kFixedFractionFields[] = {
    {"fraction", true, &into<&Sizing::FixedFraction::fraction, read_f64>}};
constexpr Field<Sizing::FixedQty> kFixedQtyFields[] = {
    {"qty", true, &into<&Sizing::FixedQty::qty, read_f64>}};
constexpr Field<Sizing::FixedCash> kFixedCashFields[] = {
    {"cash", true, &into<&Sizing::FixedCash::cash, read_f64>}};
constexpr Field<Sizing::VolTarget> kVolTargetFields[] = {
    {"target_vol", true, &into<&Sizing::VolTarget::target_vol, read_f64>},
    {"lookback", true, &into<&Sizing::VolTarget::lookback, read_u32>},
};
constexpr Field<Sizing::RiskPerTrade> kRiskPerTradeFields[] = {
    {"risk_pct", true, &into<&Sizing::RiskPerTrade::risk_pct, read_f64>}};

// Reads the chosen variant's fields and wraps them into the enumeration E.
template <class E, class R>
Result<E, std::string> variant_of(const reading::InternalTag& tag, std::string_view path,
                                  std::span<const Field<R>> fields) {
  FENDRO_TRY(r, reading::read_variant_fields<R>(tag, path, fields, {}, reading::Pacing::kScope));
  return E{std::move(r)};
}

}  // namespace

Result<Costs, std::string> read_costs(const json::Value& v) {
  return reading::read_record<Costs>(v, "Costs", kCostsFields, {}, reading::Pacing::kScope);
}

Result<Risk, std::string> read_risk(const json::Value& v) {
  return reading::read_record<Risk>(v, "Risk", kRiskFields, {}, reading::Pacing::kScope);
}

Result<Execution, std::string> read_execution(const json::Value& v) {
  return reading::read_record<Execution>(v, "Execution", kExecutionFields, {}, reading::Pacing::kScope);
}

Result<OrderType, std::string> read_order_type(const json::Value& v) {
  FENDRO_TRY(i, reading::read_choice(v, kOrderTypes));
  return static_cast<OrderType>(i);
}

Result<FillTiming, std::string> read_fill_timing(const json::Value& v) {
  FENDRO_TRY(i, reading::read_choice(v, kFillTimings));
  return static_cast<FillTiming>(i);
}

Result<Slippage, std::string> read_slippage(const json::Value& v) {
  FENDRO_TRY(tag, reading::read_internal_tag(v, "Slippage", kSlippageTags));
  switch (tag.index) {
    case 0:
      return variant_of<Slippage, Slippage::FixedBps>(tag, "Slippage::FixedBps", kFixedBpsFields);
    case 1:
      return variant_of<Slippage, Slippage::Spread>(tag, "Slippage::Spread", {});
    default:
      return variant_of<Slippage, Slippage::VolumeImpact>(tag, "Slippage::VolumeImpact",
                                                          kVolumeImpactFields);
  }
}

Result<Sizing, std::string> read_sizing(const json::Value& v) {
  FENDRO_TRY(tag, reading::read_internal_tag(v, "Sizing", kSizingTags));
  switch (tag.index) {
    case 0:
      return variant_of<Sizing, Sizing::FixedFraction>(tag, "Sizing::FixedFraction",
                                                       kFixedFractionFields);
    case 1:
      return variant_of<Sizing, Sizing::FixedQty>(tag, "Sizing::FixedQty", kFixedQtyFields);
    case 2:
      return variant_of<Sizing, Sizing::FixedCash>(tag, "Sizing::FixedCash", kFixedCashFields);
    case 3:
      return variant_of<Sizing, Sizing::VolTarget>(tag, "Sizing::VolTarget", kVolTargetFields);
    default:
      return variant_of<Sizing, Sizing::RiskPerTrade>(tag, "Sizing::RiskPerTrade",
                                                      kRiskPerTradeFields);
  }
}

}  // namespace fendro
