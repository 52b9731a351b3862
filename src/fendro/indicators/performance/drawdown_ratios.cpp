#include "fendro/indicators/performance/drawdown_ratios.hpp"

#include <cmath>
#include <limits>

#include "fendro/indicators/common/inputs.hpp"
#include "fendro/indicators/common/returned.hpp"
#include "fendro/indicators/windows/period.hpp"

namespace fendro::perf {
namespace {

constexpr double kNegInf = -std::numeric_limits<double>::infinity();

// Calls f((P - v) / P) for every level v, oldest first, whose running peak P
// (from -inf, raised by each higher level) is above 0.
template <class F>
void for_each_level_drawdown(const Ring& levels, F&& f) {
  double peak = kNegInf;
  levels.for_each([&](double v) {
    if (v > peak) peak = v;
    if (peak > 0.0) f((peak - v) / peak);
  });
}

// Calls f(E, P) for every point of the compounded curve E = 1.0 * (1 + r)...
// with its running peak P (from 1.0, raised by each higher point).
template <class F>
void for_each_curve_point(const Ring& returns, F&& f) {
  double equity = 1.0;
  double peak = 1.0;
  returns.for_each([&](double r) {
    equity = equity * (1.0 + r);
    if (equity > peak) peak = equity;
    f(equity, peak);
  });
}

// Drawdown episodes of a curve walked oldest first: a point below the peak
// opens one (its starting peak is that peak, its trough the point), lower
// points deepen it, and the first point at or above the peak closes it and
// becomes the new peak. An episode still open at the end counts as well.
class Episodes {
 public:
  explicit Episodes(double peak) : peak_(peak) {}

  // on_close(starting peak, trough) for each episode that ends here.
  template <class F>
  void step(double v, F&& on_close) {
    if (open_) {
      if (v >= peak_) {
        on_close(peak_, trough_);
        open_ = false;
        peak_ = v;
      } else if (v < trough_) {
        trough_ = v;
      }
    } else if (v < peak_) {
      open_ = true;
      trough_ = v;
    } else {
      peak_ = v;
    }
  }

  template <class F>
  void finish(F&& on_close) {
    if (open_) on_close(peak_, trough_);
    open_ = false;
  }

 private:
  double peak_;
  double trough_ = 0.0;
  bool open_ = false;
};

double depth(double start, double trough) { return (start - trough) / start; }

// What Burke and Sterling ratios need of a window of returns: the sum of the
// returns and the depths of the episodes of the compounded curve.
struct CurveEpisodes {
  double return_sum = -0.0;
  double depth_sum = -0.0;
  double depth_squares = -0.0;
  std::uint64_t count = 0;
};

CurveEpisodes curve_episodes(const Ring& returns) {
  CurveEpisodes out;
  out.return_sum = ring_sum(returns);
  const auto on_close = [&out](double start, double trough) {
    const double d = depth(start, trough);
    out.depth_sum = out.depth_sum + d;
    out.depth_squares = out.depth_squares + d * d;
    ++out.count;
  };
  Episodes episodes(1.0);
  for_each_curve_point(returns, [&](double equity, double) { episodes.step(equity, on_close); });
  episodes.finish(on_close);
  return out;
}

}  // namespace

// ---- Level types ----

Result<MaxDrawdown, IndicatorError> MaxDrawdown::create(std::uint64_t period) {
  FENDRO_CHECK(check_period(period));
  return MaxDrawdown(period, Ring(period));
}

double MaxDrawdown::value(double) const {
  double largest = 0.0;
  for_each_level_drawdown(window_, [&largest](double dd) {
    if (dd > largest) largest = dd;
  });
  return largest;
}

Result<AverageDrawdown, IndicatorError> AverageDrawdown::create(std::uint64_t period) {
  FENDRO_TRY(w, ring_window_new(period));
  return AverageDrawdown(period, ScannedWindow{std::move(w)});
}

double AverageDrawdown::value(double) const {
  double sum = -0.0;
  std::uint64_t count = 0;
  const auto on_close = [&](double start, double trough) {
    if (!(start > 0.0)) return;
    sum = sum + depth(start, trough);
    ++count;
  };
  Episodes episodes(kNegInf);
  window_.ring().for_each([&](double v) { episodes.step(v, on_close); });
  episodes.finish(on_close);
  return count == 0 ? 0.0 : sum / static_cast<double>(count);
}

Result<PainIndex, IndicatorError> PainIndex::create(std::uint64_t period) {
  FENDRO_TRY(w, ring_window_new(period));
  return PainIndex(period, ScannedWindow{std::move(w)});
}

double PainIndex::value(double) const {
  double sum = -0.0;
  for_each_level_drawdown(window_.ring(), [&sum](double dd) { sum = sum + dd; });
  return sum / static_cast<double>(period_);
}

// ---- Return types ----

Result<CalmarRatio, IndicatorError> CalmarRatio::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "calmar ratio needs period >= 2"));
  return CalmarRatio(period, ResummedRing(period));
}

double CalmarRatio::value(double) const {
  double largest = 0.0;
  for_each_curve_point(window_.ring(), [&largest](double equity, double peak) {
    const double dd = (peak - equity) / peak;
    if (dd > largest) largest = dd;
  });
  if (largest == 0.0) return 0.0;
  return (window_.sum() / static_cast<double>(period_)) / largest;
}

Result<BurkeRatio, IndicatorError> BurkeRatio::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "burke ratio needs period >= 2"));
  return BurkeRatio(period, Ring(period));
}

double BurkeRatio::value(double) const {
  const CurveEpisodes e = curve_episodes(window_);
  if (e.depth_squares <= 0.0) return 0.0;
  return (e.return_sum / static_cast<double>(period_)) / std::sqrt(e.depth_squares);
}

Result<SterlingRatio, IndicatorError> SterlingRatio::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "sterling ratio needs period >= 2"));
  return SterlingRatio(period, Ring(period));
}

double SterlingRatio::value(double) const {
  const CurveEpisodes e = curve_episodes(window_);
  if (e.count == 0) return 0.0;
  const double mean_depth = e.depth_sum / static_cast<double>(e.count);
  if (mean_depth <= 0.0) return 0.0;
  return (e.return_sum / static_cast<double>(period_)) / mean_depth;
}

Result<MartinRatio, IndicatorError> MartinRatio::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 2, "martin ratio needs period >= 2"));
  return MartinRatio(period, Ring(period));
}

double MartinRatio::value(double) const {
  const double n = static_cast<double>(period_);
  double squares = -0.0;
  for_each_curve_point(window_, [&squares](double equity, double peak) {
    const double d = (peak - equity) * 100.0 / peak;
    squares = squares + d * d;
  });
  const double ulcer2 = squares / n;
  if (ulcer2 <= 0.0) return 0.0;
  return (ring_sum(window_) / n) / std::sqrt(ulcer2);
}

Result<KRatio, IndicatorError> KRatio::create(std::uint64_t period) {
  FENDRO_CHECK(check_period_min_first(period, 3, "k-ratio needs period >= 3"));
  return KRatio(period);
}

KRatio::KRatio(std::uint64_t n) : CloseWindowStat(n, Ring(n)), t_mean_((static_cast<double>(n) + 1.0) * 0.5) {}

// Three passes over the cumulative returns C_t (t = 1 for the oldest): their
// mean, the slope of the least-squares line of C on t, its residuals.
double KRatio::value(double x) {
  if (!sxx_) {
    double sxx = -0.0;
    for (std::uint64_t t = 1; t <= period_; ++t) {
      const double dt = static_cast<double>(t) - t_mean_;
      sxx = sxx + dt * dt;
    }
    sxx_ = sxx;
  }
  const double n = static_cast<double>(period_);
  const auto for_each_cumulative = [this](auto&& f) {
    double c = -0.0;
    double t = 0.0;
    window_.for_each([&](double r) {
      c = c + r;
      t = t + 1.0;
      f(t, c);
    });
  };
  double c_total = -0.0;
  // Copies of x: the cumulative returns then lie on a line, no residual.
  if (stats::ring_only_copies(window_, x)) return 0.0;
  for_each_cumulative([&](double, double c) { c_total = c_total + c; });
  const double c_mean = c_total / n;
  double sxy = -0.0;
  for_each_cumulative([&](double t, double c) { sxy = sxy + (t - t_mean_) * (c - c_mean); });
  const double b = sxy / *sxx_;
  const double a = c_mean - t_mean_ * b;
  double rss = -0.0;
  for_each_cumulative([&](double t, double c) {
    const double e = c - (a + b * t);
    rss = rss + e * e;
  });
  if (rss <= 0.0) return 0.0;
  return b / std::sqrt((rss / (n - 2.0)) / *sxx_);
}

// ---- RecoveryFactor ----

std::optional<double> RecoveryFactor::update(const BarSnapshot& bar) {
  double x;
  if (!finite_close_to(bar, x)) return no_value();
  if (!started_) {
    first_ = peak_ = x;
    started_ = true;
    if (x == 0.0) return no_value();
    return value_out(0.0);
  }
  if (x > peak_) peak_ = x;
  if (peak_ > 0.0) {
    const double dd = (peak_ - x) / peak_;
    if (dd > max_drawdown_) max_drawdown_ = dd;
  }
  if (first_ == 0.0) return no_value();
  if (max_drawdown_ == 0.0) return value_out(0.0);
  return value_out((x / first_ - 1.0) / max_drawdown_);
}

}  // namespace fendro::perf
