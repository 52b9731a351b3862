#include "fendro/indicators/momentum/cci.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
namespace {

constexpr double kCciScale = 0.015;

// Sum over the window of |v - center|, oldest first from -0.0, over n.
double mean_deviation(const BoundedRing<double>& values, double center, double n) {
  double total = -0.0;
  values.for_each([&](double v) { total = total + std::abs(v - center); });
  return total / n;
}

// Sum of |v[i] - v[i - 1]| over consecutive values, oldest first from +0.0.
double path_length(const BoundedRing<double>& values) {
  const std::span<const double> older = values.older();
  const std::span<const double> newer = values.newer();
  double total = 0.0;
  for (std::size_t i = 1; i < older.size(); ++i) {
    total = total + std::abs(older[i] - older[i - 1]);
  }
  if (!older.empty() && !newer.empty()) total = total + std::abs(newer[0] - older.back());
  for (std::size_t i = 1; i < newer.size(); ++i) {
    total = total + std::abs(newer[i] - newer[i - 1]);
  }
  return total;
}

}  // namespace

Result<CciCore, IndicatorError> CciCore::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return CciCore(period);
}

std::optional<double> cci_update(CciCore& s, const Candle& c) {
  const double tp = typical_price(c);
  bool repeat;
  if (s.prices.is_full()) [[likely]] {
    s.sum = s.sum - s.prices.replace_oldest(tp);
    repeat = tp == s.newest;
  } else {
    repeat = s.prices.len() > 0 && tp == s.prices.back();
    s.prices.push(tp);
  }
  s.newest = tp;
  s.sum = s.sum + tp;
  if (++s.pushes == s.period) {
    s.sum = ring_sum(s.prices);
    s.pushes = 0;
    s.copies.forget();
  }
  if (!s.prices.is_full()) return no_value();
  // Copies of one price stand at no distance from their mean: the flat case,
  // whatever the running sum's rounding. Only a push of the price pushed
  // before can leave the window holding copies.
  if (repeat) [[unlikely]] {
    if (s.copies.after_repeat(s.prices, tp, s.pushes, s.period)) return value_out(0.0);
  }
  // The mean deviation: about a step a value.
  if (stop_before(s.period)) return no_value();
  const double mean = s.sum / s.divisor;
  const double md = mean_deviation(s.prices, mean, s.divisor);
  if (md == 0.0) return value_out(0.0);
  return value_out((tp - mean) / (md * kCciScale));
}

Result<Cci, IndicatorError> Cci::create(std::uint64_t period) {
  FENDRO_TRY(core, CciCore::create(period));
  return Cci(std::move(core));
}

std::optional<double> Cci::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  return returned(cci_update(core_, *c));
}

Result<StochasticCci, IndicatorError> StochasticCci::create(std::uint64_t period) {
  FENDRO_TRY(core, CciCore::create(period));
  return StochasticCci(std::move(core));
}

std::optional<double> StochasticCci::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto cci = cci_update(core_, *c);
  if (!cci) return no_value();
  values_.push(*cci);
  if (!values_.is_full()) return no_value();
  // The extremes: about a step a value.
  if (stop_before(values_.len())) return no_value();
  // Strict comparisons from the finite extremes: a NaN index never wins.
  double hi = std::numeric_limits<double>::lowest();
  double lo = std::numeric_limits<double>::max();
  values_.for_each([&](double v) {
    if (v > hi) hi = v;
    if (v < lo) lo = v;
  });
  const double range = hi - lo;
  if (range == 0.0) return value_out(50.0);
  return value_out(((*cci - lo) / range) * 100.0);
}

Result<AdaptiveCci, IndicatorError> AdaptiveCci::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min(period, 2, "adaptive CCI needs period >= 2"));
  return AdaptiveCci(period);
}

std::optional<double> AdaptiveCci::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double tp = typical_price(*c);
  copies_.push(tp);
  halt_.push(tp == last_price_);
  last_price_ = tp;
  prices_.push(tp);
  if (!prices_.is_full()) return no_value();
  // The path length and the mean deviation: about a step a value.
  if (stop_before(period_)) return no_value();

  if (!mean_) {
    mean_ = ring_sum(prices_) / divisor_;
  } else {
    // Efficiency ratio -> smoothing constant between 2/31 and 2/3, squared.
    const double volatility = path_length(prices_);
    double alpha = 0.004162330905306971;
    if (volatility > 0.0) {
      const double er = std::min(std::abs(tp - prices_.front()) / volatility, 1.0);
      const double sc = er * 0.6021505376344085 + 0.06451612903225806;
      alpha = sc * sc;
    }
    mean_ = *mean_ + alpha * (tp - *mean_);
  }
  // While every price so far was a copy of one, the average (seeded with
  // their mean) is that price: no deviation from it, whatever residue the
  // seed's rounded sum left in the state.
  if (copies_.only_copies()) return value_out(0.0);
  const double md = mean_deviation(prices_, *mean_, divisor_);
  const double index = md > 0.0 ? (tp - *mean_) / (md * kCciScale) : 0.0;
  // The window holds only copies once the last n - 1 prices repeated the one before.
  return value_out(halt_.read(index, period_ - 1));
}

}  // namespace fendro
