// Volume-weighted average of the last `period` closes, with running sums that
// are rebuilt exactly once every `period` pushes. A window whose prices are
// all copies of one price reads that price, whatever the volumes: every
// weighted average of copies is the copy, which the running sums only
// approach by rounding.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/copy_run.hpp"

namespace fendro {

struct VwmaWindow {
  BoundedRing<std::pair<double, double>> pairs;  // (price, volume), oldest first
  std::uint64_t period = 0;
  double price_volume = 0.0;  // sum of price * volume
  double volume = 0.0;        // sum of volumes
  double price = 0.0;         // sum of prices
  std::uint64_t pushes = 0;   // since the last exact recompute (all three sums)
  std::uint64_t traded = 0;   // pairs of the window with a volume above 0
  CopyCheck copies;           // whether the prices are all copies (clock: pushes)

  VwmaWindow() = default;
  // Unchecked: callers have already refused 0 and lengths above MAX_PERIOD.
  explicit VwmaWindow(std::uint64_t n) : pairs(n), period(n) {}
};

// Period checks (0, then MAX_PERIOD), then an empty window.
Result<VwmaWindow, IndicatorError> vwma_window_new(std::uint64_t n);

// x and v come from a valid candle (finite, v >= 0). No value until the window
// is full; then sum(x * v) / sum(v), or the plain mean of the prices when the
// window traded no volume (counted exactly, not read off the running volume
// sum, which can keep a rounding residue after the last volume has left);
// x itself (a zero as +0.0) while every price of the window is a copy of x.
std::optional<double> vwma_update(VwmaWindow& w, double x, double v);

class Vwma final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<Vwma, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.period; }

 private:
  explicit Vwma(VwmaWindow w) : window_(std::move(w)) {}
  VwmaWindow window_;
};

}  // namespace fendro
