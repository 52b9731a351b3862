// Regularity and persistence of the last n closes, recomputed from the window
// on every bar: sample entropy (template matching), Shannon entropy of a
// histogram (bits) and the Hurst exponent by rescaled-range analysis. The
// periods have no upper bound of their own: the window and the scratch list
// grow with the bars actually seen.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "fendro/indicators/common/close_window.hpp"
#include "fendro/market/indicator_error.hpp"
#include "fendro/util/result.hpp"

namespace fendro::stats {

// -ln(A / B): B counts the pairs of length-m templates within r of each
// other, A those that stay within r at length m + 1; r = r_factor times the
// window's standard deviation. 0.0 on a flat window or without any match,
// ln(B) when no match extends. O((n - m)^2 * m) per bar, inherently: the
// tolerance r follows the window's standard deviation, so every pair of
// templates must be compared again on every bar. Within a command the
// comparisons ask its interrupt as they go: told to stop, the bar gives no
// value at once.
class SampleEntropy final : public CloseWindowStat<SampleEntropy, BoundedRing<double>> {
 public:
  static Result<SampleEntropy, IndicatorError> create(std::uint64_t period, std::uint64_t m,
                                                      double r_factor);
  std::optional<double> value(double x);

 private:
  SampleEntropy(std::uint64_t n, std::uint64_t m, double r_factor)
      : CloseWindowStat(n, BoundedRing<double>(n)), m_(m), r_factor_(r_factor) {}
  std::uint64_t m_;
  double r_factor_;
  std::vector<double> values_;  // scratch: the window, oldest first
};

// -sum of p log2 p over the non-empty bins of `bins` equal-width bins
// spanning the window; 0.0 on a flat window. O(n + bins) per bar, or
// O(n log n) with more bins than values (the values are sorted); a long
// window's work is noted with the command's scope as it goes: told to stop,
// the bar gives no value.
class ShannonEntropy final : public CloseWindowStat<ShannonEntropy, BoundedRing<double>> {
 public:
  static Result<ShannonEntropy, IndicatorError> create(std::uint64_t period, std::uint64_t bins);
  std::optional<double> value(double x);

 private:
  ShannonEntropy(std::uint64_t n, std::uint64_t bins)
      : CloseWindowStat(n, BoundedRing<double>(n)), bins_(bins) {}
  std::uint64_t bins_;
  std::vector<double> values_;         // scratch: the window
  std::vector<double> merged_;         // scratch: merging the sorted runs of a long window
  std::vector<std::uint64_t> counts_;  // scratch: one counter per bin
};

// Slope of ln(mean R/S) on ln(chunk size) over the splits of the window into
// k = 1 .. chunks equal chunks (oldest first), clamped to [0, 1]; 0.5 with
// fewer than two usable splits. O(n * chunks) per bar.
class HurstExponent final : public CloseWindowStat<HurstExponent, BoundedRing<double>> {
 public:
  static Result<HurstExponent, IndicatorError> create(std::uint64_t period, std::uint64_t chunks);
  // Nothing when the command is stopped within the bar.
  std::optional<double> value(double x);

 private:
  HurstExponent(std::uint64_t n, std::uint64_t chunks)
      : CloseWindowStat(n, BoundedRing<double>(n)), chunks_(chunks) {}
  std::uint64_t chunks_;
  std::vector<double> values_;  // scratch: the window, oldest first
};

// The histogram bin of a value whose offset from the window's minimum is
// `quotient` bin widths: floor(quotient), at most bins - 1. A quotient that
// is NaN (an infinite or zero width) counts as bin 0, an infinite one as
// the last bin.
std::uint64_t histogram_bin(double quotient, std::uint64_t bins);

}  // namespace fendro::stats
