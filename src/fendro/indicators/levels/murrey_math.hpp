// Murrey math lines: the range of the last n bars cut into eighths, from the
// highest high (mm8_8) down to the lowest low (mm0_8).
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/common/rolling_extreme.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

class MurreyMathLines final : public Indicator {
 public:
  static Result<MurreyMathLines, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return period_; }

 private:
  explicit MurreyMathLines(std::uint64_t period) : period_(period), highs_(period), lows_(period) {}

  std::uint64_t period_;
  vol::RollingMax highs_;
  vol::RollingMin lows_;
  OutputList<9> out_{{"mm8_8", "mm7_8", "mm6_8", "mm5_8", "mm4_8", "mm3_8", "mm2_8", "mm1_8",
                      "mm0_8"}};
};

}  // namespace fendro
