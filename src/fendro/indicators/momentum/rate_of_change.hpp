// The close against the close `period` bars back: as a percentage, a
// fraction, a ratio, a ratio times 100 or a plain difference.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/ring_windows.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

enum class LagMeasure : std::uint8_t {
  Roc,      // ((c - o) / o) * 100
  Rocp,     // (c - o) / o
  Rocr,     // c / o
  Rocr100,  // (c / o) * 100
  Mom,      // c - o
};

// The ratio forms give 0 when the old close is exactly 0; Mom needs no guard.
double lag_measure(LagMeasure kind, double c, double o);

class RateOfChange final : public Indicator {
 public:
  static Result<RateOfChange, IndicatorError> create(LagMeasure kind, std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return w_.period + 1; }

 private:
  RateOfChange(LagMeasure kind, LagRing w) : kind_(kind), w_(std::move(w)) {}
  LagMeasure kind_;
  LagRing w_;
};

}  // namespace fendro
