#include "fendro/indicators/volatility/quantile_channels.hpp"

#include <cmath>
#include <span>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/common/window_regression.hpp"
#include "fendro/indicators/windows/copy_run.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro {
using namespace vol;
namespace {

// The quantile q of the deviations |x - c| / a (a > 0) of the ascending list
// s, by the quantile rule over the deviations in ascending order. The largest
// remaining deviation always lies at one end of s, so a walk inward from both
// ends yields them from the largest down; it stops at the lower of the two
// ranks the rule reads (a few steps for coverages near 1, half the list for
// a median). Dividing by a > 0 keeps the order, so only those two are divided.
// A long walk is noted with the command's scope first (about four steps a
// rank, its comparisons being unpredictable): nothing when told to stop.
std::optional<double> deviation_quantile(std::span<const double> s, double c, double a, double q) {
  const std::size_t m = s.size();
  const double h = q * static_cast<double>(m - 1);
  const double fl = std::floor(h);
  const bool between = m > 1 && fl < static_cast<double>(m - 1);
  // Ascending rank of the lower value read: floor(h), or the last one when
  // h reaches it.
  std::size_t i = m - 1;
  if (between) i = fl > 0.0 ? static_cast<std::size_t>(fl) : 0;
  if (stop_before(4 * std::uint64_t{m - i})) return std::nullopt;
  std::size_t lo = 0;
  std::size_t hi = m;
  double above = 0.0;  // the deviation one rank above the current one
  double dev = 0.0;
  for (std::size_t rank = m; rank-- > i;) {
    above = dev;
    const double dl = std::abs(s[lo] - c);
    const double dh = std::abs(s[hi - 1] - c);
    if (dh < dl) {
      dev = dl;
      ++lo;
    } else {
      dev = dh;
      --hi;
    }
  }
  const double low = dev / a;
  if (!between) return low;
  return low + (h - fl) * (above / a - low);
}

}  // namespace

// ---- MedianChannel ----

Result<MedianChannel, IndicatorError> MedianChannel::create(std::uint64_t period,
                                                            double multiplier) {
  FENDRO_CHECK(check_period(period));
  FENDRO_CHECK(check_multiplier(multiplier));
  return MedianChannel(period, multiplier);
}

std::optional<double> MedianChannel::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  if (window_.stop_after_push(close) || !window_.is_full()) return no_value();
  const double median = window_.quantile(0.5);
  const std::optional<double> mad = deviation_quantile(window_.sorted(), median, 1.0, 0.5);
  if (!mad) return no_value();
  const double width = *mad * m_;
  return value_out(out_.set(median + width, median, median - width));
}

// ---- QuartileBands ----

Result<QuartileBands, IndicatorError> QuartileBands::create(std::uint64_t period) {
  FENDRO_TRY(w, sorted_window_new(period));
  return QuartileBands(std::move(w));
}

std::optional<double> QuartileBands::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  if (window_.stop_after_push(close) || !window_.is_full()) return no_value();
  return value_out(out_.set(window_.quantile(0.75), window_.quantile(0.5), window_.quantile(0.25)));
}

// ---- BomarBands ----

Result<BomarBands, IndicatorError> BomarBands::create(std::uint64_t period, double coverage) {
  FENDRO_CHECK(check_period(period));
  if (!(std::isfinite(coverage) && coverage > 0.0 && coverage <= 1.0)) {
    return err(IndicatorError::invalid_parameter(
        "bomar bands coverage must be a finite value in (0.0, 1.0]"));
  }
  return BomarBands(period, coverage);
}

std::optional<double> BomarBands::update(const BarSnapshot& bar) {
  double close;
  if (!finite_close_to(bar, close)) return no_value();
  if (window_.stop_after_push(close) || !window_.is_full()) return no_value();
  // The mean: a step for about two values.
  if (stop_before(window_.period() / 2)) return no_value();
  const std::span<const double> sorted = window_.sorted();
  // A window of copies averages to the copy (and every deviation from it is
  // 0); its running sum only comes back to it within rounding.
  const double mean = all_equal({sorted.front(), sorted.back()})
                          ? copy_read(sorted.front())
                          : ring_sum(window_.ring()) / static_cast<double>(window_.period());
  const double a = std::abs(mean);
  // |(x - mean) / a| is |x - mean| / a; about a zero mean every deviation
  // counts as 0.
  const std::optional<double> r =
      mean == 0.0 ? 0.0 : deviation_quantile(window_.sorted(), mean, a, coverage_);
  if (!r) return no_value();
  const double width = a * *r;
  return value_out(out_.set(mean + width, mean, mean - width));
}

}  // namespace fendro
