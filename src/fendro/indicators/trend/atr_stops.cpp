#include "fendro/indicators/trend/atr_stops.hpp"

#include <algorithm>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
namespace {

// The ATR step of an accepted candle, plain or on the owner's settled path
// (Kept); the ATR once it is seeded.
struct AtrBar {
  const Candle* candle;
  double atr;
};

template <bool Kept>
std::optional<AtrBar> atr_bar(AtrState& atr, const Candle& c) {
  const auto a = atr_update_as<Kept>(atr, c);
  if (!a) return std::nullopt;
  return AtrBar{&c, *a};
}

Status<IndicatorError> check_atr_stop(std::uint64_t n, double m) {
  FENDRO_CHECK(check_multiplier(m));
  return check_period(n);
}

}  // namespace

Result<AtrTrailingStop, IndicatorError> AtrTrailingStop::create(std::uint64_t period,
                                                                double multiplier) {
  FENDRO_CHECK(check_atr_stop(period, multiplier));
  return AtrTrailingStop(period, multiplier);
}

std::optional<double> AtrTrailingStop::update(const BarSnapshot& bar) {
  return atr_owner_update(bar, atr_, this, &AtrTrailingStop::advance<false>,
                          &AtrTrailingStop::advance<true>);
}

template <bool Kept>
std::optional<double> AtrTrailingStop::advance(const Candle& k) {
  const auto b = atr_bar<Kept>(atr_, k);
  if (!b) return no_value();
  const double c = b->candle->close;
  const double band = atr_times_as<Kept>(atr_, b->atr, m_);
  double stop;
  if (!prev_stop_) {
    stop = c - band;
  } else {
    const double s = *prev_stop_;
    const double pc = *prev_close_;
    if (c > s) {
      stop = pc > s ? std::max(c - band, s) : c - band;
    } else {
      stop = (c < s && pc < s) ? std::min(c + band, s) : c + band;
    }
  }
  prev_close_ = c;
  prev_stop_ = stop;
  return value_out(stop);
}

Result<SuperTrend, IndicatorError> SuperTrend::create(std::uint64_t period, double multiplier) {
  FENDRO_CHECK(check_atr_stop(period, multiplier));
  return SuperTrend(period, multiplier);
}

std::optional<double> SuperTrend::update(const BarSnapshot& bar) {
  return atr_owner_update(bar, atr_, this, &SuperTrend::advance<false>, &SuperTrend::advance<true>);
}

template <bool Kept>
std::optional<double> SuperTrend::advance(const Candle& k) {
  const auto atr = atr_update_as<Kept>(atr_, k);
  if (!atr) return no_value();
  const double c = k.close;
  const double mid = midpoint(k.high, k.low);
  const double band = atr_times_as<Kept>(atr_, *atr, m_);
  const double basic_upper = mid + band;
  const double basic_lower = mid - band;
  Record r{basic_upper, basic_lower, c, 1.0};
  if (prev_) {
    const Record& p = *prev_;
    r.upper = (basic_upper < p.upper || p.close > p.upper) ? basic_upper : p.upper;
    r.lower = (basic_lower > p.lower || p.close < p.lower) ? basic_lower : p.lower;
    if (p.direction >= 0.0) {
      r.direction = c < r.lower ? -1.0 : 1.0;
    } else {
      r.direction = c > r.upper ? 1.0 : -1.0;
    }
  }
  const double value = r.direction > 0.0 ? r.lower : r.upper;
  prev_ = r;
  return value_out(out_.set(value, r.direction));
}

Result<AtrRatchet, IndicatorError> AtrRatchet::create(std::uint64_t period,
                                                      double initial_multiplier,
                                                      double step_multiplier) {
  FENDRO_CHECK(check_multiplier(initial_multiplier));
  FENDRO_CHECK(check_multiplier(step_multiplier));
  FENDRO_CHECK(check_period(period));
  return AtrRatchet(period, initial_multiplier, step_multiplier);
}

std::optional<double> AtrRatchet::update(const BarSnapshot& bar) {
  return atr_owner_update(bar, atr_, this, &AtrRatchet::advance<false>, &AtrRatchet::advance<true>);
}

template <bool Kept>
std::optional<double> AtrRatchet::advance(const Candle& k) {
  const auto b = atr_bar<Kept>(atr_, k);
  if (!b) return no_value();
  const double c = b->candle->close;
  const double atr = b->atr;
  if (direction_ == 0.0) {
    direction_ = 1.0;
    stop_ = c - atr_times_as<Kept>(atr_, atr, m0_);
  } else if (direction_ > 0.0) {
    stop_ = stop_ + atr_times_as<Kept>(atr_, atr, ms_);
    if (c < stop_) {
      direction_ = -1.0;
      stop_ = c + atr_times_as<Kept>(atr_, atr, m0_);
    }
  } else {
    stop_ = stop_ - atr_times_as<Kept>(atr_, atr, ms_);
    if (c > stop_) {
      direction_ = 1.0;
      stop_ = c - atr_times_as<Kept>(atr_, atr, m0_);
    }
  }
  return value_out(out_.set(stop_, direction_));
}

Result<VoltyStop, IndicatorError> VoltyStop::create(std::uint64_t period, double multiplier) {
  FENDRO_CHECK(check_atr_stop(period, multiplier));
  return VoltyStop(period, multiplier);
}

std::optional<double> VoltyStop::update(const BarSnapshot& bar) {
  return atr_owner_update(bar, atr_, this, &VoltyStop::advance<false>, &VoltyStop::advance<true>);
}

template <bool Kept>
std::optional<double> VoltyStop::advance(const Candle& k) {
  const auto b = atr_bar<Kept>(atr_, k);
  if (!b) return no_value();
  const double c = b->candle->close;
  const double band = atr_times_as<Kept>(atr_, b->atr, m_);
  if (!extreme_) {
    extreme_ = c;
    long_ = true;
    return value_out(c - band);
  }
  double& x = *extreme_;
  if (long_) {
    if (c < x - band) {
      x = c;
      long_ = false;
      return value_out(c + band);
    }
    x = std::max(x, c);
    return value_out(x - band);
  }
  if (c > x + band) {
    x = c;
    long_ = true;
    return value_out(c - band);
  }
  x = std::min(x, c);
  return value_out(x + band);
}

Result<YoyoExit, IndicatorError> YoyoExit::create(std::uint64_t period, double multiplier) {
  FENDRO_CHECK(check_atr_stop(period, multiplier));
  return YoyoExit(period, multiplier);
}

std::optional<double> YoyoExit::update(const BarSnapshot& bar) {
  return atr_owner_update(bar, atr_, this, &YoyoExit::advance<false>, &YoyoExit::advance<true>);
}

template <bool Kept>
std::optional<double> YoyoExit::advance(const Candle& k) {
  const auto b = atr_bar<Kept>(atr_, k);
  if (!b) return no_value();
  const double c = b->candle->close;
  const double band = atr_times_as<Kept>(atr_, b->atr, m_);
  if (!stop_) {
    stop_ = c - band;
    return value_out(*stop_);
  }
  double& s = *stop_;
  if (long_) {
    if (c >= s) {
      s = std::max(s, c - band);
    } else {
      long_ = false;
    }
  } else if (c > s + band) {
    long_ = true;
    s = c - band;
  }
  return value_out(s);
}

Result<Nrtr, IndicatorError> Nrtr::create(double percentage) {
  if (!(percentage > 0.0) || percentage >= 100.0) {
    return err(IndicatorError::invalid_parameter("NRTR percentage must be in (0, 100)"));
  }
  return Nrtr(percentage);
}

std::optional<double> Nrtr::update(const BarSnapshot& bar) {
  const Candle* k = checked_candle(bar);
  if (k == nullptr) return no_value();
  const double c = k->close;
  const double f = p_ / 100.0;
  const double below = 1.0 - f;
  const double above = 1.0 + f;
  double value;
  if (trend_ == 0.0) {
    trend_ = 1.0;
    extreme_ = c;
    value = below * c;
  } else if (trend_ > 0.0) {
    extreme_ = std::max(extreme_, c);
    value = below * extreme_;
    if (c < value) {
      trend_ = -1.0;
      extreme_ = c;
      value = above * c;
    }
  } else {
    extreme_ = std::min(extreme_, c);
    value = above * extreme_;
    if (c > value) {
      trend_ = 1.0;
      extreme_ = c;
      value = below * c;
    }
  }
  return value_out(out_.set(value, trend_));
}

}  // namespace fendro
