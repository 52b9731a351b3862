// Elder's safe-zone stop: a multiple of the average bar-to-bar penetration
// beyond the bar's low (long) or high (short), with a direction that flips
// when the close crosses the stop.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/trend/checks.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

// A window of bar-to-bar penetrations with its running sum (never rebuilt)
// and the count of positive values in it.
struct PenetrationWindow {
  BoundedRing<double> ring;
  double sum = 0.0;
  std::uint64_t positives = 0;

  explicit PenetrationWindow(std::uint64_t n) : ring(n) {}
  // The mean of the positive penetrations, 0 when there is none.
  double positive_mean() const {
    return positives == 0 ? 0.0 : sum / static_cast<double>(positives);
  }
};

void push_penetration(PenetrationWindow& w, double value);

// The stop sits a multiple of the average penetration beyond the bar's low
// (long) or high (short).
class ElderSafeZone final : public Indicator {
 public:
  static Result<ElderSafeZone, IndicatorError> create(std::uint64_t period, double multiplier);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return down_.ring.capacity() + 1; }

 private:
  ElderSafeZone(std::uint64_t n, double m) : down_(n), up_(n), m_(m) {}
  std::optional<trend::HighLow> prev_;
  PenetrationWindow down_;
  PenetrationWindow up_;
  double m_;
  double direction_ = 0.0;
  double stop_ = 0.0;
  OutputList<2> out_{{"value", "direction"}};
};

}  // namespace fendro
