#include "fendro/indicators/volume/profile_features.hpp"

#include <cmath>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {

// ---- NakedPoc ----

Result<NakedPoc, IndicatorError> NakedPoc::create(std::uint64_t period, std::uint64_t bins) {
  FENDRO_CHECK(volume::check_period_and_bins(period, bins));
  return NakedPoc(period, bins);
}

// The point-of-control price of the completed block (L for a flat block);
// nothing when its profile is told to stop. Inlined: as a call it would cost
// every bar's path a few of its registers.
[[gnu::always_inline]] inline std::optional<double> NakedPoc::block_poc() {
  const volume::ProfileBars bars = volume::ProfileBars::of(block_);
  const std::optional<volume::BinGrid> grid = volume::BinGrid::of(bars, bins_);
  if (!grid) return no_value();
  if (grid->flat()) return grid->low;
  if (runs_.stop_after_build(*grid, bars)) return std::nullopt;
  return grid->center(volume::point_of_control(runs_));
}

std::optional<double> NakedPoc::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr) return no_value();
  std::erase_if(naked_, [c](double p) { return c->low <= p && p <= c->high; });
  last_close_ = c->close;
  block_.push_back(volume::profile_bar(*c));
  if (block_.size() == period_) {
    // Listed after this bar's test: the bar that completes a block never
    // trades through its own point of control.
    const std::optional<double> poc = block_poc();
    if (!poc) return no_value();
    naked_.push_back(*poc);
    block_.clear();
    has_block_ = true;
  }
  if (!has_block_) return no_value();
  if (naked_.empty()) return value_out(last_close_);
  // The list grows with the blocks seen, and is walked twice on every bar
  // (the test of this bar's range, the nearest price): about a step a price.
  if (stop_before(naked_.size())) return no_value();
  double nearest = naked_.front();
  double distance = std::abs(nearest - last_close_);
  for (const double p : naked_) {
    const double d = std::abs(p - last_close_);
    if (d < distance) {
      nearest = p;
      distance = d;
    }
  }
  return value_out(nearest);
}

// ---- ProfileShape ----

Result<ProfileShape, IndicatorError> ProfileShape::create(std::uint64_t period,
                                                          std::uint64_t bins) {
  FENDRO_CHECK(check_period(period));
  if (bins < 3) return err(IndicatorError::invalid_period("profile shape needs bins >= 3"));
  if (bins > MAX_PERIOD) return err(IndicatorError::invalid_period(kMaxPeriodReason));
  return ProfileShape(period, bins);
}

std::optional<double> ProfileShape::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr || !volume::roll(window_, *c)) return no_value();
  const volume::ProfileBars bars = volume::ProfileBars::of(window_);
  const std::optional<volume::BinGrid> grid = volume::BinGrid::of(bars, bins_);
  if (!grid) return no_value();
  std::uint64_t poc = 0;  // an empty histogram's first bin
  if (!grid->flat()) {
    if (runs_.stop_after_build(*grid, bars)) return no_value();
    poc = volume::point_of_control(runs_);
  }
  const std::uint64_t third = bins_ / 3;
  if (poc < third) return value_out(-1.0);
  if (poc >= bins_ - third) return value_out(1.0);
  return value_out(0.0);
}

// ---- SinglePrints ----

Result<SinglePrints, IndicatorError> SinglePrints::create(std::uint64_t period,
                                                          std::uint64_t bins) {
  FENDRO_CHECK(volume::check_period_and_bins(period, bins));
  return SinglePrints(period, bins);
}

std::optional<double> SinglePrints::update(const BarSnapshot& bar) {
  const Candle* c = checked_candle(bar);
  if (c == nullptr || !volume::roll(window_, *c)) return no_value();
  const volume::ProfileBars bars = volume::ProfileBars::of(window_);
  const std::optional<volume::BinGrid> grid = volume::BinGrid::of(bars, bins_);
  if (!grid) return no_value();
  if (grid->flat()) return value_out(0.0);
  if (runs_.stop_after_build(*grid, bars)) return no_value();
  return value_out(static_cast<double>(volume::single_print_bins(runs_)));
}

}  // namespace fendro
