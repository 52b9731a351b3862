#include "fendro/indicators/volume/volume_oscillators.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/volume/fast_slow.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/math.hpp"
#include "fendro/util/portable_min_max.hpp"

namespace fendro {

// ---- BetterVolume ----

Result<BetterVolume, IndicatorError> BetterVolume::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return BetterVolume(period);
}

std::optional<double> BetterVolume::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double range = c->high - c->low;
  const bool has_range = range > 0.0;
  const double v = c->volume;
  bars_.push(Bar{v, range * v, has_range ? v / range : 0.0, has_range});
  if (!bars_.is_full()) return no_value();
  // The extremes of the earlier bars: about two steps a bar.
  if (stop_before(2 * bars_.len())) return no_value();

  // Extremes of the bars before this one (the newest entry is this bar).
  constexpr double kInf = std::numeric_limits<double>::infinity();
  double min_volume = kInf;
  double max_range_volume = -kInf;
  double max_volume_per_range = -kInf;
  std::span<const Bar> older = bars_.older();
  std::span<const Bar> newer = bars_.newer();
  if (newer.empty()) {
    older = older.first(older.size() - 1);
  } else {
    newer = newer.first(newer.size() - 1);
  }
  const auto scan = [&](std::span<const Bar> run) {
    for (const Bar& b : run) {
      min_volume = std::min(min_volume, b.volume);
      max_range_volume = std::max(max_range_volume, b.range_volume);
      if (b.has_range) max_volume_per_range = std::max(max_volume_per_range, b.volume_per_range);
    }
  };
  scan(older);
  scan(newer);

  const bool churn = has_range && v / range > max_volume_per_range;
  const bool climax = range * v > max_range_volume;
  if (climax && churn) return value_out(4.0);
  if (climax) return value_out(c->close < c->open ? -3.0 : 3.0);
  if (churn) return value_out(2.0);
  return value_out(v < min_volume ? 1.0 : 0.0);
}

// ---- DemandIndex ----

DemandIndex::DemandIndex(std::uint64_t n)
    : volumes_(n),
      ranges_(n),
      buying_(EmaState::with_alpha(1, 2.0 / (static_cast<double>(n) + 1.0))),
      selling_(buying_),
      n_(static_cast<double>(n)) {}

Result<DemandIndex, IndicatorError> DemandIndex::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return DemandIndex(period);
}

namespace {

// A finite pressure steps its average and gives the average; any other
// stands in for it unaveraged. The step is plain, or on the owner's settled
// path (Kept) through its record.
template <bool Kept>
double smoothed_pressure(EmaState& average, double pressure) {
  if (!std::isfinite(pressure)) return pressure;
  return ema_update_as<Kept>(average, pressure).value_or(pressure);
}

}  // namespace

std::optional<double> DemandIndex::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  volumes_.push(c->volume);
  const std::optional<Prev> prev = prev_;
  prev_ = Prev{c->high, c->low, c->close};
  if (!prev) return no_value();
  ranges_.push(std::max(c->high, prev->high) - std::min(c->low, prev->low));
  if (!ranges_.is_full()) return no_value();

  const double avg_volume = volumes_.sum() / n_;
  if (avg_volume == 0.0) return value_out(last_);
  const double price = ((c->high + c->low) + (c->close + c->close)) * 0.25;
  if (price == 0.0) return value_out(last_);
  const double prev_price = ((prev->high + prev->low) + (prev->close + prev->close)) * 0.25;
  if (prev_price == 0.0) return value_out(last_);
  const double avg_range = ranges_.sum() / n_;
  if (avg_range == 0.0) return value_out(last_);

  const double rel = (price - prev_price) / std::min(price, prev_price);
  const double volume_ratio = c->volume / avg_volume;
  // fmin: a NaN exponent (0 * inf) caps at 88 like any huge one.
  const double k = portable_fmin(std::abs(rel) * ((price * 3.0) / avg_range), 88.0);
  const double damped = volume_ratio / cr::exp(k);
  const double buying = rel > 0.0 ? volume_ratio : damped;
  const double selling = rel > 0.0 ? damped : volume_ratio;
  // One test an update for both averages: settled below normal (or seeding),
  // they take the settled path out of line.
  if (all_below_normal(buying_.value, selling_.value)) [[unlikely]] {
    return settled_path(
        [](DemandIndex* d, double b, double s) { return d->pressures<true>(b, s); }, this, buying,
        selling);
  }
  return pressures<false>(buying, selling);
}

template <bool Kept>
std::optional<double> DemandIndex::pressures(double buying, double selling) {
  const double buy = smoothed_pressure<Kept>(buying_, buying);
  const double sell = smoothed_pressure<Kept>(selling_, selling);
  double value = 0.0;
  if (buy > sell) {
    value = (1.0 - sell / buy) * 100.0;
  } else if (buy < sell) {
    value = (1.0 - buy / sell) * -100.0;
  }
  last_ = value;
  return value_out(value);
}

// ---- Kvo ----

Result<Kvo, IndicatorError> Kvo::create(std::uint64_t fast, std::uint64_t slow) {
  FENDRO_CHECK(volume::check_fast_slow(fast, slow, "KVO needs fast < slow"));
  return Kvo(fast, slow);
}

std::optional<double> Kvo::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const double hlc = (c->high + c->low) + c->close;
  const double dm = c->high - c->low;
  if (!prev_range_) {
    prev_range_ = dm;
    prev_hlc_ = hlc;
    return no_value();
  }
  const std::int8_t prev_trend = trend_;
  std::int8_t trend = prev_trend;
  if (hlc > prev_hlc_) {
    trend = 1;
  } else if (hlc < prev_hlc_) {
    trend = -1;
  }
  // The cumulative range runs on while the trend holds and restarts from the
  // previous bar's range when it turns.
  if (prev_trend != 0 && trend == prev_trend) {
    cumulative_ = dm + cumulative_;
  } else {
    cumulative_ = dm + *prev_range_;
  }
  trend_ = trend;
  const double cm = cumulative_;
  const double force =
      cm == 0.0 ? 0.0
                : ((c->volume * std::abs(2.0 * (dm / cm - 1.0))) * static_cast<double>(trend)) * 100.0;
  prev_range_ = dm;
  prev_hlc_ = hlc;
  if (!std::isfinite(force)) return no_value();
  // One test an update, on the fast average, which falls below normal
  // thousands of bars before the slow one when the volume stops: tested on
  // the slow one, the fast one would step on a subnormal all that while.
  // Below normal (or seeding), the update takes the settled path out of
  // line, where the slow average steps through its record.
  if (below_normal(fast_.value)) [[unlikely]] {
    return settled_path([](Kvo* k, double f) { return k->advance<true>(f); }, this, force);
  }
  return advance<false>(force);
}

template <bool Kept>
std::optional<double> Kvo::advance(double force) {
  ema_update_as<Kept>(fast_, force);
  if (!ema_update_as<Kept>(slow_, force)) return no_value();
  return value_out(fast_.value - slow_.value);
}

// ---- VolumeOscillator ----

Result<VolumeOscillator, IndicatorError> VolumeOscillator::create(std::uint64_t fast,
                                                                  std::uint64_t slow) {
  FENDRO_CHECK(volume::check_fast_slow(fast, slow, "VolumeOscillator needs fast < slow"));
  return VolumeOscillator(fast, slow);
}

std::optional<double> VolumeOscillator::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  zeros_.push(c->volume);
  const auto fast = sma_step_reading_zeros(fast_, zeros_, c->volume);
  const auto slow = sma_step_reading_zeros(slow_, zeros_, c->volume);
  if (!fast || !slow) return no_value();
  if (*slow == 0.0) return value_out(0.0);
  return value_out(((*fast - *slow) * 100.0) / *slow);
}

// ---- VolumeRsi ----

Result<VolumeRsi, IndicatorError> VolumeRsi::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return VolumeRsi(period);
}

std::optional<double> VolumeRsi::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (!prev_volume_) {
    prev_volume_ = c->volume;
    return no_value();
  }
  const double change = c->volume - *prev_volume_;
  prev_volume_ = c->volume;
  const double gain = std::max(change, 0.0);
  const double loss = change < 0.0 ? -change : 0.0;
  volume::WilderPair& w = averages_;
  w.halt.push(change == 0.0);
  const auto index = [](double up, double down) {
    const double total = up + down;
    if (total == 0.0) return 50.0;
    return (up / total) * 100.0;
  };
  // One test an update, on the average gain, which is 0 until seeded: below
  // normal, the update takes the settled path out of line, which also seeds;
  // a normal one has been seeded. When the volume stops, the last change is
  // a loss, so the average gain is the first to fall below normal, and the
  // average loss then steps through its record.
  if (below_normal(w.first)) [[unlikely]] {
    return settled_path(
        [](VolumeRsi* v, double up, double down) -> std::optional<double> {
          volume::WilderPair& p = v->averages_;
          if (!p.seeded) {
            if (!p.seed(up, down)) return no_value();
            return value_out(p.halt.read(decltype(index){}(p.first, p.second), p.period));
          }
          const double n = v->n_;
          const double n1 = v->n_minus_1_;
          const auto wilder = [n, n1](double avg, double x) { return (x + avg * n1) / n; };
          return value_out(p.halt.read(kept_pair(p.settled, p.settled_value, wilder, decltype(index){},
                                                  p.first, up, p.second, down),
                                        p.period));
        },
        this, gain, loss);
  }
  w.first = (gain + w.first * n_minus_1_) / n_;
  w.second = (loss + w.second * n_minus_1_) / n_;
  return value_out(w.halt.read(index(w.first, w.second), w.period));
}

// ---- Vzo ----

Result<Vzo, IndicatorError> Vzo::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return Vzo(period);
}

std::optional<double> Vzo::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  if (!prev_close_) {
    prev_close_ = c->close;
    return no_value();
  }
  double signed_volume = 0.0;
  if (c->close > *prev_close_) {
    signed_volume = c->volume;
  } else if (c->close < *prev_close_) {
    signed_volume = -c->volume;
  }
  prev_close_ = c->close;
  halt_.push(c->volume == 0.0);  // no signed volume either
  // One test an update, on the average volume: no signed volume is larger,
  // so neither is its average. Settled below normal (or seeding), the update
  // takes the settled path out of line.
  if (below_normal(volume_.value)) [[unlikely]] {
    return settled_path([](Vzo* z, double sv, double v) { return z->advance<true>(sv, v); }, this,
                        signed_volume, c->volume);
  }
  return advance<false>(signed_volume, c->volume);
}

template <bool Kept>
std::optional<double> Vzo::advance(double signed_volume, double volume) {
  const auto s = ema_update_as<Kept>(signed_, signed_volume);
  const auto v = ema_update_as<Kept>(volume_, volume);
  if (!s || !v) return no_value();
  const auto zone = [](double sv, double vol) { return vol == 0.0 ? 0.0 : (sv * 100.0) / vol; };
  if constexpr (Kept) return value_out(halt_.read(kept_apply(zone_kept_, zone, *s, *v), volume_.period));
  return value_out(halt_.read(zone(*s, *v), volume_.period));
}

}  // namespace fendro
