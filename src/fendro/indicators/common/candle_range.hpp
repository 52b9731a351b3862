// The last n accepted candles, held in the shared candle window, beside the
// highest high and lowest low of those candles. The extremes are kept
// incrementally (a scan of the window on every bar would cost O(n)) and use
// the window itself as their block of candles.
#pragma once

#include <cstdint>
#include <utility>

#include "fendro/indicators/common/high_low_window.hpp"
#include "fendro/indicators/windows/ring_windows.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/market/records.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// `OlderWins` picks which of equal extremes is reported (they differ only by
// the sign of zero): the older one, or the newer one.
template <bool OlderWins>
class CandleRange {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<CandleRange, IndicatorError> create(std::uint64_t n) {
    FENDRO_TRY(window, candle_window_new(n));
    return CandleRange(std::move(window));
  }

  // Pushes a candle that passed the candle check; true once the window
  // holds n candles.
  bool push(const Candle& c) {
    return extremes_.push(window_.ring, c.high, c.low, c);
  }

  double highest() const { return extremes_.highest(); }
  double lowest() const { return extremes_.lowest(); }
  std::uint64_t period() const { return window_.period; }
  const CandleWindow& window() const { return window_; }

 private:
  explicit CandleRange(CandleWindow window)
      : window_(std::move(window)), extremes_(window_.period) {}

  CandleWindow window_;
  HighLowExtremes<OlderWins> extremes_;
};

using NewestCandleRange = CandleRange<false>;
using OldestCandleRange = CandleRange<true>;

}  // namespace fendro
