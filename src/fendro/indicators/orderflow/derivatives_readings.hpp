// Readings of one derivatives tick (funding, premium, basis, taker and
// long/short ratios) and the leverage estimate of close over reference. None
// keeps state; a snapshot without the part a type reads gives no value. The
// tick's fields are not checked: an unguarded division by zero gives the
// infinite or NaN value it produces.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/indicator.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

namespace orderflow {

using TickFormula = double (*)(const DerivativesTick&);

double funding_rate(const DerivativesTick& t);
double perpetual_premium(const DerivativesTick& t);
double term_structure_basis(const DerivativesTick& t);
double calendar_spread(const DerivativesTick& t);
double taker_buy_sell_ratio(const DerivativesTick& t);
double long_short_ratio(const DerivativesTick& t);
double oi_to_volume_ratio(const DerivativesTick& t);

// A value computed from the current tick alone.
template <TickFormula Formula>
class TickReading final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override {
    if (bar.derivatives == nullptr) return no_value();
    return value_out(Formula(*bar.derivatives));
  }
  std::uint64_t warmup_period() const override { return 1; }
};

}  // namespace orderflow

using FundingRate = orderflow::TickReading<&orderflow::funding_rate>;
// (mark - index) / index.
using PerpetualPremiumIndex = orderflow::TickReading<&orderflow::perpetual_premium>;
using FundingBasis = orderflow::TickReading<&orderflow::perpetual_premium>;
// (future - index) / index.
using TermStructureBasis = orderflow::TickReading<&orderflow::term_structure_basis>;
// (future - mark) / mark.
using CalendarSpread = orderflow::TickReading<&orderflow::calendar_spread>;
// Taker buy over taker sell volume; 0 when no taker sold.
using TakerBuySellRatio = orderflow::TickReading<&orderflow::taker_buy_sell_ratio>;
// Longs over shorts; 0 without shorts.
using LongShortRatio = orderflow::TickReading<&orderflow::long_short_ratio>;
// Open interest over the taker volume of the tick; 0 without volume.
using OiToVolumeRatio = orderflow::TickReading<&orderflow::oi_to_volume_ratio>;

// The funding rate scaled to a year of funding intervals.
class FundingImpliedApr final : public Indicator {
 public:
  static Result<FundingImpliedApr, IndicatorError> create(double intervals_per_year);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }

 private:
  explicit FundingImpliedApr(double intervals) : intervals_(intervals) {}
  double intervals_;
};

// The close over the reference value (the second series); 0 when the
// reference is not above zero, nothing when either is not finite.
class EstimatedLeverageRatio final : public Indicator {
 public:
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 1; }
};

}  // namespace fendro
