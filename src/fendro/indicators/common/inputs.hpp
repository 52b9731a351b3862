// What an indicator takes from a bar, and the small checks every family
// shares: the candle check, the finite close, multipliers, the midpoint and
// the typical price.
#pragma once

#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>

#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/market/bar_snapshot.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/market/records.hpp"
#include "fendro/util/result.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace fendro {

inline bool positive_finite(double v) { return std::isfinite(v) && v > 0.0; }

// A multiplier (or factor, step, size) must be a finite number above zero.
inline Status<IndicatorError> check_multiplier(double m) {
  if (!positive_finite(m)) return err(IndicatorError::non_positive_multiplier());
  return Unit{};
}

// Whether `validate_candle` accepts the candle, decided without building its
// result: every field finite, volume not negative, the high at or above the
// low, open and close, the low at or below open and close. Once all fields
// are finite each refusal `a < b` is the negation of `a <= b` the other way
// round, and a comparison with a NaN is false either way, so all the tests
// combine without branches (two lanes at a time with SSE2).
inline bool candle_passes(const Candle& c) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
#if defined(__SSE2__)
  static_assert(offsetof(Candle, high) == offsetof(Candle, open) + sizeof(double));
  static_assert(offsetof(Candle, close) == offsetof(Candle, low) + sizeof(double));
  const __m128d oh = _mm_loadu_pd(&c.open);    // open, high
  const __m128d lc = _mm_loadu_pd(&c.low);     // low, close
  const __m128d v0 = _mm_load_sd(&c.volume);   // volume, 0
  const __m128d zero = _mm_setzero_pd();
  const __m128d inf = _mm_set1_pd(kInf);
  const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFF));
  __m128d ok = _mm_cmplt_pd(_mm_and_pd(oh, magnitude), inf);
  ok = _mm_and_pd(ok, _mm_cmplt_pd(_mm_and_pd(lc, magnitude), inf));
  ok = _mm_and_pd(ok, _mm_cmplt_pd(_mm_and_pd(v0, magnitude), inf));
  const __m128d oc = _mm_shuffle_pd(oh, lc, 0b10);  // open, close
  const __m128d hh = _mm_unpackhi_pd(oh, oh);       // high, high
  const __m128d ll = _mm_unpacklo_pd(lc, lc);       // low, low
  ok = _mm_and_pd(ok, _mm_cmple_pd(oc, hh));        // open <= high, close <= high
  ok = _mm_and_pd(ok, _mm_cmple_pd(ll, oc));        // low <= open, low <= close
  ok = _mm_and_pd(ok, _mm_cmple_pd(_mm_move_sd(zero, lc), _mm_shuffle_pd(oh, v0, 0b01)));
  return _mm_movemask_pd(ok) == 3;                  // low <= high, 0 <= volume
#else
  const bool finite = (std::abs(c.open) < kInf) & (std::abs(c.high) < kInf) &
                      (std::abs(c.low) < kInf) & (std::abs(c.close) < kInf) &
                      (std::abs(c.volume) < kInf);
  const bool ordered = (c.volume >= 0.0) & (c.high >= c.low) & (c.high >= c.open) &
                       (c.high >= c.close) & (c.low <= c.open) & (c.low <= c.close);
  return finite & ordered;
#endif
}

// The bar's candle when it passes the candle check, else null: whole-candle
// types drop the bar then.
inline const Candle* checked_candle(const BarSnapshot& bar) {
  if (bar.candle == nullptr || !candle_passes(*bar.candle)) [[unlikely]] return nullptr;
  return bar.candle;
}

// The bar's close when it is finite; close-only types look at nothing else.
inline std::optional<double> finite_close(const BarSnapshot& bar) {
  if (bar.candle == nullptr || !std::isfinite(bar.candle->close)) return std::nullopt;
  return bar.candle->close;
}

// finite_close with the close handed back in `close` (true when there is
// one): an owner that steps anything out of line after it would otherwise
// keep the optional in memory and test its flag there on every bar.
inline bool finite_close_to(const BarSnapshot& bar, double& close) {
  if (bar.candle == nullptr || !std::isfinite(bar.candle->close)) return false;
  close = bar.candle->close;
  return true;
}

// The midpoint of two values: (a + b) * 0.5, or the halves added when either
// operand is so large that the sum could overflow.
inline double midpoint(double a, double b) {
  constexpr double kHalfMax = 8.988465674311579e307;
  if (std::abs(a) <= kHalfMax && std::abs(b) <= kHalfMax) return (a + b) * 0.5;
  return a * 0.5 + b * 0.5;
}

// The typical price ((high + low) + close) / 3, added in that order; a
// one-price candle's is its price (the three adds and the division would
// round 0.3 to 0.29999999999999993).
inline double typical_price(const Candle& c) {
  return kReadsCopies && c.high == c.low ? c.close : ((c.high + c.low) + c.close) / 3.0;
}

}  // namespace fendro
