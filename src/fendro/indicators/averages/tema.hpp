// Triple exponential moving average: 3 * e1 - 3 * e2 + e3 over a chain of
// three averages of one period.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/ema_state.hpp"

namespace fendro {

class Tema final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<Tema, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  // Each stage starts once the one before yields: 3n - 2 closes.
  std::uint64_t warmup_period() const override { return 3 * period_ - 2; }

 private:
  explicit Tema(std::uint64_t n)
      : period_(n), chain_(ema_chain<3>(n)) {}
  std::uint64_t period_;
  std::array<EmaState, 3> chain_;
};

}  // namespace fendro
