#include "fendro/indicators/chart/td_levels.hpp"

#include <algorithm>
#include <limits>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/trend/atr_state.hpp"
#include "fendro/util/saturating.hpp"

namespace fendro::chart {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

TdLines::TdLines(std::uint64_t lookback, std::uint64_t count)
    : closes_(lookback), runs_{count}, highest_(-kInf), lowest_(kInf),
      warmup_(sat_add(lookback, 1)) {}

Result<TdLines, IndicatorError> TdLines::create(std::uint64_t lookback, std::uint64_t count) {
  FENDRO_CHECK(check_lengths(lookback, count));
  return TdLines(lookback, count);
}

std::optional<double> TdLines::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const std::optional<Side> side = closes_.push(c->close);
  if (!side) return no_value();
  const SetupCounts before = runs_;
  runs_.count(*side);
  if (*side == Side::Below) {
    highest_ = before.below == 0 ? c->high : std::max(highest_, c->high);
    lowest_ = kInf;
    if (runs_.below == runs_.cap) resistance_ = highest_;
  } else if (*side == Side::Above) {
    lowest_ = before.above == 0 ? c->low : std::min(lowest_, c->low);
    highest_ = -kInf;
    if (runs_.above == runs_.cap) support_ = lowest_;
  } else {
    highest_ = -kInf;
    lowest_ = kInf;
  }
  if (!resistance_ && !support_) return no_value();
  return value_out(out_.set(resistance_.value_or(kNaN), support_.value_or(kNaN)));
}

TdRiskLevel::TdRiskLevel(std::uint64_t lookback, std::uint64_t count)
    : closes_(lookback), runs_{count}, warmup_(sat_add(lookback, 1)) {}

Result<TdRiskLevel, IndicatorError> TdRiskLevel::create(std::uint64_t lookback,
                                                        std::uint64_t count) {
  FENDRO_CHECK(check_lengths(lookback, count));
  return TdRiskLevel(lookback, count);
}

// Ties keep the earlier extreme bar and its true range.
std::optional<double> TdRiskLevel::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const std::optional<Side> side = closes_.push(c->close);
  const double tr = true_range(c->high, c->low, prev_close_);
  prev_close_ = c->close;
  if (!side) return no_value();
  runs_.count(*side);
  if (*side == Side::Below) {
    if (!lowest_ || lowest_->price > c->low) lowest_ = Extreme{c->low, tr};
    highest_.reset();
    if (runs_.below == runs_.cap) buy_risk_ = lowest_->price - lowest_->true_range;
  } else if (*side == Side::Above) {
    if (!highest_ || highest_->price < c->high) highest_ = Extreme{c->high, tr};
    lowest_.reset();
    if (runs_.above == runs_.cap) sell_risk_ = highest_->price + highest_->true_range;
  } else {
    lowest_.reset();
    highest_.reset();
  }
  if (!buy_risk_ && !sell_risk_) return no_value();
  return value_out(out_.set(buy_risk_.value_or(kNaN), sell_risk_.value_or(kNaN)));
}

Result<TdMovingAverage, IndicatorError> TdMovingAverage::create(std::uint64_t st1,
                                                                std::uint64_t st2) {
  if (st1 == 0 || st2 == 0) return err(IndicatorError::zero_period());
  if (st1 >= st2) {
    return err(IndicatorError::invalid_period(
        "TD moving average ST1 period must be strictly less than ST2"));
  }
  if (st1 > MAX_PERIOD || st2 > MAX_PERIOD) {
    return err(IndicatorError::invalid_period(kMaxPeriodReason));
  }
  return TdMovingAverage(st1, st2);
}

std::optional<double> TdMovingAverage::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double m = midpoint(c->high, c->low);
  const std::optional<double> st1 = sma_update(fast_, m);
  const std::optional<double> st2 = sma_update(slow_, m);
  if (!st1 || !st2) return no_value();
  return value_out(out_.set(*st1, *st2));
}

// X weights the close's side of the bar twice; the projections are X / 2
// less the opposite extreme.
std::optional<double> TdRangeProjection::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  double x;
  if (c->close < c->open) {
    x = c->close + (c->high + (c->low + c->low));
  } else if (c->close > c->open) {
    x = c->close + ((c->high + c->high) + c->low);
  } else {
    x = (c->high + c->low) + (c->close + c->close);
  }
  return value_out(out_.set(x * 0.5 - c->low, x * 0.5 - c->high));
}

}  // namespace fendro::chart
