#include "fendro/indicators/volatility/bollinger.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/common/variance_values.hpp"
#include "fendro/indicators/windows/bar_close.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
using namespace vol;

Status<IndicatorError> check_bollinger(std::uint64_t period, double multiplier) {
  FENDRO_CHECK(check_period(period));
  return check_multiplier(multiplier);
}

namespace {

// The step itself, inlined into the four types below: returned from a call,
// the optional bands travel through memory and the caller's read of the flag
// waits on the callee's narrower write.
[[gnu::always_inline]] inline std::optional<BollingerBandsValue> bands_step(BollingerWindow& w,
                                                                            double x) {
  if (!std::isfinite(x)) return std::nullopt;
  w.moments.push(x);
  if (!w.moments.is_full()) return std::nullopt;
  const double middle = window_mean(w.moments);
  const double stddev = population_stddev(w.moments);
  const double width = w.multiplier * stddev;
  return BollingerBandsValue{middle + width, middle, middle - width, stddev};
}

}  // namespace

std::optional<BollingerBandsValue> bollinger_update(BollingerWindow& w, double x) {
  return bands_step(w, x);
}

Result<BollingerBands, IndicatorError> BollingerBands::create(std::uint64_t period,
                                                              double multiplier) {
  FENDRO_CHECK(check_bollinger(period, multiplier));
  return BollingerBands(period, multiplier);
}

std::optional<double> BollingerBands::update(const BarSnapshot& bar) {
  const auto b = bands_step(window_, bar_close(bar));
  if (!b) return no_value();
  return value_out(out_.set(b->upper, b->middle, b->lower, b->stddev));
}

Result<BollingerBandwidth, IndicatorError> BollingerBandwidth::create(std::uint64_t period,
                                                                      double multiplier) {
  FENDRO_CHECK(check_bollinger(period, multiplier));
  return BollingerBandwidth(period, multiplier);
}

std::optional<double> BollingerBandwidth::update(const BarSnapshot& bar) {
  const auto b = bands_step(window_, bar_close(bar));
  if (!b) return no_value();
  if (b->middle == 0.0) return value_out(0.0);
  return value_out((b->upper - b->lower) / b->middle);
}

Result<PercentB, IndicatorError> PercentB::create(std::uint64_t period, double multiplier) {
  FENDRO_CHECK(check_bollinger(period, multiplier));
  return PercentB(period, multiplier);
}

std::optional<double> PercentB::update(const BarSnapshot& bar) {
  const double close = bar_close(bar);
  const auto b = bands_step(window_, close);
  if (!b) return no_value();
  const double width = b->upper - b->lower;
  if (width == 0.0) return value_out(0.5);
  return value_out((close - b->lower) / width);
}

Result<DoubleBollinger, IndicatorError> DoubleBollinger::create(std::uint64_t period,
                                                                double k_inner, double k_outer) {
  FENDRO_CHECK(check_multiplier(k_inner));
  FENDRO_CHECK(check_multiplier(k_outer));
  if (k_outer <= k_inner) {
    return err(IndicatorError::invalid_period("double bollinger requires k_outer > k_inner"));
  }
  FENDRO_CHECK(check_period(period));
  return DoubleBollinger(period, k_inner, k_outer);
}

std::optional<double> DoubleBollinger::update(const BarSnapshot& bar) {
  const auto b = bands_step(window_, bar_close(bar));
  if (!b) return no_value();
  const double inner = b->stddev * k_inner_;
  return value_out(out_.set(b->upper, b->middle + inner, b->middle, b->middle - inner, b->lower));
}

}  // namespace fendro
