// Kase's deviation stop: the swing's extreme less (long) or plus (short) the
// mean and a multiple of the sample deviation of the two-bar range, with a
// direction that flips when the close crosses the stop.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/trend/checks.hpp"
#include "fendro/indicators/windows/rolling_variance.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// The stop trails the swing's extreme by the mean plus a multiple of the
// sample deviation of the two-bar range.
class KaseDevStop final : public Indicator {
 public:
  static Result<KaseDevStop, IndicatorError> create(std::uint64_t period, double multiplier);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return ranges_.period + 1; }

 private:
  KaseDevStop(std::uint64_t n, double m) : ranges_(n), m_(m) {}
  std::optional<trend::HighLow> prev_;
  RollingVariance ranges_;  // two-bar ranges about a periodically moved anchor
  double m_;
  double direction_ = 0.0;
  double extreme_ = 0.0;
  double stop_ = 0.0;
  OutputList<2> out_{{"value", "direction"}};
};

}  // namespace fendro
