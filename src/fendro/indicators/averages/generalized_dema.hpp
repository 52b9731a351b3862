// Generalized double exponential average: e1 * (1 + v) - e2 * v, with e1 the
// average of the close and e2 the average of e1; v = 1 is the classic DEMA.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/ema_state.hpp"

namespace fendro {

class GeneralizedDema final : public Indicator {
 public:
  // Period 0 gives ZeroPeriod, then MAX_PERIOD; a volume factor outside
  // [0, 1] (or not finite) gives InvalidPeriod.
  static Result<GeneralizedDema, IndicatorError> create(std::uint64_t period, double volume_factor);

  std::optional<double> update(const BarSnapshot& bar) override;
  // 2n - 1: the second average starts on the first's first value.
  std::uint64_t warmup_period() const override { return 2 * chain_[0].period - 1; }

 private:
  GeneralizedDema(std::uint64_t period, double v)
      : v_(v), chain_(ema_chain<2>(period)) {}
  double v_;
  std::array<EmaState, 2> chain_;
};

}  // namespace fendro
