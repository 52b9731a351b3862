// The commodity channel index as a reusable state and step: how far the
// bar's typical price stands from its recent mean, in units of 0.015 times
// the mean absolute deviation.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/market/records.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

struct CciCore {
  BoundedRing<double> prices;  // the last `period` typical prices
  std::uint64_t period = 0;
  double divisor = 0.0;        // period as f64
  double sum = 0.0;            // running sum of the ring
  std::uint64_t pushes = 0;    // since the last exact re-summation
  CopyCheck copies;            // whether the ring holds only copies (clock: pushes)
  double newest = 0.0;         // the price pushed last: one load, not a slot computed from the head

  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<CciCore, IndicatorError> create(std::uint64_t period);

 private:
  explicit CciCore(std::uint64_t n) : prices(n), period(n), divisor(static_cast<double>(n)) {}
};

// One accepted candle (the caller has run the candle check). The running sum
// is rebuilt exactly from the ring every `period` pushes. No value until the
// ring is full, nor when the mean deviation of a long window is told to stop
// (see stop_before); 0 when every price equals the mean or the window holds
// only copies of one price.
std::optional<double> cci_update(CciCore& s, const Candle& c);

}  // namespace fendro
