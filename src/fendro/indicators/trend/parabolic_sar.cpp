#include "fendro/indicators/trend/parabolic_sar.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/portable_min_max.hpp"

namespace fendro {
namespace {

// Where a minimum or maximum meets +0.0 and -0.0 (or equal values), the
// portable pair keeps its first operand; the operands of each call stand in
// the order that gives the zeros this type has always given.

// Turns the trend at this bar: the new stop sits at the extreme of the
// finished trend (or this bar), pushed away by the offset when there is one.
void reverse(SarState& s, const SarSchedule& k, double high, double low) {
  if (!s.is_short) {
    const double st = portable_fmax(portable_fmax(s.ep, s.h1), high);
    s.sar = k.offset_on_reverse ? st + k.offset * std::abs(st) : st;
    s.ep = low;
    s.af = k.init_short;
    s.is_short = true;
  } else {
    const double st = portable_fmin(low, portable_fmin(s.ep, s.l1));
    s.sar = k.offset_on_reverse ? st - k.offset * std::abs(st) : st;
    s.ep = high;
    s.af = k.init_long;
    s.is_short = false;
  }
}

bool stopped_out(const SarState& s, double sar, double high, double low) {
  return s.is_short ? !(high < sar) : !(low > sar);
}

void start(SarState& s, const SarSchedule& k, double high, double low) {
  if (k.start_value == 0.0) {
    const double up = high - s.h1;
    const double down = s.l1 - low;
    s.is_short = down > 0.0 && down > up;
    s.sar = s.is_short ? s.h1 : s.l1;
  } else {
    s.is_short = k.start_value < 0.0;
    s.sar = std::abs(k.start_value);
  }
  s.ep = s.is_short ? low : high;
  s.af = s.is_short ? k.init_short : k.init_long;
  s.h1 = high;
  s.l1 = low;
  // The start is tested against this same bar.
  if (s.is_short ? high >= s.sar : low <= s.sar) reverse(s, k, high, low);
  s.h2 = high;
  s.l2 = low;
  s.started = true;
}

}  // namespace

std::optional<double> sar_update(SarState& s, const SarSchedule& k, double high, double low) {
  if (!s.first_seen) {
    s.h1 = high;
    s.l1 = low;
    s.first_seen = true;
    return std::nullopt;
  }
  if (!s.started) {
    start(s, k, high, low);
    return s.sar;
  }
  double next = s.sar + s.af * (s.ep - s.sar);
  next = s.is_short ? portable_fmax(portable_fmax(s.h1, next), s.h2)
                    : portable_fmin(portable_fmin(s.l1, next), s.l2);
  if (!stopped_out(s, next, high, low)) {
    s.sar = next;
    if (!s.is_short && high > s.ep) {
      s.af = portable_fmin(s.af + k.step_long, k.max_long);
      s.ep = high;
    } else if (s.is_short && low < s.ep) {
      s.af = portable_fmin(s.af + k.step_short, k.max_short);
      s.ep = low;
    }
  } else {
    reverse(s, k, high, low);
  }
  s.h2 = s.h1;
  s.l2 = s.l1;
  s.h1 = high;
  s.l1 = low;
  return s.sar;
}

Result<Psar, IndicatorError> Psar::create(double af_start, double af_step, double af_max) {
  if (!positive_finite(af_start) || !positive_finite(af_step) ||
      !positive_finite(af_max)) {
    return err(IndicatorError::non_positive_multiplier());
  }
  if (af_start > af_max) return err(IndicatorError::invalid_period("af_start must be <= af_max"));
  return Psar(SarSchedule{0.0, 0.0, false, af_start, af_step, af_max, af_start, af_step, af_max});
}

std::optional<double> Psar::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  return returned(sar_update(s_, k_, c->high, c->low));
}

Result<SarExt, IndicatorError> SarExt::create(double start_value, double offset_on_reverse,
                                              double af_init_long, double af_step_long,
                                              double af_max_long, double af_init_short,
                                              double af_step_short, double af_max_short) {
  constexpr std::string_view kOrder = "acceleration init must be <= max";
  if (!std::isfinite(start_value) || !std::isfinite(offset_on_reverse) ||
      offset_on_reverse < 0.0) {
    return err(IndicatorError::non_positive_multiplier());
  }
  if (!positive_finite(af_init_long) || !positive_finite(af_step_long) ||
      !positive_finite(af_max_long)) {
    return err(IndicatorError::non_positive_multiplier());
  }
  if (af_init_long > af_max_long) return err(IndicatorError::invalid_period(kOrder));
  if (!positive_finite(af_init_short) || !positive_finite(af_step_short) ||
      !positive_finite(af_max_short)) {
    return err(IndicatorError::non_positive_multiplier());
  }
  if (af_init_short > af_max_short) return err(IndicatorError::invalid_period(kOrder));
  return SarExt(SarSchedule{start_value, offset_on_reverse, true, af_init_long, af_step_long,
                            af_max_long, af_init_short, af_step_short, af_max_short});
}

std::optional<double> SarExt::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  const auto sar = sar_update(s_, k_, c->high, c->low);
  if (!sar) return no_value();
  return value_out(s_.is_short ? -*sar : *sar);
}

}  // namespace fendro
