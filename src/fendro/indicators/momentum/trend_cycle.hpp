// The trend intensity index (the share of positive deviations of the close
// from its SMA over a window) and the Schaff trend cycle (a MACD line put
// twice through a stochastic, each time smoothed).
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/settled_step.hpp"
#include "fendro/indicators/windows/sma_window.hpp"
#include "fendro/indicators/windows/zero_run.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// 100 * positive deviations / all deviations over the last m bars, in
// [0, 100]; 50 when there were none. The two sums are adjusted as
// deviations enter and leave and never recomputed. A close whose SMA window
// holds only copies of it deviates by exactly 0, and a sum whose window holds
// only zero deviations its way is read as 0, whatever residue either holds.
class Tii final : public Indicator {
 public:
  // Either 0 gives ZeroPeriod, then the SMA period above MAX_PERIOD; the
  // deviation window has no upper bound.
  static Result<Tii, IndicatorError> create(std::uint64_t sma_period, std::uint64_t window);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override;

 private:
  Tii(SmaWindow sma, std::uint64_t window) : sma_(std::move(sma)), deviations_(window) {}
  SmaWindow sma_;
  BoundedRing<double> deviations_;  // the last m deviations
  double up_ = 0.0;                 // sum of the positive ones
  double down_ = 0.0;               // sum of the magnitudes of the negative ones
  RepeatRun closes_;                // the SMA window's inputs
  ZeroRun up_zeros_;                // the deviations, exact, each side alone
  ZeroRun down_zeros_;
};

// In [0, 100]: 0 when each stochastic sees a flat window.
class Stc final : public Indicator {
 public:
  // Zeros, fast < slow, factor in (0, 1], then fast and slow against
  // MAX_PERIOD; the cycle length has no upper bound.
  static Result<Stc, IndicatorError> create(std::uint64_t fast, std::uint64_t slow,
                                            std::uint64_t cycle, double factor);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override;

 private:
  Stc(std::uint64_t fast, std::uint64_t slow, std::uint64_t cycle, double factor)
      : fast_(EmaState::of_period(fast)),
        slow_(EmaState::of_period(slow)),
        macds_(cycle),
        firsts_(cycle),
        factor_(factor) {}
  EmaState fast_;
  EmaState slow_;
  BoundedRing<double> macds_;   // the last `cycle` MACD values
  BoundedRing<double> firsts_;  // the last `cycle` first smoothed stochastics
  std::optional<double> first_;  // first smoothed stochastic (never clamped)
  std::optional<double> stc_;    // second, kept unclamped
  SettledStep first_settled_;    // their smoothing steps, skipped once settled
  SettledStep stc_settled_;
  double factor_;
};

}  // namespace fendro
