#include "fendro/indicators/volume/money_flow.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/volume/fast_slow.hpp"
#include "fendro/indicators/volume/volume_steps.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

// ---- ChaikinMoneyFlow ----

Result<ChaikinMoneyFlow, IndicatorError> ChaikinMoneyFlow::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return ChaikinMoneyFlow(period);
}

std::optional<double> ChaikinMoneyFlow::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  flows_.push(volume::money_flow_volume(*c));
  volumes_.push(c->volume);
  if (!volumes_.is_full()) return no_value();
  if (volumes_.sum() == 0.0) return value_out(0.0);
  return value_out(flows_.sum() / volumes_.sum());
}

// ---- ChaikinOscillator ----

Result<ChaikinOscillator, IndicatorError> ChaikinOscillator::create(std::uint64_t fast,
                                                                    std::uint64_t slow) {
  FENDRO_CHECK(volume::check_fast_slow(fast, slow, "Chaikin Oscillator needs fast < slow"));
  return ChaikinOscillator(fast, slow);
}

std::optional<double> ChaikinOscillator::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  // The line keeps an overflowed value; the averages never see it.
  line_ = volume::money_flow_volume(*c) + line_;
  if (!std::isfinite(line_)) return no_value();
  ema_update(fast_, line_);
  if (!ema_update(slow_, line_)) return no_value();
  return value_out(fast_.value - slow_.value);
}

// ---- Mfi ----

Result<Mfi, IndicatorError> Mfi::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Mfi(period);
}

std::optional<double> Mfi::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double tp = typical_price(*c);
  if (!prev_typical_) {
    prev_typical_ = tp;
    return no_value();
  }
  const double raw = tp * c->volume;
  const double prev = *prev_typical_;
  positive_.push(tp > prev ? raw : 0.0);
  negative_.push(tp < prev ? raw : 0.0);
  prev_typical_ = tp;
  if (!positive_.is_full()) return no_value();
  const double p = positive_.sum();
  const double n = negative_.sum();
  if (n == 0.0) return value_out(p == 0.0 ? 50.0 : 100.0);
  return value_out(100.0 - 100.0 / (p / n + 1.0));
}

// ---- Tsv ----

Result<Tsv, IndicatorError> Tsv::create(std::uint64_t period) {
  FENDRO_TRY(terms, ring_window_state_new(period));
  return Tsv(std::move(terms));
}

std::optional<double> Tsv::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  std::optional<double>& prev_close = terms_.last;
  if (!prev_close) {
    prev_close = c->close;
    return no_value();
  }
  const double term = c->volume * (c->close - *prev_close);
  prev_close = c->close;
  push_adjusting_sum(terms_.ring, terms_.state, term);
  zeros_.push(term);
  if (!terms_.ring.is_full()) return no_value();
  return value_out(zeros_.read(terms_.state, terms_.period));
}

// ---- TwiggsMoneyFlow ----

Result<TwiggsMoneyFlow, IndicatorError> TwiggsMoneyFlow::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return TwiggsMoneyFlow(period);
}

namespace {

// The smoothing of both of Twiggs' averages: avg + (x - avg) / n.
double twiggs_step(double avg, double x, double n) { return avg + (x - avg) / n; }

}  // namespace

std::optional<double> TwiggsMoneyFlow::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (!prev_close_) {
    prev_close_ = c->close;
    return no_value();
  }
  // One test an update, on the average volume, which bounds the average
  // flow (no bar's flow is larger than its volume) and stays 0 until both
  // are seeded: below normal, the update takes the settled path out of line.
  if (below_normal(averages_.second)) [[unlikely]] {
    return settled_path([](TwiggsMoneyFlow* t, const Candle* k) { return t->advance<true>(*k); },
                        this, c);
  }
  return advance<false>(*c);
}

template <bool Kept>
std::optional<double> TwiggsMoneyFlow::advance(const Candle& c) {
  const double true_high = std::max(c.high, *prev_close_);
  const double true_low = std::min(c.low, *prev_close_);
  const double true_range = true_high - true_low;
  const double ad = true_range > 0.0
                        ? (c.volume * (((c.close + c.close) - true_high) - true_low)) / true_range
                        : 0.0;
  prev_close_ = c.close;
  volume::WilderPair& w = averages_;
  w.halt.push((ad == 0.0) & (c.volume == 0.0));
  const auto ratio = [](double flow, double volume) { return volume == 0.0 ? 0.0 : flow / volume; };
  if constexpr (Kept) {
    if (w.seeded) {
      const double n = n_;
      const auto wilder = [n](double avg, double x) { return twiggs_step(avg, x, n); };
      return value_out(w.halt.read(
          kept_pair(w.settled, w.settled_value, wilder, ratio, w.first, ad, w.second, c.volume), w.period));
    }
    if (!w.seed(ad, c.volume)) return no_value();
  } else {
    // A normal average volume has been seeded.
    w.first = twiggs_step(w.first, ad, n_);
    w.second = twiggs_step(w.second, c.volume, n_);
  }
  return value_out(w.halt.read(ratio(w.first, w.second), w.period));
}

// ---- ForceIndex ----

Result<ForceIndex, IndicatorError> ForceIndex::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return ForceIndex(period);
}

std::optional<double> ForceIndex::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (!prev_close_) {
    prev_close_ = c->close;
    return no_value();
  }
  const double force = c->volume * (c->close - *prev_close_);
  prev_close_ = c->close;
  if (!std::isfinite(force)) return no_value();
  return returned(ema_update_settled(average_, force));
}

// ---- EaseOfMovement ----

Result<EaseOfMovement, IndicatorError> EaseOfMovement::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return EaseOfMovement(period);
}

std::optional<double> EaseOfMovement::update(const BarSnapshot& bar) {
  constexpr double kScale = 100000000.0;
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double mid = midpoint(c->high, c->low);
  if (!prev_mid_) {
    prev_mid_ = mid;
    return no_value();
  }
  const double move =
      c->volume == 0.0 ? 0.0 : (kScale * ((c->high - c->low) * (mid - *prev_mid_))) / c->volume;
  prev_mid_ = mid;
  moves_.push(move);
  if (!moves_.is_full()) return no_value();
  return value_out(moves_.sum() / n_);
}

}  // namespace fendro
