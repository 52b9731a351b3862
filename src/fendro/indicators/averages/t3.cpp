#include "fendro/indicators/averages/t3.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/limit_read.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
namespace {

// The stages stop up to six times an average's distance from the price, and
// the blend's weights sum to up to 27 in magnitude (v = 1): 162 units for
// each 1/alpha, with a margin of three.
constexpr double kBlendUlps = 512.0;

}  // namespace

Result<T3, IndicatorError> T3::create(std::uint64_t period, double volume_factor) {
  FENDRO_CHECK(check_period(period));
  if (!std::isfinite(volume_factor) || volume_factor < 0.0 || volume_factor > 1.0) {
    return err(IndicatorError::invalid_period("T3 volume factor must be a finite value in [0.0, 1.0]"));
  }
  return T3(period, volume_factor);
}

T3::T3(std::uint64_t n, double v)
    : stages_(ema_chain<6>(n)), period_(n), band_(rounding_band(stages_[0].alpha, kBlendUlps)) {
  const double s = v * v;
  const double t = v * s;
  c1_ = -t;
  c2_ = 3.0 * s + 3.0 * t;
  c3_ = ((-6.0 * s) - 3.0 * v) - 3.0 * t;
  c4_ = 3.0 * s + ((3.0 * v + 1.0) + t);
}

std::optional<double> T3::update(const BarSnapshot& bar) {
  double x;
  if (!finite_close_to(bar, x)) return no_value();
  std::array<double, 6> e;
  closes_.push(x);
  // A halt past the period: the closes have repeated for `period` bars.
  const bool repeat = closes_.holds_only_copies(period_ + 1);
  if (!ema_chain_update(stages_, x, e)) return no_value();
  // Four stages that read one value (fed only copies of x, every stage
  // reads x) blend to it: the weights sum to 1 exactly, which their rounded
  // blend does not. On a halt they may settle together a rounding away from
  // the price, and a blend within the stages' rounding of it reads it
  // (limit_read).
  if (all_equal({e[2], e[3], e[4], e[5]})) [[unlikely]] {
    return value_out(limit_read(repeat, copy_read(e[2]), x, band_, x));
  }
  const double blend = ((e[5] * c1_ + e[4] * c2_) + e[3] * c3_) + e[2] * c4_;
  return value_out(limit_read(repeat, blend, x, band_, x));
}

}  // namespace fendro
