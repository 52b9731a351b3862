// Hull-style averages: twice a half-length average minus the full-length
// one, smoothed over about sqrt(n) bars. `Hma` uses linearly weighted
// averages, `Ehma` exponential ones.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/ema_state.hpp"
#include "fendro/indicators/windows/wma_window.hpp"

namespace fendro {

// The two derived lengths of a Hull average of period n.
struct HullLengths {
  std::uint64_t half;    // max(floor(n / 2), 1)
  std::uint64_t smooth;  // max(round(sqrt(n)), 1)
};
HullLengths hull_lengths(std::uint64_t n);

class Hma final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<Hma, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  // n + s - 1: the full average is ready on bar n, the smoothing needs s values.
  std::uint64_t warmup_period() const override { return period_ + smooth_.period - 1; }

 private:
  Hma(std::uint64_t n, HullLengths l) : half_(l.half), full_(n), smooth_(l.smooth), period_(n) {}
  WmaWindow half_;
  WmaWindow full_;
  WmaWindow smooth_;
  std::uint64_t period_;
  CopyRun copies_;  // of the closes
};

class Ehma final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<Ehma, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return period_ + smooth_.period - 1; }

 private:
  Ehma(std::uint64_t n, HullLengths l)
      : period_(n),
        half_(EmaState::of_period(l.half)),
        full_(EmaState::of_period(n)),
        smooth_(EmaState::of_period(l.smooth)) {}
  std::uint64_t period_;
  EmaState half_;
  EmaState full_;
  EmaState smooth_;
};

}  // namespace fendro
