#include "fendro/indicators/orderflow/trade_liquidity.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/orderflow/trade_inputs.hpp"
#include "fendro/indicators/common/variance_values.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/math.hpp"

namespace fendro {

using orderflow::each_trade;

// --- AmihudIlliquidity -------------------------------------------------------

Result<AmihudIlliquidity, IndicatorError> AmihudIlliquidity::create(std::uint64_t period) {
  FENDRO_TRY(terms, anchored_ring_window_new(period));
  return AmihudIlliquidity(std::move(terms));
}

std::optional<double> AmihudIlliquidity::on_trade(const Trade& t) {
  AnchoredRingWindow& w = terms_;
  if (t.size == 0.0) return w.last;
  if (!w.prev) {
    w.prev = t.price;
    return std::nullopt;
  }
  const double r = cr::log(t.price / *w.prev);
  w.prev = t.price;
  push_resumming(w.ring, w.acc, w.pushes, std::fabs(r) / (t.price * t.size));
  if (!w.ring.is_full()) return std::nullopt;
  w.last = w.acc / static_cast<double>(w.period);
  return w.last;
}

std::optional<double> AmihudIlliquidity::update(const BarSnapshot& bar) {
  return returned(each_trade(bar.trades, [this](const Trade& t) { return on_trade(t); }));
}

// --- RollMeasure -------------------------------------------------------------

Result<RollMeasure, IndicatorError> RollMeasure::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 3, "Roll measure needs period >= 3"));
  return RollMeasure(period);
}

double RollMeasure::estimate() const {
  const double n = static_cast<double>(changes_.capacity());
  const double mean = ring_sum(changes_) / n;
  double products = 0.0;
  std::optional<double> prev_dev;
  changes_.for_each([&](double d) {
    const double dev = d - mean;
    if (prev_dev) products = products + *prev_dev * dev;
    prev_dev = dev;
  });
  const double gamma = products / (n - 1.0);
  return gamma < 0.0 ? 2.0 * std::sqrt(-gamma) : 0.0;
}

std::optional<double> RollMeasure::on_trade(const Trade& t) {
  if (!prev_price_) {
    prev_price_ = t.price;
    return std::nullopt;
  }
  const double change = t.price - *prev_price_;
  prev_price_ = t.price;
  changes_.push(change);
  if (!changes_.is_full()) return std::nullopt;
  return estimate();
}

std::optional<double> RollMeasure::update(const BarSnapshot& bar) {
  return returned(each_trade(bar.trades, [this](const Trade& t) { return on_trade(t); }));
}

// --- KylesLambda -------------------------------------------------------------

Result<KylesLambda, IndicatorError> KylesLambda::create(std::uint64_t window) {
  FENDRO_CHECK(check_period_min_first(window, 2, "kyle's lambda needs window >= 2"));
  return KylesLambda(window);
}

std::optional<double> KylesLambda::update(const BarSnapshot& bar) {
  if (bar.trades.empty()) return no_value();
  const std::optional<double> mid = orderflow::quote_mid(bar);
  if (!mid) return no_value();
  return returned(each_trade(bar.trades, [this, m = *mid](const Trade& t) -> std::optional<double> {
    if (!prev_mid_) {
      prev_mid_ = m;
      return std::nullopt;
    }
    const double change = m - *prev_mid_;
    prev_mid_ = m;
    pairs_.push(orderflow::signed_size(t), change);
    if (!pairs_.is_full()) return std::nullopt;
    const double n = static_cast<double>(pairs_.period());
    const double mx = pairs_.sa() / n;
    const double var = vol::clamp_variance(pairs_.saa() / n - mx * mx);
    if (var == 0.0) return 0.0;
    return (pairs_.sab() / n - mx * pairs_.sb() / n) / var;
  }));
}

// --- RealizedSpread ----------------------------------------------------------

Result<RealizedSpread, IndicatorError> RealizedSpread::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return RealizedSpread(period);
}

std::optional<double> RealizedSpread::update(const BarSnapshot& bar) {
  if (bar.trades.empty()) return no_value();
  const std::optional<double> mid = orderflow::quote_mid(bar);
  if (!mid) return no_value();
  return returned(each_trade(bar.trades, [this, m = *mid](const Trade& t) -> std::optional<double> {
    const auto old = prints_.push({orderflow::trade_sign(t), t.price, m});
    if (!old) return std::nullopt;
    return orderflow::spread_bps(old->sign, old->price, m, old->mid);
  }));
}

// --- Vpin --------------------------------------------------------------------

Result<Vpin, IndicatorError> Vpin::create(double bucket_volume, std::uint64_t buckets) {
  FENDRO_CHECK(check_period(buckets));
  if (!positive_finite(bucket_volume)) {
    return err(IndicatorError::invalid_parameter("VPIN bucket_volume must be finite and positive"));
  }
  return Vpin(bucket_volume, buckets);
}

std::optional<double> Vpin::on_trade(const Trade& t) {
  const double v = volume_;
  const double n = static_cast<double>(imbalances_.period());
  double s = t.size;
  const double room = v - filled_;
  // Volume beyond the current bucket and n more could only push buckets out
  // of the window again: keep the room, n buckets and the remainder that
  // ends in a partial bucket. An infinite size has no remainder.
  if (s == std::numeric_limits<double>::infinity()) {
    s = room + n * v;
  } else if ((s - room) / v > n) {
    s = room + n * v + std::fmod(s - room, v);
  }
  const bool sell = orderflow::is_sell(t);
  while (s > 0.0) {
    const double f = std::min(s, v - filled_);
    if (sell) {
      sell_ = sell_ + f;
    } else {
      buy_ = buy_ + f;
    }
    filled_ = filled_ + f;
    if (filled_ >= v) {
      imbalances_.push(std::fabs(buy_ - sell_));
      buy_ = 0.0;
      sell_ = 0.0;
      filled_ = 0.0;
    }
    s = s - f;
  }
  if (!imbalances_.is_full()) return std::nullopt;
  return imbalances_.sum() / (v * n);
}

std::optional<double> Vpin::update(const BarSnapshot& bar) {
  return returned(each_trade(bar.trades, [this](const Trade& t) { return on_trade(t); }));
}

}  // namespace fendro
