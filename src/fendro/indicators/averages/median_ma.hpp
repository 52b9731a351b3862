// The median of the last `period` closes.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/windows/sorted_window.hpp"

namespace fendro {

class MedianMa final : public Indicator {
 public:
  // 0 gives ZeroPeriod, then a period above MAX_PERIOD InvalidPeriod.
  static Result<MedianMa, IndicatorError> create(std::uint64_t period);

  std::optional<double> update(const BarSnapshot& bar) override;
  std::uint64_t warmup_period() const override { return window_.period(); }

 private:
  explicit MedianMa(SortedWindow w) : window_(std::move(w)) {}
  SortedWindow window_;
};

}  // namespace fendro
