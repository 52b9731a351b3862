// Detectors over a window or running record of closes (whole candles for
// PivotReversal); +1 bullish, -1 bearish, 0 neither; no named outputs.
//   DumplingTop     the close falls below the window's first close and its
//                   peak, the peak lying in the middle half of the window
//   FryPanBottom    the mirror image, from a trough
//   NewPriceLines   a run of `count` higher closes (-1) or lower closes (+1)
//   PivotReversal   the close crosses the last strict pivot high (+1) or low (-1)
//   ThreeLineBreak  the direction of a line-break chart of the closes
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/market/records.hpp"
#include "fendro/util/result.hpp"

namespace fendro::chart {

// kTop: the dumpling top (from the window's largest close); otherwise the
// frying-pan bottom (from its smallest).
template <bool kTop>
class RoundedTurn final : public Indicator {
 public:
  static Result<RoundedTurn, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return closes_.capacity(); }

 private:
  explicit RoundedTurn(std::uint64_t period) : closes_(period) {}
  BoundedRing<double> closes_;
};

using DumplingTop = RoundedTurn<true>;
using FryPanBottom = RoundedTurn<false>;

class NewPriceLines final : public Indicator {
 public:
  static Result<NewPriceLines, IndicatorError> create(std::uint64_t count);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 2; }

 private:
  explicit NewPriceLines(std::uint64_t count) : count_(count) {}
  std::uint64_t count_;
  std::optional<double> prev_close_;
  std::uint64_t ups_ = 0;
  std::uint64_t downs_ = 0;
};

class PivotReversal final : public Indicator {
 public:
  static Result<PivotReversal, IndicatorError> create(std::uint64_t left, std::uint64_t right);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.capacity(); }

 private:
  PivotReversal(std::uint64_t left, std::uint64_t right);
  BoundedRing<Candle> window_;  // left + right + 1 candles
  std::uint64_t left_;
  std::optional<double> pivot_high_;  // kept after it leaves the window
  std::optional<double> pivot_low_;
  std::optional<double> prev_close_;
};

class ThreeLineBreak final : public Indicator {
 public:
  static Result<ThreeLineBreak, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return 2; }

 private:
  explicit ThreeLineBreak(std::uint64_t period) : lines_(period) {}
  BoundedRing<double> lines_;  // the newest `period` line prices
  int direction_ = 0;          // +1 up, -1 down, 0 none yet
};

}  // namespace fendro::chart
