// Projection bands: every high and low of the window carried forward to the
// newest bar along the least-squares slope of its series; the largest
// projected high and the smallest projected low. The state and its step are
// shared with oscillators that read where the close sits between the bands.
#pragma once

#include <cstdint>
#include <optional>

#include "fendro/indicators/indicator.hpp"
#include "fendro/indicators/common/window_regression.hpp"
#include "fendro/indicators/windows/bounded_ring.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro {

struct ProjectionBandsState {
  BoundedRing<double> highs;  // the last n highs
  BoundedRing<double> lows;   // the last n lows
  std::uint64_t period = 0;
  RegressionConstants line{};

  // Below 2 (0 included): InvalidPeriod "projection bands need period >= 2";
  // above MAX_PERIOD: InvalidPeriod. The first bands come with the n-th bar.
  static Result<ProjectionBandsState, IndicatorError> create(std::uint64_t period);

 private:
  explicit ProjectionBandsState(std::uint64_t n)
      : highs(n), lows(n), period(n), line(regression_constants(n)) {}
};

struct ProjectionBandsValue {
  double upper;
  double middle;
  double lower;
};

// Least-squares slope of the values held in one of the state's queues, over
// x = 0 (oldest), 1, ...; n is the state's period, not the queue's length.
double window_slope(const ProjectionBandsState& s, const BoundedRing<double>& values);

// Pushes the bar's high and low; the bands once n of each are held, unless
// the work over a long window is told to stop (see stop_before).
std::optional<ProjectionBandsValue> projection_bands_update(ProjectionBandsState& s, double high, double low);

class ProjectionBands final : public Indicator {
 public:
  static Result<ProjectionBands, IndicatorError> create(std::uint64_t period);
  std::optional<double> update(const BarSnapshot& bar) override;
  std::span<const NamedOutput> outputs() const override { return out_.view(); }
  std::uint64_t warmup_period() const override { return state_.period; }

 private:
  explicit ProjectionBands(ProjectionBandsState s) : state_(std::move(s)) {}
  ProjectionBandsState state_;
  OutputList<3> out_{{"upper", "middle", "lower"}};
};

}  // namespace fendro
