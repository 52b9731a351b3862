#include "fendro/indicators/windows/ring_windows.hpp"

#include "fendro/indicators/windows/period.hpp"

namespace fendro {

Result<LagRing, IndicatorError> lag_ring_new(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return LagRing{std::nullopt, BoundedRing<double>(n + 1), n};
}

Result<RingWindow, IndicatorError> ring_window_new(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return RingWindow{BoundedRing<double>(n), n};
}

Result<CandleWindow, IndicatorError> candle_window_new(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return CandleWindow{BoundedRing<Candle>(n), n};
}

Result<RingWindowSums, IndicatorError> ring_window_sums_new(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return RingWindowSums{BoundedRing<double>(n), n};
}

Result<PairRingWindow, IndicatorError> pair_ring_window_new(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return PairRingWindow{BoundedRing<std::pair<double, double>>(n), n};
}

Result<RingWindowState, IndicatorError> ring_window_state_new(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return RingWindowState{std::nullopt, BoundedRing<double>(n), n};
}

Result<AnchoredRingWindow, IndicatorError> anchored_ring_window_new(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return AnchoredRingWindow{std::nullopt, std::nullopt, BoundedRing<double>(n), n};
}

}  // namespace fendro
