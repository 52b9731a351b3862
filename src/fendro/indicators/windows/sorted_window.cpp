#include "fendro/indicators/windows/sorted_window.hpp"

#include <algorithm>
#include <cmath>

#include "fendro/util/run_scope.hpp"
#include "fendro/indicators/windows/period.hpp"
#include "fendro/indicators/windows/total_order.hpp"

namespace fendro {

Result<SortedWindow, IndicatorError> sorted_window_new(std::uint64_t n) {
  FENDRO_CHECK(check_period(n));
  return SortedWindow(n);
}

// Entries moved per step of in-bar work: a block copy. A window shorter than
// kMovedPerStep * kUnnotedSteps never moves enough of them at once to be
// noted, and stop_before is then one comparison. No test of the window's
// length before it: with one, GCC moved the whole path of a full window (every
// bar's path) into the cold section.
constexpr std::size_t kMovedPerStep = 4;

bool SortedWindow::stop_after_push(double x) {
  if (!ring_.is_full()) {
    ring_.push(x);
    reserve_one_more(sorted_, period_);
    const std::size_t at = lower_bound_total(sorted_, x);
    const bool stop = stop_before((sorted_.size() - at) / kMovedPerStep);
    sorted_.insert(sorted_.begin() + static_cast<std::ptrdiff_t>(at), x);
    return stop;
  }
  const double evicted = ring_.replace_oldest(x);
  // Removing the evicted entry and inserting x at its lower bound in the
  // shortened list is one shift of the entries between the two positions.
  const std::size_t out = lower_bound_total(sorted_, evicted);
  const std::size_t at = lower_bound_total(sorted_, x);
  const bool stop = stop_before((at <= out ? out - at : at - out) / kMovedPerStep);
  double* s = sorted_.data();
  if (at <= out) {
    std::copy_backward(s + at, s + out, s + out + 1);
    s[at] = x;
  } else {
    std::copy(s + out + 1, s + at, s + out);
    s[at - 1] = x;
  }
  return stop;
}

double SortedWindow::quantile(double q) const { return sorted_quantile(sorted_, q); }

double sorted_quantile(std::span<const double> s, double q) {
  const std::size_t m = s.size();
  if (m == 1) return s[0];
  const double h = q * static_cast<double>(m - 1);
  const double fl = std::floor(h);
  if (!(fl < static_cast<double>(m - 1))) return s[m - 1];
  const std::size_t i = fl > 0.0 ? static_cast<std::size_t>(fl) : 0;
  return s[i] + (h - fl) * (s[i + 1] - s[i]);
}

std::size_t abs_deviations_sorted(std::span<const double> s, double c, std::vector<double>& out) {
  out.clear();
  const std::size_t p = lower_bound_plain(s, c);
  std::size_t left = p;
  std::size_t right = p;
  while (left > 0 && right < s.size()) {
    const double dl = std::abs(s[left - 1] - c);
    const double dr = std::abs(s[right] - c);
    if (total_order_key(dr) < total_order_key(dl)) {
      out.push_back(dr);
      ++right;
    } else {
      out.push_back(dl);
      --left;
    }
  }
  while (left > 0) out.push_back(std::abs(s[--left] - c));
  while (right < s.size()) out.push_back(std::abs(s[right++] - c));
  return out.size();
}

}  // namespace fendro
