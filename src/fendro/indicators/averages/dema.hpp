// Double exponential moving average: 2 * e1 - e2, where e2 is the average of e1.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/ema_state.hpp"

namespace fendro {

class Dema final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<Dema, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  // The second stage starts once the first yields: 2n - 1 closes.
  std::uint64_t warmup_period() const override { return 2 * period_ - 1; }

 private:
  explicit Dema(std::uint64_t n)
      : period_(n), chain_(ema_chain<2>(n)) {}
  std::uint64_t period_;
  std::array<EmaState, 2> chain_;
};

}  // namespace fendro
