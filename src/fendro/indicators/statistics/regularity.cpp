#include "fendro/indicators/statistics/regularity.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "fendro/indicators/common/anchored_moments.hpp"
#include "fendro/indicators/common/paced_lists.hpp"
#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/util/math.hpp"

namespace fendro::stats {

// ---- SampleEntropy ----

Result<SampleEntropy, IndicatorError> SampleEntropy::create(std::uint64_t period, std::uint64_t m,
                                                            double r_factor) {
  if (period == 0 || m == 0) return err(IndicatorError::zero_period());
  // period < m + 2, without letting m + 2 wrap.
  if (period < 2 || period - 2 < m) {
    return err(IndicatorError::invalid_period("sample entropy needs period >= m + 2"));
  }
  if (!positive_finite(r_factor)) {
    return err(IndicatorError::invalid_parameter(
        "sample entropy r_factor must be finite and positive"));
  }
  return SampleEntropy(period, m, r_factor);
}

std::optional<double> SampleEntropy::value(double) {
  // The copy and the deviation: about three steps a value.
  if (stop_before(3 * period_)) return std::nullopt;
  copy_oldest_first(window_, values_);
  const std::size_t n = values_.size();
  const double var = clamp_variance(centred_sums(values_).squares / static_cast<double>(n));
  if (var == 0.0) return 0.0;
  const double r = std::sqrt(var) * r_factor_;

  // Both lengths use the same n - m template starts. The pairs (i, i + gap)
  // are walked one gap at a time from the newest end, keeping the number of
  // consecutive matching points from i on: the templates at i and i + gap
  // match at length m when that run reaches m, at m + 1 when it exceeds m.
  // Cost O(n^2) whatever m.
  const std::size_t m = static_cast<std::size_t>(m_);
  const std::size_t starts = n - m;
  const double* x = values_.data();
  std::uint64_t b = 0;
  std::uint64_t a = 0;
  InBarPacer pacer;
  for (std::size_t gap = 1; gap < starts; ++gap) {
    std::size_t run = 0;
    auto extend = [&](std::size_t i) {
      const std::size_t hit = std::abs(x[i] - x[i + gap]) > r ? 0 : 1;
      run = (run + hit) * hit;
    };
    // Pairs whose later template starts too late only extend the runs.
    std::size_t i = n - gap;
    while (i > starts - gap) extend(--i);
    while (i > 0) {
      extend(--i);
      b += run >= m ? 1 : 0;
      a += run > m ? 1 : 0;
    }
    // About two steps a pair of templates: each is compared and counted.
    if (pacer.stop_after(2 * (n - gap))) return std::nullopt;
  }
  if (b == 0) return 0.0;
  if (a == 0) return cr::log(static_cast<double>(b));
  return -cr::log(static_cast<double>(a) / static_cast<double>(b));
}

// ---- ShannonEntropy ----

Result<ShannonEntropy, IndicatorError> ShannonEntropy::create(std::uint64_t period,
                                                              std::uint64_t bins) {
  if (period == 0 || bins == 0) return err(IndicatorError::zero_period());
  if (bins < 2) return err(IndicatorError::invalid_period("Shannon entropy needs bins >= 2"));
  if (bins > MAX_PERIOD) return err(IndicatorError::invalid_period(kMaxPeriodReason));
  return ShannonEntropy(period, bins);
}

std::uint64_t histogram_bin(double quotient, std::uint64_t bins) {
  const double last = static_cast<double>(bins - 1);
  if (std::isnan(quotient)) return 0;
  if (quotient >= last) return bins - 1;
  return static_cast<std::uint64_t>(std::floor(quotient));
}

// Steps of a value counted into its bin (the counter waits on its last
// increment), and of a non-empty bin's logarithm.
constexpr std::uint64_t kBinningSteps = 7;
constexpr std::uint64_t kBinLogSteps = 32;

std::optional<double> ShannonEntropy::value(double) {
  // The copy and the extremes: about two steps a value.
  if (stop_before(2 * period_)) return std::nullopt;
  copy_oldest_first(window_, values_);
  const auto [lo_at, hi_at] = std::minmax_element(values_.begin(), values_.end());
  const double lo = *lo_at;
  const double hi = *hi_at;
  if (hi <= lo) return 0.0;
  const double width = (hi - lo) / static_cast<double>(bins_);
  const double n = static_cast<double>(values_.size());
  double sum = -0.0;
  auto add_bin = [&](std::uint64_t count) {
    if (count == 0) return;
    const double p = static_cast<double>(count) / n;
    sum = sum + p * cr::log2(p);
  };
  StepTally tally;
  if (bins_ <= values_.size()) {
    // One counter per bin: never more counters than values.
    if (stop_after_assign(counts_, static_cast<std::size_t>(bins_), std::uint64_t{0}, 1)) return std::nullopt;
    for (double v : values_) {
      ++counts_[histogram_bin((v - lo) / width, bins_)];
      if (tally.stop_after(kBinningSteps)) return std::nullopt;
    }
    for (std::uint64_t c : counts_) {
      add_bin(c);
      if (tally.stop_after(c == 0 ? 1 : kBinLogSteps)) return std::nullopt;
    }
    return -sum;
  }
  // More bins than values: the bin never decreases as the value grows, so
  // over the ascending values each bin's members are adjacent and the bins
  // come in ascending order; counting runs needs no counter per bin. Equal
  // values share a bin whatever their order, so the sort's order among
  // equals (of -0.0 and +0.0) does not matter.
  if (stop_after_sort(values_, merged_)) return std::nullopt;
  std::uint64_t run_bin = 0;
  std::uint64_t run = 0;
  for (double v : values_) {
    const std::uint64_t bin = histogram_bin((v - lo) / width, bins_);
    if (bin != run_bin) {
      add_bin(run);
      run_bin = bin;
      run = 0;
      if (tally.stop_after(kBinLogSteps)) return std::nullopt;
    }
    ++run;
    if (tally.stop_after(kBinningSteps)) return std::nullopt;
  }
  add_bin(run);
  return -sum;
}

// ---- HurstExponent ----

Result<HurstExponent, IndicatorError> HurstExponent::create(std::uint64_t period,
                                                            std::uint64_t chunks) {
  if (chunks < 2) return err(IndicatorError::invalid_period("Hurst chunks must be >= 2"));
  if (chunks > MAX_PERIOD) return err(IndicatorError::invalid_period(kMaxPeriodReason));
  if (period < 2 * chunks) {
    return err(IndicatorError::invalid_period("Hurst period must be >= 2 * chunks"));
  }
  return HurstExponent(period, chunks);
}

namespace {

// R/S of one chunk; nothing when its range or its variance is zero, as for
// a chunk of copies of one value.
std::optional<double> rescaled_range(const double* x, std::size_t s) {
  if (only_copies(std::span<const double>(x, s))) return std::nullopt;
  const double mean = ordered_sum(std::span<const double>(x, s)) / static_cast<double>(s);
  double y = 0.0;
  double y_max = -std::numeric_limits<double>::infinity();
  double y_min = std::numeric_limits<double>::infinity();
  double ss = -0.0;
  for (std::size_t i = 0; i < s; ++i) {
    const double d = x[i] - mean;
    y = y + d;
    y_max = std::max(y_max, y);
    y_min = std::min(y_min, y);
    ss = ss + d * d;
  }
  const double range = y_max - y_min;
  const double var = ss / static_cast<double>(s);
  if (range == 0.0 || var == 0.0) return std::nullopt;
  return range / std::sqrt(var);
}

}  // namespace

// Each chunk count walks the whole window twice (its chunks' means, then
// their ranges): with many chunks over a long window the bar is long, and
// asks the command's interrupt between chunk counts.
std::optional<double> HurstExponent::value(double) {
  // The copy: about a step a value.
  if (stop_before(period_)) return std::nullopt;
  copy_oldest_first(window_, values_);
  const std::size_t n = values_.size();
  const std::size_t chunks = static_cast<std::size_t>(chunks_);
  double points = 0.0;
  double sx = 0.0;
  double sy = 0.0;
  double sxx = 0.0;
  double sxy = 0.0;
  InBarPacer pacer;
  for (std::size_t k = 1; k <= chunks; ++k) {
    if (pacer.stop_after(2 * n)) return std::nullopt;
    const std::size_t s = n / k;
    double rs_total = -0.0;
    std::size_t counted = 0;
    for (std::size_t c = 0; c < k; ++c) {
      const auto rs = rescaled_range(values_.data() + c * s, s);
      if (!rs) continue;
      rs_total = rs_total + *rs;
      ++counted;
    }
    if (counted == 0) continue;
    const double px = cr::log(static_cast<double>(s));
    const double py = cr::log(rs_total / static_cast<double>(counted));
    points += 1.0;
    sx = sx + px;
    sy = sy + py;
    sxx = sxx + px * px;
    sxy = sxy + px * py;
  }
  if (points < 2.0) return 0.5;
  const double h = (points * sxy - sx * sy) / (points * sxx - sx * sx);
  return h < 0.0 ? 0.0 : (h > 1.0 ? 1.0 : h);
}

}  // namespace fendro::stats
